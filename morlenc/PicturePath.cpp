#include "morlenc/PicturePath.h"

#include "morlenc/Failure.h"
#include "morlenc/Filters.h"
#include "morlenc/Output.h"

#include <cmath>

namespace morlenc {
namespace {

std::string RationalText(AVRational value)
{
    return std::to_string(value.num) + "/" + std::to_string(value.den);
}

} // namespace

bool PicturePath::Shape::operator==(const Shape &other) const
{
    // Pixel aspects compared as shapes: 16/15 and 32/30 are one.
    const auto aspect = [](const Picture &p) {
        return p.sarNum > 0 && p.sarDen > 0 ? av_make_q(p.sarNum, p.sarDen) : AVRational{1, 1};
    };
    return width == other.width && height == other.height && format == other.format
        && av_cmp_q(aspect(picture), aspect(other.picture)) == 0 && picture.rotation == other.picture.rotation
        && picture.interlaced == other.picture.interlaced && picture.film == other.picture.film;
}

PicturePath::PicturePath(const Job &job, const Source &source, Deliver deliver)
    : m_job(job)
    , m_source(source)
    , m_timeBase(source.format->streams[source.video]->time_base)
    , m_deliver(std::move(deliver))
    , m_ready(NewFrame())
{
    // Film is telecined only to fill 29.97 interlaced frames a second.
    const AVStream *stream = source.format->streams[source.video];
    AVRational rate = stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = stream->r_frame_rate;
    m_atOutputRate = rate.den > 0 && std::abs(av_q2d(rate) - 30000.0 / 1001) < 0.01;
    if (m_atOutputRate)
        m_cadence = std::make_unique<FieldCadence>(m_timeBase);
}

PicturePath::Shape PicturePath::ShapeOf(const AVFrame *frame)
{
    Shape shape{frame->width, frame->height, frame->format, PictureOf(m_source, frame)};
    // Once a frame came interlaced, the deinterlacer stays: it tells each
    // later frame by its own flag, and keeps the fields before and after
    // that it looks at. A picture too small for it is left as it is.
    const bool large = frame->width >= kSmallestDeinterlaced.width
        && frame->height >= kSmallestDeinterlaced.height;
    shape.picture.interlaced = large && (frame->interlaced_frame || m_shape.picture.interlaced);
    // Only interlaced frames tell the cadence; a progressive one among
    // them leaves the graph as it is rather than making it anew.
    shape.picture.film = shape.picture.interlaced
        && (frame->interlaced_frame ? IsFilm(frame) : m_shape.picture.film);
    return shape;
}

bool PicturePath::IsFilm(const AVFrame *frame)
{
    if (!m_cadence)
        return false;
    // Not knowing is no reason to fail: the picture is deinterlaced then.
    try {
        return m_cadence->Watch(frame);
    } catch (const Failure &) {
        m_cadence.reset();
        return false;
    }
}

bool PicturePath::Push(AVFrame *frame)
{
    if (m_ended)
        return false;
    const Shape shape = ShapeOf(frame);
    if (shape.picture.film) {
        // Each frame is judged once the next has come: film goes a frame
        // behind.
        m_weavingShape = shape;
        const FramePtr whole = m_weave.Take(frame, m_cadence ? m_cadence->Last() : FieldCadence::Verdict{});
        return !whole || Feed(whole.get(), shape);
    }
    // A frame still held means the cadence broke there: the deinterlacer
    // takes it.
    const FramePtr held = m_weave.Abandon();
    if (held && !Feed(held.get(), shape))
        return false;
    return Feed(frame, shape);
}

bool PicturePath::Feed(AVFrame *frame, const Shape &shape)
{
    if (m_chain && !(shape == m_shape)) {
        // The old graph fills its pictures up to where the new shape starts.
        m_chain->Close(frame->pts);
        m_closed = true;
        DeliverReady();
        m_chain.reset();
        if (m_ended)
            return false;
    }
    if (!m_chain)
        MakeChain(frame, shape);
    if (!m_chain->Push(frame)) {
        m_ended = true;
        return false;
    }
    DeliverReady();
    return !m_ended;
}

void PicturePath::Close(int64_t endPts)
{
    const FramePtr last = m_weave.Release();
    if (last && !Feed(last.get(), m_weavingShape))
        return;
    if (!m_chain || m_ended)
        return;
    m_chain->Close(endPts);
    m_closed = true;
    DeliverReady();
}

bool PicturePath::FirstFieldOnGrid(int64_t pts) const
{
    // The output's grid counted in quarter frames: a first field in the
    // first or last quarter around a grid point is the nearest picture to
    // it, and every frame's first field lands on a grid point of its own.
    if (pts == AV_NOPTS_VALUE || pts < 0)
        return false;
    const int64_t quarter = av_rescale_q_rnd(pts, m_timeBase, AVRational{1001, 4 * 30000}, AV_ROUND_DOWN);
    return quarter % 4 == 0 || quarter % 4 == 3;
}

void PicturePath::MakeChain(const AVFrame *frame, const Shape &shape)
{
    m_shape = shape;
    m_closed = false;
    // Fields at the output's rate fill its grid one frame each: the other
    // field would be made only for the rate filter to drop it. The grid is
    // the same for every graph, so the first frame tells it for all.
    m_shape.picture.firstFieldOnly = shape.picture.interlaced && !shape.picture.film && m_atOutputRate
        && FirstFieldOnGrid(frame->pts);
    const Picture &picture = m_shape.picture;
    const AVRational sar = picture.sarNum > 0 && picture.sarDen > 0
        ? AVRational{picture.sarNum, picture.sarDen}
        : AVRational{1, 1};
    const std::string args = "video_size=" + std::to_string(frame->width) + "x"
        + std::to_string(frame->height) + ":pix_fmt=" + std::to_string(frame->format)
        + ":time_base=" + RationalText(m_timeBase) + ":pixel_aspect=" + RationalText(sar);
    m_chain = std::make_unique<FilterChain>(FilterChain::Kind::Video, args,
                                            VideoFilterText(m_job, picture, m_nextFrame));
}

void PicturePath::DeliverReady()
{
    for (;;) {
        const FilterChain::Pulled pulled = m_chain->Pull(m_ready.get());
        if (pulled == FilterChain::Pulled::Later)
            return;
        if (pulled == FilterChain::Pulled::Ended) {
            // A graph closed for a new shape ends too; only the end
            // position ends the path.
            m_ended = m_ended || !m_closed;
            return;
        }
        m_ready->pts = av_rescale_q(m_ready->pts, m_chain->OutputTimeBase(), Output::VideoTimeBase());
        // Never a frame twice: the graphs meet at a frame's edge.
        if (m_ready->pts >= m_nextFrame) {
            m_nextFrame = m_ready->pts + 1;
            m_deliver(m_ready.get());
        }
        av_frame_unref(m_ready.get());
    }
}

} // namespace morlenc
