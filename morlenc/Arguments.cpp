#include "morlenc/Arguments.h"

#include "platform/EncoderContract.h"
#include "platform/EncoderGrammar.h"

#include <algorithm>
#include <climits>
#include <string_view>

namespace morlenc {
namespace {

namespace G = EncoderGrammar;

bool Consume(std::string_view &text, std::string_view prefix)
{
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Reads leading decimal digits (no sign, at most nine of them, so no
// overflow) and checks the range.
bool ConsumeInt(std::string_view &text, long long min, long long max, long long &value)
{
    std::size_t digits = 0;
    value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        if (digits == 9)
            return false;
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    text.remove_prefix(digits);
    return digits > 0 && value >= min && value <= max;
}

bool WholeInt(std::string_view text, long long min, long long max, long long &value)
{
    return ConsumeInt(text, min, max, value) && text.empty();
}

bool ParseMode(std::string_view text, int &mode)
{
    if (text != "0" && text != "1")
        return false;
    mode = text == "1" ? ENC_MODE_PROBE : ENC_MODE_CONVERT;
    return true;
}

bool ParseAudioFilter(std::string_view text, int &gainDb)
{
    const std::string_view kResample = G::kResample;
    if (text == kResample) {
        gainDb = 0;
        return true;
    }
    if (!Consume(text, G::kVolume))
        return false;
    int sign = 0;
    if (Consume(text, "+"))
        sign = 1;
    else if (Consume(text, "-"))
        sign = -1;
    // The program writes whatever its stored volume gives, up to hundreds of
    // millions of dB; any run of digits is taken, and the gain applied is
    // bounded to what sound can carry.
    std::size_t digits = 0;
    long long db = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        db = std::min<long long>(db * 10 + (text[digits] - '0'), kGainLimitDb);
        ++digits;
    }
    text.remove_prefix(digits);
    if (sign == 0 || digits == 0)
        return false;
    if (!Consume(text, G::kVolumeUnit) && !Consume(text, "dB"))
        return false;
    gainDb = static_cast<int>(sign * db);
    return Consume(text, G::kVolumeTail) && text == kResample;
}

// Target sizes: even, because the picture format halves the colour planes.
bool ConsumeSize(std::string_view &text, long long &size)
{
    return ConsumeInt(text, 16, 4096, size) && size % 2 == 0;
}

bool ParseVideoFilter(std::string_view text, Job &job)
{
    if (!Consume(text, G::kScale))
        return false;
    long long width = 0;
    long long height = 0;
    const bool keepWidth = Consume(text, std::string(G::kKeepShape) + ":");
    if (!keepWidth && (!ConsumeSize(text, width) || !Consume(text, ":")))
        return false;
    const bool keepHeight = !keepWidth && Consume(text, G::kKeepShape);
    if (!keepHeight && !ConsumeSize(text, height))
        return false;
    if (!Consume(text, G::kHarddup))
        return false;
    job.fit = Fit::Stretch;
    if (keepWidth || keepHeight) {
        // The fitted side is given again by the frame size, and must agree.
        long long frameWidth = 0;
        long long frameHeight = 0;
        if (!Consume(text, G::kExpand) || !ConsumeSize(text, frameWidth) || !Consume(text, ":")
            || !ConsumeSize(text, frameHeight))
            return false;
        if ((keepWidth && frameHeight != height) || (keepHeight && frameWidth != width))
            return false;
        width = frameWidth;
        height = frameHeight;
        job.fit = Fit::Inside;
    }
    job.width = static_cast<int>(width);
    job.height = static_cast<int>(height);
    return text.empty();
}

bool ParseCodecOptions(std::string_view text, Job &job)
{
    long long video = 0;
    long long audio = 0;
    if (!Consume(text, G::kCodecHead) || !ConsumeInt(text, 16, 100000, video)
        || !Consume(text, G::kCodecMiddle)
        || !ConsumeInt(text, 8, 512, audio) || !text.empty())
        return false;
    job.videoKbps = static_cast<int>(video);
    job.audioKbps = static_cast<int>(audio);
    return true;
}

bool ParseEndPosition(std::string_view text, long long &seconds)
{
    long long h = 0;
    long long m = 0;
    long long s = 0;
    if (!ConsumeInt(text, 0, 99, h) || !Consume(text, ":") || !ConsumeInt(text, 0, 59, m)
        || !Consume(text, ":") || !ConsumeInt(text, 0, 59, s) || !text.empty())
        return false;
    seconds = h * 3600 + m * 60 + s;
    return seconds > 0;
}

Arguments Refuse(Arguments result, std::string error)
{
    result.kind = Arguments::Kind::Refused;
    result.error = std::move(error);
    return result;
}

} // namespace

bool ParseHandle(std::string_view text, int &handle)
{
    if (text == "-1") {
        handle = -1;
        return true;
    }
    long long value = 0;
    if (!WholeInt(text, 0, INT_MAX, value))
        return false;
    handle = static_cast<int>(value);
    return true;
}

// Messages are one line, so line breaks in a path are shown escaped.
std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\n')
            quoted += "\\n";
        else if (c == '\r')
            quoted += "\\r";
        else
            quoted += c;
    }
    return quoted + "\"";
}

Arguments ParseArguments(const std::vector<std::string> &args)
{
    Arguments result;
    if (args.size() == 1 && args[0] == "--help") {
        result.kind = Arguments::Kind::Help;
        return result;
    }
    if (args.size() == 1 && args[0] == "--version") {
        result.kind = Arguments::Kind::Version;
        return result;
    }

    // Find where to report before judging the rest: the last two arguments
    // are the mode and the handle whenever the vector is long enough to
    // have been meant as a job.
    if (args.size() >= 3) {
        int mode = ENC_MODE_CONVERT;
        result.reportHandleKnown = ParseHandle(args.back(), result.reportHandle);
        if (ParseMode(args[args.size() - 2], mode))
            result.reportMode = mode;
    }

    if (args.size() != static_cast<std::size_t>(G::kArgumentCount))
        return Refuse(result, "expected " + std::to_string(G::kArgumentCount)
                                  + " arguments (see --help), got " + std::to_string(args.size()));

    for (const G::FixedToken &fixed : G::kFixedTokens) {
        const std::string &argument = args[static_cast<std::size_t>(fixed.place)];
        if (argument != fixed.text)
            return Refuse(result, "argument " + std::to_string(fixed.place + 1) + " must be "
                                      + Quoted(fixed.text) + ", not " + Quoted(argument));
    }

    Job &job = result.job;
    job.source = args[G::kSource];
    job.output = args[G::kOutput];
    if (job.source.empty())
        return Refuse(result, "the source path is empty");
    if (job.output.empty())
        return Refuse(result, "the output path is empty");
    if (!ParseAudioFilter(args[G::kAudioFilter], job.gainDb))
        return Refuse(result, "unknown audio filter " + Quoted(args[G::kAudioFilter]));
    if (!ParseVideoFilter(args[G::kVideoFilter], job))
        return Refuse(result, "unknown video filter " + Quoted(args[G::kVideoFilter]));
    if (!ParseCodecOptions(args[G::kCodecOptions], job))
        return Refuse(result, "unknown codec options " + Quoted(args[G::kCodecOptions]));
    if (!ParseEndPosition(args[G::kEndPosition], job.endSeconds))
        return Refuse(result, "bad end position " + Quoted(args[G::kEndPosition]));
    if (!ParseMode(args[G::kMode], job.mode))
        return Refuse(result, "the mode must be 0 or 1, not " + Quoted(args[G::kMode]));
    if (!ParseHandle(args[G::kHandle], job.handle))
        return Refuse(result, "the handle must be a descriptor number or -1, not "
                                  + Quoted(args[G::kHandle]));

    result.kind = Arguments::Kind::Job;
    return result;
}

} // namespace morlenc
