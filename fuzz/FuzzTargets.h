#pragma once

// One plain function per fuzz target. The libFuzzer entry of each target
// calls its function; the regression test calls all of them, so the seeds
// and every past crash are replayed by the normal test suite as well.

#include <cstddef>
#include <cstdint>
#include <string>

int FuzzProfile(const uint8_t *data, size_t size);
int FuzzChannel(const uint8_t *data, size_t size);
int FuzzArguments(const uint8_t *data, size_t size);
int FuzzTips(const uint8_t *data, size_t size);
int FuzzProbe(const uint8_t *data, size_t size);

// A broken promise of the code under test. Under libFuzzer it aborts, so
// the input is kept as a crash; in the regression test it is thrown, so the
// test names the file that broke it.
struct FuzzCheckFailed {
    std::string what;
};

[[noreturn]] void FuzzFail(const char *condition, const char *file, int line);

#define FUZZ_CHECK(condition) \
    do { \
        if (!(condition)) \
            FuzzFail(#condition, __FILE__, __LINE__); \
    } while (false)

// The libFuzzer entry of a target; left out when the regression test
// compiles the targets together.
#ifdef KELVARO_FUZZ_REPLAY
#define KELVARO_FUZZ_ENTRY(function)
#else
#define KELVARO_FUZZ_ENTRY(function) \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) \
    { \
        return function(data, size); \
    }
#endif

#include <vector>

// The input cut at NUL bytes into at most maxParts parts; the last part
// keeps the rest, NULs included. maxParts 0 means no limit.
std::vector<std::string> SplitAtNul(const uint8_t *data, size_t size, size_t maxParts = 0);

// A path in this process's own temporary folder, removed at exit; the
// bytes are written to it first.
std::string WriteTempFile(const std::string &name, const uint8_t *data, size_t size);
