#pragma once

struct CommandLine;

// Converts files without any window (kelvaro --convert): the very batch the
// window runs, with the settings the window would use, its progress and its
// report on standard error. No display is needed.
namespace ConvertCommand {

// The process's exit status: 0 when every file was converted whole.
int Run(int &argc, char **argv, const CommandLine &line);

} // namespace ConvertCommand
