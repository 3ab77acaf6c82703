// morlenc: one probe or one conversion per process, reported on a channel.

#include "morlenc/Arguments.h"
#include "morlenc/Channel.h"
#include "morlenc/Conversion.h"
#include "morlenc/Failure.h"
#include "morlenc/Help.h"
#include "morlenc/Probe.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdlib>
#include <iostream>
#include <new>

using namespace morlenc;

namespace {

enum ExitStatus { kDone = 0, kFailed = 1, kRefused = 2, kStopped = 3 };

void Tell(const std::string &message)
{
    std::cerr << "morlenc: " << message << std::endl;
}

// Failure on the channel: the system's error behind it if any, the reason,
// then the final code, so the program moves on. A channel that is gone by
// now has nobody left to tell.
void ReportFailure(Channel &channel, int mode, int reason, int systemError = 0)
{
    try {
        if (systemError > 0)
            channel.Send(ENC_SYSTEM_ERROR, systemError);
        channel.Send(ENC_FAILED, reason);
        channel.Send(FinalCodeOf(mode), 0);
    } catch (const Stopped &) {
    }
}

int RunJob(const Job &job)
{
    Channel channel(job.handle);
    try {
        if (job.mode == ENC_MODE_PROBE)
            RunProbe(job, channel);
        else
            RunConversion(job, channel);
        channel.Send(FinalCodeOf(job.mode), 0);
        return kDone;
    } catch (const Failure &failure) {
        Tell(failure.message);
        ReportFailure(channel, job.mode, failure.reason, failure.systemError);
    } catch (const Stopped &) {
        return kStopped;
    } catch (const std::bad_alloc &) {
        Tell("out of memory");
        ReportFailure(channel, job.mode, ENC_FAIL_INTERNAL);
    }
    return kFailed;
}

// The library's own messages stay quiet unless asked for: damaged input
// would fill the terminal, and our failures say what went wrong in a line.
void SetLibraryLogLevel()
{
    const char *verbose = std::getenv("MORLENC_VERBOSE");
    av_log_set_level(verbose && *verbose && *verbose != '0' ? AV_LOG_INFO : AV_LOG_QUIET);
}

} // namespace

int main(int argc, char **argv)
{
    InstallSignalHandlers();
    SetLibraryLogLevel();
    const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.kind) {
    case Arguments::Kind::Help:
        std::cout << HelpText();
        return kDone;
    case Arguments::Kind::Version:
        std::cout << VersionText();
        return kDone;
    case Arguments::Kind::Refused: {
        Tell(arguments.error + " (" + EncoderFailureText(ENC_FAIL_ARGUMENTS) + ")");
        if (arguments.reportHandleKnown && IsUsableHandle(arguments.reportHandle)) {
            Channel channel(arguments.reportHandle);
            ReportFailure(channel, arguments.reportMode, ENC_FAIL_ARGUMENTS);
        }
        return kRefused;
    }
    case Arguments::Kind::Job:
        break;
    }
    if (!IsUsableHandle(arguments.job.handle)) {
        Tell("the handle " + std::to_string(arguments.job.handle) + " is not an open descriptor");
        return kRefused;
    }
    return RunJob(arguments.job);
}
