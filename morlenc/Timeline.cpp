#include "morlenc/Timeline.h"

#include <algorithm>

namespace morlenc {
namespace {

// A stream that steps back less than this, or runs ahead of the others by
// less than this, stays in its part: jitter, overlaps at a join and the
// streams' usual distance from each other in the file are all smaller.
constexpr int64_t kStepBack = AV_TIME_BASE;
constexpr int64_t kAhead = 10 * AV_TIME_BASE;
// How far a stream's first time in a part may lie from where that part's
// other streams are: they are stored close together, but not side by side.
constexpr int64_t kNear = 10 * AV_TIME_BASE;
// A stream back on the line it left after this many packets elsewhere had
// damaged timestamps, not a part of its own.
constexpr int kGlitch = 2;

} // namespace

Timeline::Timeline(const AVFormatContext *format, int64_t origin)
    : m_format(format)
    , m_parts{Part{-origin, origin}}
    , m_streams(format->nb_streams)
{
}

void Timeline::Place(AVPacket *packet)
{
    const int64_t stamp = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (stamp == AV_NOPTS_VALUE || packet->stream_index < 0
        || static_cast<std::size_t>(packet->stream_index) >= m_streams.size())
        return;
    const AVRational base = m_format->streams[packet->stream_index]->time_base;
    const int64_t raw = av_rescale_q(stamp, base, AV_TIME_BASE_Q);
    // A part starts where its first packet is shown, which a picture's
    // decoding time precedes.
    const int64_t shown = packet->pts != AV_NOPTS_VALUE ? av_rescale_q(packet->pts, base, AV_TIME_BASE_Q) : raw;
    Follower &stream = m_streams[static_cast<std::size_t>(packet->stream_index)];
    const int into = PartFor(stream, raw, shown);
    stream.packets = into == stream.part ? stream.packets + 1 : 1;
    stream.part = into;
    stream.last = raw;
    Part &part = m_parts[static_cast<std::size_t>(stream.part)];
    part.clock = std::max(part.clock, raw);

    const int64_t offset = av_rescale_q(part.offset, AV_TIME_BASE_Q, base);
    if (packet->pts != AV_NOPTS_VALUE)
        packet->pts += offset;
    if (packet->dts != AV_NOPTS_VALUE)
        packet->dts += offset;
    const int64_t start = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    m_end = std::max(m_end, av_rescale_q(start + std::max<int64_t>(0, packet->duration), base, AV_TIME_BASE_Q));
}

int Timeline::PartFor(Follower &stream, int64_t raw, int64_t shown)
{
    const int latest = static_cast<int>(m_parts.size()) - 1;
    if (stream.part < 0)
        return LandsIn(latest, raw) ? latest : Open(raw, shown);
    // Stepping back, even a little, where another stream has already opened
    // a part: this one has reached the same join.
    if (stream.part < latest && raw < stream.last && LandsIn(latest, raw))
        return latest;
    if (Continues(stream.part, stream.last, raw))
        return stream.part;
    // A packet or two off the line (damage) are followed by the line again.
    if (stream.previous >= 0 && stream.packets <= kGlitch
        && Continues(stream.previous, stream.previousLast, raw)) {
        const int back = stream.previous;
        stream.previous = -1;
        return back;
    }
    stream.previous = stream.part;
    stream.previousLast = stream.last;
    for (int part = stream.part + 1; part <= latest; ++part) {
        if (LandsIn(part, raw))
            return part;
    }
    return Open(raw, shown);
}

bool Timeline::Continues(int part, int64_t last, int64_t raw) const
{
    return raw >= last - kStepBack && raw <= m_parts[static_cast<std::size_t>(part)].clock + kAhead;
}

bool Timeline::LandsIn(int part, int64_t raw) const
{
    const int64_t clock = m_parts[static_cast<std::size_t>(part)].clock;
    return raw >= clock - kNear && raw <= clock + kNear;
}

// The next part starts where everything so far ends.
int Timeline::Open(int64_t raw, int64_t shown)
{
    m_parts.push_back(Part{m_end - shown, raw});
    return static_cast<int>(m_parts.size()) - 1;
}

} // namespace morlenc
