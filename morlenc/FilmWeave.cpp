#include "morlenc/FilmWeave.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <cstring>

namespace morlenc {
namespace {

using Field = FieldCadence::Field;

// The planes whose rows alternate between the two fields. Palettes and
// pictures held elsewhere than in memory cannot be woven row by row.
bool RowsAreFields(int format)
{
    const AVPixFmtDescriptor *described = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format));
    return described
        && !(described->flags & (AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM));
}

} // namespace

FramePtr FilmWeave::Take(AVFrame *frame, const FieldCadence::Verdict &verdict)
{
    FramePtr judged;
    if (m_held) {
        const Field repeated = verdict.pts == m_held->pts ? verdict.repeated : Field::Neither;
        judged = Judged(std::move(m_held), repeated);
    }
    m_held = NewFrame();
    av_frame_move_ref(m_held.get(), frame);
    return judged;
}

FramePtr FilmWeave::Release()
{
    return m_held ? Judged(std::move(m_held), Field::Neither) : nullptr;
}

FramePtr FilmWeave::Abandon()
{
    m_leftOut.reset();
    m_sinceLeftOut = -1;
    return std::move(m_held);
}

FramePtr FilmWeave::Judged(FramePtr frame, Field repeated)
{
    const Field first = frame->top_field_first ? Field::Top : Field::Bottom;
    if (m_leftOut) {
        const FramePtr leftOut = std::move(m_leftOut);
        const bool woven = repeated != first && Weave(frame.get(), leftOut.get());
        m_sinceLeftOut = woven ? 1 : -1;
        return frame;
    }
    if (repeated == first) {
        m_leftOut = std::move(frame);
        m_sinceLeftOut = 0;
        return nullptr;
    }
    if (m_sinceLeftOut >= 1 && m_sinceLeftOut <= 3) {
        ++m_sinceLeftOut;
        frame->interlaced_frame = 0;
        return frame;
    }
    // A repeat was due here and none came: not a whole picture for sure.
    m_sinceLeftOut = -1;
    return frame;
}

bool FilmWeave::Weave(AVFrame *frame, const AVFrame *secondField) const
{
    if (frame->width != secondField->width || frame->height != secondField->height
        || frame->format != secondField->format || !RowsAreFields(frame->format))
        return false;
    const auto format = static_cast<AVPixelFormat>(frame->format);
    const int planes = av_pix_fmt_count_planes(format);
    for (int plane = 0; plane < planes; ++plane) {
        if (av_image_get_linesize(format, frame->width, plane) <= 0)
            return false;
    }
    // The decoder may still predict from these pixels: write to a copy.
    Check(av_frame_make_writable(frame), ENC_FAIL_INTERNAL, "out of memory");
    const AVPixFmtDescriptor *described = av_pix_fmt_desc_get(format);
    // The second field's rows: odd ones when the top field comes first.
    const int second = frame->top_field_first ? 1 : 0;
    for (int plane = 0; plane < planes; ++plane) {
        const int rows = plane == 0 || plane == 3 ? frame->height
                                                  : AV_CEIL_RSHIFT(frame->height, described->log2_chroma_h);
        const int bytes = av_image_get_linesize(format, frame->width, plane);
        for (int row = second; row < rows; row += 2)
            std::memcpy(frame->data[plane] + static_cast<ptrdiff_t>(row) * frame->linesize[plane],
                        secondField->data[plane] + static_cast<ptrdiff_t>(row) * secondField->linesize[plane],
                        static_cast<size_t>(bytes));
    }
    frame->interlaced_frame = 0;
    return true;
}

} // namespace morlenc
