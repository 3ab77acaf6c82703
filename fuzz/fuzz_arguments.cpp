// morlenc's command line. Anyone can start the encoder by hand or from a
// script, so its arguments are outside input.
//
// Input: the arguments, NUL-separated, without the program name.

#include "fuzz/FuzzTargets.h"
#include "morlenc/Arguments.h"
#include "morlenc/Filters.h"
#include "platform/EncoderContract.h"

#include <climits>

using namespace morlenc;

namespace {

bool IsOneLine(const std::string &text)
{
    return text.find('\n') == std::string::npos && text.find('\r') == std::string::npos;
}

bool IsFrameSide(int pixels)
{
    return pixels >= 16 && pixels <= 4096 && pixels % 2 == 0;
}

void CheckJob(const Arguments &arguments)
{
    const Job &job = arguments.job;
    FUZZ_CHECK(!job.source.empty() && !job.output.empty());
    FUZZ_CHECK(IsFrameSide(job.width) && IsFrameSide(job.height));
    FUZZ_CHECK(job.gainDb >= -40 && job.gainDb <= 40);
    FUZZ_CHECK(job.videoKbps >= 16 && job.videoKbps <= 100000);
    FUZZ_CHECK(job.audioKbps >= 8 && job.audioKbps <= 512);
    FUZZ_CHECK(job.endSeconds > 0 && job.endSeconds < 100 * 3600);
    FUZZ_CHECK(job.mode == ENC_MODE_CONVERT || job.mode == ENC_MODE_PROBE);
    FUZZ_CHECK(job.handle >= -1);
    // A refusal found later in the run is reported where the job reports.
    FUZZ_CHECK(arguments.reportHandleKnown);
    FUZZ_CHECK(arguments.reportHandle == job.handle);
    FUZZ_CHECK(arguments.reportMode == job.mode);

    // The graph texts for a plain picture fit the frame the job asked for.
    const Picture picture{640, 360, 1, 1, 0};
    const Size fitted = FitInside(DisplaySizeOf(picture), job.width, job.height);
    FUZZ_CHECK(fitted.width >= 2 && fitted.width <= job.width);
    FUZZ_CHECK(fitted.height >= 2 && fitted.height <= job.height);
    FUZZ_CHECK(VideoFilterText(job, picture).find('-') == std::string::npos);
    FUZZ_CHECK(!AudioFormatFilterText(job, 0).empty());
    FUZZ_CHECK(!AudioEndFilterText(job).empty());
}

} // namespace

int FuzzArguments(const uint8_t *data, size_t size)
{
    std::vector<std::string> args;
    if (size > 0)
        args = SplitAtNul(data, size);
    const Arguments arguments = ParseArguments(args);
    switch (arguments.kind) {
    case Arguments::Kind::Job:
        CheckJob(arguments);
        break;
    case Arguments::Kind::Refused:
        // The refusal is told in one line, whatever the arguments held.
        FUZZ_CHECK(!arguments.error.empty());
        FUZZ_CHECK(IsOneLine(arguments.error));
        FUZZ_CHECK(arguments.reportMode == ENC_MODE_CONVERT || arguments.reportMode == ENC_MODE_PROBE);
        FUZZ_CHECK(!arguments.reportHandleKnown || arguments.reportHandle >= -1);
        break;
    case Arguments::Kind::Help:
    case Arguments::Kind::Version:
        FUZZ_CHECK(args.size() == 1);
        break;
    }
    FUZZ_CHECK(IsOneLine(Quoted(std::string_view(reinterpret_cast<const char *>(data), size))));
    return 0;
}

KELVARO_FUZZ_ENTRY(FuzzArguments)
