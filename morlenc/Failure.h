#pragma once

// The two ways a job ends early. Both are thrown so that every FFmpeg object
// on the way up is released by its owner, and the partial output is removed
// by its guard.

#include <string>

namespace morlenc {

// The job failed; reason is an EncoderFailure, message one line for people,
// systemError the errno behind it where the system gave one.
struct Failure {
    int reason;
    std::string message;
    int systemError = 0;
};

// A failure the system explains: the message ends with its words for the
// error number, which the channel carries too.
Failure SystemFailure(int reason, const std::string &what, int error);

// The job was told to stop (answer 1, a broken channel, a signal): end
// quietly, sending nothing more.
struct Stopped {};

// SIGTERM, SIGINT and SIGHUP ask for a stop instead of killing the process,
// so the partial output is still removed. SIGPIPE is ignored: a vanished
// program shows up as a failed write. Call before any thread starts.
void InstallSignalHandlers();
bool StopSignalled();

// Waits until fd has data or has been closed; false when a stop signal came
// first.
bool WaitReadable(int fd);

} // namespace morlenc
