#include "morlenc/Filters.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace morlenc {
namespace {

bool IsQuarterTurn(int rotation)
{
    return rotation == 90 || rotation == 270;
}

int EvenAtLeastTwo(double value)
{
    return std::max(2, 2 * static_cast<int>(std::lround(value / 2)));
}

std::string Dimensions(int width, int height)
{
    return std::to_string(width) + ":" + std::to_string(height);
}

} // namespace

Size DisplaySizeOf(const Picture &picture)
{
    Size size{picture.width, picture.height};
    if (picture.sarNum > 0 && picture.sarDen > 0 && picture.sarNum != picture.sarDen)
        size.width = static_cast<int>(
            std::lround(static_cast<double>(picture.width) * picture.sarNum / picture.sarDen));
    if (IsQuarterTurn(picture.rotation))
        std::swap(size.width, size.height);
    return size;
}

Size FitInside(Size display, int width, int height)
{
    if (display.width <= 0 || display.height <= 0)
        return {width, height};
    // Compare the shapes in integers: wider than the frame fills its width.
    const long long across = static_cast<long long>(display.width) * height;
    const long long down = static_cast<long long>(display.height) * width;
    Size fitted{width, height};
    if (across >= down)
        fitted.height = EvenAtLeastTwo(static_cast<double>(width) * display.height / display.width);
    else
        fitted.width = EvenAtLeastTwo(static_cast<double>(height) * display.width / display.height);
    fitted.width = std::min(fitted.width, width);
    fitted.height = std::min(fitted.height, height);
    return fitted;
}

std::string VideoFilterText(const Job &job, const Picture &picture, long long firstFrame)
{
    const Size fitted = job.fit == Fit::Stretch
        ? Size{job.width, job.height}
        : FitInside(DisplaySizeOf(picture), job.width, job.height);

    // Scale first, while the picture is still as stored: it takes any size
    // and format changes in its stride, and turning a smaller picture costs
    // less. A quarter turn therefore scales to the swapped size.
    Size scaled = fitted;
    if (IsQuarterTurn(picture.rotation))
        std::swap(scaled.width, scaled.height);

    // Frames are repeated or dropped to hold the rate; starting at zero pads
    // a late first picture so it lines up with the sound. A graph made anew
    // on the way starts at the frame where the previous one stopped.
    std::string rate = "fps=fps=30000/1001:start_time=";
    rate += firstFrame > 0 ? std::to_string(firstFrame) + "*1001/30000" : std::string("0");

    std::string text;
    // The deinterlacer compares lines with the lines above and below them
    // and the fields before and after, never columns with their
    // neighbours. Narrowing the picture first, a row at a time,
    // leaves the fields apart and spares them the columns the output does
    // not keep: less than half the work for a DVD brought to 320 wide.
    if (picture.interlaced && !picture.film && scaled.width < picture.width
        && scaled.width >= kSmallestDeinterlaced.width)
        text += "scale=" + std::to_string(scaled.width) + ":ih:flags=bicubic,";
    if (picture.film) {
        // Film comes put back together into whole pictures (FilmWeave); a
        // frame the cadence could not vouch for is still flagged
        // interlaced, and is deinterlaced into one picture.
        text += "bwdif=mode=send_frame:parity=auto:deint=interlaced,";
    } else if (picture.interlaced) {
        // Each field becomes a picture in the stream's field order, so 25
        // frames a second give 50 moments to fill the output's 29.97; a
        // progressive frame among them passes as it is. Before scaling,
        // which would blend the fields.
        text += picture.firstFieldOnly ? "bwdif=mode=send_frame:parity=auto:deint=interlaced,"
                                       : "bwdif=mode=send_field:parity=auto:deint=interlaced,";
    }
    // Deinterlaced pictures come 50 or 60 a second: dropping the ones the
    // output has no place for before scaling spares the scaler up to half
    // its work. Other pictures keep the order they always had.
    const bool rateFirst = picture.interlaced;
    if (rateFirst)
        text += rate + ",";
    text += "scale=" + Dimensions(scaled.width, scaled.height)
        + ":flags=bicubic,format=yuv420p";

    if (picture.rotation == 90)
        text += ",transpose=clock";
    else if (picture.rotation == 270)
        text += ",transpose=cclock";
    else if (picture.rotation == 180)
        text += ",hflip,vflip";

    if (fitted.width != job.width || fitted.height != job.height) {
        // Even offsets keep the bars aligned with the halved colour planes.
        const int x = (job.width - fitted.width) / 2 / 2 * 2;
        const int y = (job.height - fitted.height) / 2 / 2 * 2;
        text += ",pad=" + Dimensions(job.width, job.height) + ":" + Dimensions(x, y) + ":black";
    }

    text += ",setsar=1,";
    if (!rateFirst)
        text += rate + ",";
    text += "trim=end=" + std::to_string(job.endSeconds);
    return text;
}

std::string AudioFormatFilterText(const Job &job, long long firstSample)
{
    std::string text;
    if (job.gainDb != 0)
        text += "volume=volume=" + std::to_string(job.gainDb) + "dB:precision=float,";
    // async=1 fills gaps with silence and trims overlaps, once they are
    // off the sound's own sample count by more than min_hard_comp: timing
    // jitter below that is no gap. first_pts pads a late start (or
    // continues where the previous format ended).
    // rematrix_maxval=1 scales a downmix so it cannot clip.
    text += "aresample=44100:async=1:min_hard_comp=0.1:first_pts=" + std::to_string(firstSample) + ":rematrix_maxval=1";
    text += ",aformat=sample_fmts=fltp:sample_rates=44100:channel_layouts=stereo";
    return text;
}

std::string AudioEndFilterText(const Job &job)
{
    return "atrim=end=" + std::to_string(job.endSeconds);
}

std::string AudioEndSourceArgs()
{
    return "time_base=1/44100:sample_rate=44100:sample_fmt=fltp:channel_layout=stereo";
}

} // namespace morlenc
