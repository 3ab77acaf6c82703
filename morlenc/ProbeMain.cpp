// morlenc: the encoder's program. A probe is mostly the program's start, and
// the filter and scaling libraries a conversion needs take a third of that
// start to load; so this program links only what a probe needs, probes by
// itself, and replaces itself by the full encoder (main.cpp, beside it) for
// everything else. The process, its channel and its signals stay the same.

#include "morlenc/Arguments.h"
#include "morlenc/Channel.h"
#include "morlenc/Failure.h"
#include "morlenc/Job.h"
#include "morlenc/Probe.h"
#include "platform/EncoderContract.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

using namespace morlenc;

namespace {

// The full encoder lies beside this program's file (the file itself, not a
// link to it on PATH).
std::string FullEncoderPath()
{
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        self = "morlenc";  // no /proc: the full encoder is looked for here
    return self.replace_filename(MORLENC_FULL_NAME).string();
}

int HandOver(char **argv)
{
    const std::string full = FullEncoderPath();
    ::execv(full.c_str(), argv);
    Tell("cannot start " + full + ": " + std::strerror(errno));
    return kFailed;
}

} // namespace

int main(int argc, char **argv)
{
    const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    const bool probe = arguments.kind == Arguments::Kind::Job && arguments.job.mode == ENC_MODE_PROBE
        && IsUsableHandle(arguments.job.handle);
    if (!probe)
        return HandOver(argv);
    InstallSignalHandlers();
    SetLibraryLogLevel();
    return RunJob(arguments.job, RunProbe);
}
