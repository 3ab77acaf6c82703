#include "morlenc/Job.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdlib>
#include <iostream>
#include <new>

namespace morlenc {

void Tell(const std::string &message)
{
    std::cerr << "morlenc: " << message << std::endl;
}

void ReportFailure(Channel &channel, int mode, int reason, int systemError)
{
    try {
        if (systemError > 0)
            channel.Send(ENC_SYSTEM_ERROR, systemError);
        channel.Send(ENC_FAILED, reason);
        channel.Send(FinalCodeOf(mode), 0);
    } catch (const Stopped &) {
    }
}

int RunJob(const Job &job, void (*run)(const Job &, Channel &))
{
    Channel channel(job.handle);
    try {
        run(job, channel);
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

void SetLibraryLogLevel()
{
    const char *verbose = std::getenv("MORLENC_VERBOSE");
    av_log_set_level(verbose && *verbose && *verbose != '0' ? AV_LOG_INFO : AV_LOG_QUIET);
}

} // namespace morlenc
