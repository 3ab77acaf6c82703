#include "morlenc/FieldCadence.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/pixdesc.h>
}

#include <string>

namespace morlenc {
namespace {

// Three cycles of five frames: six repeats, five gaps between them.
constexpr int kGapsToBelieve = 5;
// The longest stretch between two repeats of the cadence.
constexpr long long kLongestGap = 3;

// A repeated field shows in the brightness as well as in all the planes,
// for a third less work with 4:2:0 colour: 8-bit planar YUV is looked at
// through its first plane alone, as grey.
bool BrightnessOnly(int format)
{
    const AVPixFmtDescriptor *described = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format));
    return described && described->nb_components >= 3 && (described->flags & AV_PIX_FMT_FLAG_PLANAR)
        && !(described->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_HWACCEL))
        && described->comp[0].depth == 8 && described->comp[0].plane == 0 && described->comp[0].step == 1;
}

} // namespace

FieldCadence::FieldCadence(AVRational timeBase)
    : m_timeBase(timeBase)
    , m_copy(NewFrame())
    , m_analysed(NewFrame())
{
}

bool FieldCadence::Watch(const AVFrame *frame)
{
    if (!m_idet || frame->width != m_width || frame->height != m_height || frame->format != m_format) {
        m_width = frame->width;
        m_height = frame->height;
        m_format = frame->format;
        m_seen = BrightnessOnly(m_format) ? AV_PIX_FMT_GRAY8 : m_format;
        const std::string args = "video_size=" + std::to_string(m_width) + "x" + std::to_string(m_height)
            + ":pix_fmt=" + std::to_string(m_seen) + ":time_base=" + std::to_string(m_timeBase.num)
            + "/" + std::to_string(m_timeBase.den);
        m_idet = std::make_unique<FilterChain>(FilterChain::Kind::Video, args, "idet");
        // Another part of the source: its cadence has yet to show.
        m_inStep = 0;
        m_lastRepeat = -1;
        m_last = Verdict{};
    }
    // The graph takes a reference of its own; the pixels are shared.
    Check(av_frame_ref(m_copy.get(), frame), ENC_FAIL_INTERNAL, "out of memory");
    m_copy->format = m_seen;
    m_idet->Push(m_copy.get());
    av_frame_unref(m_copy.get());
    while (m_idet->Pull(m_analysed.get()) == FilterChain::Pulled::Frame) {
        const AVDictionaryEntry *entry
            = av_dict_get(m_analysed->metadata, "lavfi.idet.repeated.current_frame", nullptr, 0);
        const std::string repeated = entry ? entry->value : "";
        m_last = Verdict{m_analysed->pts,
                         repeated == "top" ? Field::Top : repeated == "bottom" ? Field::Bottom : Field::Neither};
        Count(m_last.repeated);
        av_frame_unref(m_analysed.get());
    }
    return m_inStep >= kGapsToBelieve;
}

void FieldCadence::Count(Field repeated)
{
    const long long frame = m_frame++;
    if (repeated == Field::Neither) {
        if (frame - m_lastRepeat > kLongestGap)
            m_inStep = 0;
        return;
    }
    // In step: the other field than last time, two frames after a gap of
    // three or three after a gap of two.
    const long long gap = frame - m_lastRepeat;
    const bool inStep = m_lastRepeat >= 0 && repeated != m_lastField && (gap == 2 || gap == 3)
        && gap != m_lastGap;
    m_inStep = inStep ? m_inStep + 1 : 0;
    m_lastRepeat = frame;
    m_lastField = repeated;
    m_lastGap = gap;
}

} // namespace morlenc
