#pragma once

#include <string>

// The few options Kelvaro answers in a terminal without opening a window:
// --help and --version. Everything else on the command line is a video file
// to add (or one of Qt's own options).
namespace CommandLineOptions {

// The text to print and leave with, or an empty string when the program is
// to start normally.
std::string Answer(int argc, char **argv);

} // namespace CommandLineOptions
