// morlenc-probe: probes one file, loading only what a probe needs (see
// FrontMain.cpp); anything else goes to the full encoder.

#include "morlenc/Arguments.h"
#include "morlenc/Channel.h"
#include "morlenc/Failure.h"
#include "morlenc/HandOver.h"
#include "morlenc/Job.h"
#include "morlenc/Probe.h"
#include "platform/EncoderContract.h"

#include <string>
#include <vector>

int main(int argc, char **argv)
{
    using namespace morlenc;
    const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    const bool probe = arguments.kind == Arguments::Kind::Job && arguments.job.mode == ENC_MODE_PROBE
        && IsUsableHandle(arguments.job.handle);
    // Refusals and help are the full encoder's to give.
    if (!probe)
        return HandOver("morlenc-convert", argv);
    InstallSignalHandlers();
    SetLibraryLogLevel();
    return RunJob(arguments.job, RunProbe);
}
