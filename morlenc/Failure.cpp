#include "morlenc/Failure.h"

#include <csignal>

namespace morlenc {
namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int)
{
    g_stopSignal = 1;
}

} // namespace

void InstallSignalHandlers()
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);

    // No SA_RESTART: a read waiting for the program's answer must return
    // with EINTR so that the stop is seen at once.
    struct sigaction stop = {};
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &stop, nullptr);
}

bool StopSignalled()
{
    return g_stopSignal != 0;
}

} // namespace morlenc
