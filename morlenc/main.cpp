// morlenc-convert, the full encoder: one probe or one conversion per process,
// reported on a channel. People and the program start `morlenc`
// (FrontMain.cpp), which hands conversions to this program.

#include "morlenc/Arguments.h"
#include "morlenc/Channel.h"
#include "morlenc/Conversion.h"
#include "morlenc/Failure.h"
#include "morlenc/Help.h"
#include "morlenc/Job.h"
#include "morlenc/Probe.h"
#include "morlenc/WarmServer.h"
#include "platform/EncoderContract.h"

#include <cstring>
#include <iostream>

using namespace morlenc;

namespace {

void RunEitherMode(const Job &job, Channel &channel)
{
    if (job.mode == ENC_MODE_PROBE)
        RunProbe(job, channel);
    else
        RunConversion(job, channel);
}

int RunProgram(int argc, char **argv)
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
    return RunJob(arguments.job, RunEitherMode);
}

} // namespace

int main(int argc, char **argv)
{
    int handle = -1;
    if (argc == 3 && std::strcmp(argv[1], "--serve") == 0 && ParseHandle(argv[2], handle) && handle >= 0
        && IsUsableHandle(handle))
        return Serve(handle, RunProgram);
    return RunProgram(argc, argv);
}
