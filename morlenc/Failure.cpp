#include "morlenc/Failure.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>

namespace morlenc {
namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t g_stopSignal = 0;
sigset_t g_stopSet;
sigset_t g_waitMask; // the mask while waiting: stop signals let through

void OnStopSignal(int)
{
    g_stopSignal = 1;
}

} // namespace

Failure SystemFailure(int reason, const std::string &what, int error)
{
    return Failure{reason, what + ": " + std::strerror(error), error};
}

void InstallSignalHandlers()
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);
    // A file-size limit reached must fail the write (and so the job, with
    // its unfinished output removed), not kill the encoder outright.
    sigaction(SIGXFSZ, &ignore, nullptr);

    struct sigaction stop = {};
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    sigemptyset(&g_stopSet);
    for (int signal : kStopSignals) {
        sigaction(signal, &stop, nullptr);
        sigaddset(&g_stopSet, signal);
    }
    // Blocked here, before the libraries start their threads, so that every
    // thread inherits the block: a stop signal must not land on a worker
    // while this thread sleeps in a wait it would not interrupt. The signal
    // stays pending until polled or let through by WaitReadable.
    pthread_sigmask(SIG_BLOCK, &g_stopSet, &g_waitMask);
    for (int signal : kStopSignals)
        sigdelset(&g_waitMask, signal);
}

bool StopSignalled()
{
    if (g_stopSignal)
        return true;
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    for (int signal : kStopSignals) {
        if (sigismember(&pending, signal))
            return true;
    }
    return false;
}

bool WaitReadable(int fd)
{
    pollfd waiting{fd, POLLIN, 0};
    for (;;) {
        if (StopSignalled())
            return false;
        // The stop signals are let through only while waiting.
        const int ready = ppoll(&waiting, 1, nullptr, &g_waitMask);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return true; // the read that follows reports the trouble
    }
}

} // namespace morlenc
