#include "fuzz/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

void FuzzFail(const char *condition, const char *file, int line)
{
    const std::string what = std::string(file) + ":" + std::to_string(line) + ": " + condition;
#ifdef KELVARO_FUZZ_REPLAY
    throw FuzzCheckFailed{what};
#else
    std::fprintf(stderr, "broken promise: %s\n", what.c_str());
    std::abort();
#endif
}

std::vector<std::string> SplitAtNul(const uint8_t *data, size_t size, size_t maxParts)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && (maxParts == 0 || parts.size() < maxParts))
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    return parts;
}

namespace {

// Millions of runs write their files here: one folder per process, made
// once, so runs in parallel never share a file.
const std::filesystem::path &TempFolder()
{
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvaro-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(TempFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

} // namespace

std::string WriteTempFile(const std::string &name, const uint8_t *data, size_t size)
{
    const std::filesystem::path path = TempFolder() / name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    file.close();
    if (!file) {
        std::perror(path.c_str());
        std::abort();
    }
    return path.string();
}
