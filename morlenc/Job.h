#pragma once

#include "morlenc/Arguments.h"
#include "morlenc/Channel.h"

#include <string>

namespace morlenc {

enum ExitStatus { kDone = 0, kFailed = 1, kRefused = 2, kStopped = 3 };

// A line on standard error, for whoever runs the encoder by hand.
void Tell(const std::string &message);

// Failure on the channel: the system's error behind it if any, the reason,
// then the final code, so the program moves on. A channel that is gone by
// now has nobody left to tell.
void ReportFailure(Channel &channel, int mode, int reason, int systemError = 0);

// Runs the job's work (`run`) on its channel and ends it with the final
// code, or with its failure; returns the exit status.
int RunJob(const Job &job, void (*run)(const Job &, Channel &));

// The library's own messages stay quiet unless asked for: damaged input
// would fill the terminal, and our failures say what went wrong in a line.
void SetLibraryLogLevel();

} // namespace morlenc
