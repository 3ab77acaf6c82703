#pragma once

// The encoder's command line, turned into a job description. Pure: no FFmpeg,
// no system calls, so it can be tested and fuzzed on its own.

#include <string>
#include <string_view>
#include <vector>

namespace morlenc {

// How a picture is fitted into the target frame.
enum class Fit {
    Stretch,  // fill width x height exactly, whatever the source's shape
    Inside,   // keep the display aspect ratio, centre it on black bars
};

// The largest gain or cut applied to the sound, in dB. Sixteen-bit sound
// spans 96 dB: a deeper cut leaves silence, a larger boost drives the
// faintest sound to full scale; asking for more changes nothing audible.
constexpr int kGainLimitDb = 96;

struct Job {
    std::string source;
    std::string output;
    int width = 0;            // target frame, pixels
    int height = 0;
    Fit fit = Fit::Stretch;
    int gainDb = 0;           // audio gain before resampling, within kGainLimitDb
    int videoKbps = 0;
    int audioKbps = 0;
    long long endSeconds = 0; // the output is cut at this length
    int mode = 0;             // ENC_MODE_CONVERT or ENC_MODE_PROBE
    int handle = -1;          // channel descriptor, or -1 for standard output
};

struct Arguments {
    enum class Kind { Job, Help, Version, Refused };
    Kind kind = Kind::Refused;
    Job job;
    // For Refused: why, in one line, and where the refusal can still be
    // reported. The mode and handle are read from the tail of the vector
    // even when something earlier is wrong, so that the program waiting on
    // the channel still gets its final code.
    std::string error;
    int reportMode = 0;
    int reportHandle = -1;
    bool reportHandleKnown = false;
};

// args excludes the program name (argv[1..argc-1]).
Arguments ParseArguments(const std::vector<std::string> &args);

// A descriptor number, or -1; false for anything else.
bool ParseHandle(std::string_view text, int &handle);

// The text in double quotes with line breaks escaped, so that a message
// naming a path stays on one line.
std::string Quoted(std::string_view text);

} // namespace morlenc
