#include "morlenc/Timeline.h"

#include <algorithm>

namespace morlenc {
namespace {

// Where the other streams must land, from where the first one landed, to
// have made the same step: streams are stored close together, if not side
// by side.
constexpr int64_t kNear = 10 * AV_TIME_BASE;
// How far past the first stream's old place another may go on along its
// own line before the step counts as the first stream's alone.
constexpr int64_t kInterleave = 2 * AV_TIME_BASE;
// A stream back on the line it left after this many packets elsewhere had
// damaged timestamps.
constexpr int kGlitch = 2;
// Bounds what is held when the other streams stay away: a step back is a
// join all the same (time does not go back), a step ahead is not.
constexpr std::size_t kMostHeld = 2000;

int64_t RawTime(const AVFormatContext *format, const AVPacket &packet)
{
    const int64_t stamp = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
    if (stamp == AV_NOPTS_VALUE)
        return AV_NOPTS_VALUE;
    return av_rescale_q(stamp, format->streams[packet.stream_index]->time_base, AV_TIME_BASE_Q);
}

// A part starts where its first packet is shown, which a picture's
// decoding time precedes.
int64_t ShownTime(const AVFormatContext *format, const AVPacket &packet)
{
    if (packet.pts == AV_NOPTS_VALUE)
        return RawTime(format, packet);
    return av_rescale_q(packet.pts, format->streams[packet.stream_index]->time_base, AV_TIME_BASE_Q);
}

} // namespace

bool Timeline::MayJoin(const AVFormatContext *format)
{
    return (format->iformat->flags & AVFMT_TS_DISCONT) != 0;
}

Timeline::Timeline(const AVFormatContext *format, const std::vector<int> &followed, int64_t guess)
    : m_format(format)
    , m_mayJoin(MayJoin(format))
    , m_followed(format->nb_streams, false)
    , m_moved(format->nb_streams, false)
    , m_lines(format->nb_streams)
    , m_origin(format, followed, guess)
{
    for (const int index : followed) {
        if (index >= 0 && static_cast<unsigned>(index) < format->nb_streams)
            m_followed[static_cast<std::size_t>(index)] = true;
    }
}

bool Timeline::Continues(const Line &line, int64_t raw) const
{
    return raw >= line.last - kStepBack && raw <= line.last + kFarAhead;
}

void Timeline::Take(AVPacket *packet)
{
    PacketPtr own = NewPacket();
    av_packet_move_ref(own.get(), packet);
    const int index = own->stream_index;
    if (index < 0 || static_cast<unsigned>(index) >= m_format->nb_streams
        || !m_followed[static_cast<std::size_t>(index)])
        return;
    if (!m_origin.Settled()) {
        m_origin.See(*own);
        m_lead.push_back(std::move(own));
        if (m_origin.Settled())
            Begin();
        return;
    }
    Step(std::move(own));
}

void Timeline::Begin()
{
    m_offset = -m_origin.Value();
    std::deque<PacketPtr> lead = std::move(m_lead);
    m_lead.clear();
    for (PacketPtr &packet : lead)
        Step(std::move(packet));
}

void Timeline::Step(PacketPtr own)
{
    const int index = own->stream_index;
    const int64_t raw = RawTime(m_format, *own);
    if (m_pending) {
        TakeWhilePending(std::move(own), raw);
        return;
    }
    Line &line = m_lines[static_cast<std::size_t>(index)];
    if (!m_mayJoin || raw == AV_NOPTS_VALUE || !line.started || Continues(line, raw)) {
        if (raw != AV_NOPTS_VALUE) {
            line.started = true;
            line.last = raw;
        }
        Place(own.get(), m_offset);
        m_ready.push_back(std::move(own));
        return;
    }
    // This stream leaves its line: a join, if the others follow.
    m_pending = Pending{index, line.last, raw < line.last, raw, 1};
    std::fill(m_moved.begin(), m_moved.end(), false);
    m_moved[static_cast<std::size_t>(index)] = true;
    line.last = raw;
    Hold(std::move(own), true);
    Decide();
}

void Timeline::TakeWhilePending(PacketPtr packet, int64_t raw)
{
    const std::size_t index = static_cast<std::size_t>(packet->stream_index);
    if (raw == AV_NOPTS_VALUE) {
        Hold(std::move(packet), m_moved[index]);
        return;
    }
    Pending &pending = *m_pending;
    Line &line = m_lines[index];
    const bool wasStarted = line.started;
    const int64_t last = line.last;
    line.started = true;
    line.last = raw;

    if (static_cast<int>(index) == pending.leader) {
        if (pending.leaderPackets <= kGlitch && Continues(Line{true, pending.leaderLast}, raw)) {
            Hold(std::move(packet), false);
            Release(true);
            return;
        }
        ++pending.leaderPackets;
        pending.clock = std::max(pending.clock, raw);
        Hold(std::move(packet), true);
        return;
    }
    if (m_moved[index]) {
        pending.clock = std::max(pending.clock, raw);
        Hold(std::move(packet), true);
        return;
    }
    const bool near = raw >= pending.clock - kNear && raw <= pending.clock + kNear;
    if (wasStarted && Continues(Line{true, last}, raw)) {
        const bool wentPast = raw > pending.leaderLast + kInterleave;
        Hold(std::move(packet), false);
        if (wentPast)
            Release();
        return;
    }
    // A stream's first packet goes with the part it is stored in; one that
    // leaves its line goes with the first stream if it lands beside it.
    if (near) {
        m_moved[index] = true;
        pending.clock = std::max(pending.clock, raw);
        Hold(std::move(packet), true);
        Decide();
        return;
    }
    Hold(std::move(packet), false);
    if (wasStarted)
        Release();
}

void Timeline::Hold(PacketPtr packet, bool moved)
{
    m_held.push_back(Held{std::move(packet), moved});
    if (m_held.size() >= kMostHeld)
        Finish();
}

void Timeline::Finish()
{
    if (!m_origin.Settled()) {
        m_origin.Settle();
        Begin();
    }
    if (!m_pending)
        return;
    if (m_pending->back)
        Confirm();
    else
        Release();
}

// Every stream that has been seen has made the step.
void Timeline::Decide()
{
    if (!m_pending)
        return;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_followed[i] && m_lines[i].started && !m_moved[i])
            return;
    }
    Confirm();
}

// The next part starts where everything before it ends.
void Timeline::Confirm()
{
    for (Held &held : m_held) {
        if (!held.moved)
            Place(held.packet.get(), m_offset);
    }
    int64_t first = AV_NOPTS_VALUE;
    for (const Held &held : m_held) {
        const int64_t shown = held.moved ? ShownTime(m_format, *held.packet) : AV_NOPTS_VALUE;
        if (shown != AV_NOPTS_VALUE)
            first = first == AV_NOPTS_VALUE ? shown : std::min(first, shown);
    }
    if (first != AV_NOPTS_VALUE)
        m_offset = m_end - first;
    for (Held &held : m_held) {
        if (held.moved)
            Place(held.packet.get(), m_offset);
        m_ready.push_back(std::move(held.packet));
    }
    m_held.clear();
    m_pending.reset();
}

// No join: everything stays where its timestamps put it, except a damaged
// stretch of the first stream, whose frames then follow the ones before.
void Timeline::Release(bool clearLeaderTimes)
{
    const int leader = m_pending ? m_pending->leader : -1;
    for (Held &held : m_held) {
        if (clearLeaderTimes && held.moved && held.packet->stream_index == leader) {
            held.packet->pts = AV_NOPTS_VALUE;
            held.packet->dts = AV_NOPTS_VALUE;
        } else {
            Place(held.packet.get(), m_offset);
        }
        m_ready.push_back(std::move(held.packet));
    }
    m_held.clear();
    m_pending.reset();
}

bool Timeline::Give(AVPacket *packet)
{
    if (m_ready.empty())
        return false;
    av_packet_move_ref(packet, m_ready.front().get());
    m_ready.pop_front();
    return true;
}

void Timeline::Place(AVPacket *packet, int64_t offset)
{
    const AVRational base = m_format->streams[packet->stream_index]->time_base;
    const int64_t shift = av_rescale_q(offset, AV_TIME_BASE_Q, base);
    if (packet->pts != AV_NOPTS_VALUE)
        packet->pts += shift;
    if (packet->dts != AV_NOPTS_VALUE)
        packet->dts += shift;
    const int64_t start = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (start == AV_NOPTS_VALUE)
        return;
    m_end = std::max(m_end, av_rescale_q(start + std::max<int64_t>(0, packet->duration), base, AV_TIME_BASE_Q));
}

} // namespace morlenc
