#include "morlenc/Origin.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

#include <algorithm>

namespace morlenc {
namespace {

// A stream's first packets in file order are not always its first in time
// (B-frames come after the picture they precede); a few of them are.
constexpr int kFirstPackets = 4;
// How long the others go on before a stream not seen yet is given up: it
// starts later than that, so it cannot move the origin.
constexpr int64_t kWait = 60 * AV_TIME_BASE;
// And how many packets at the most: a stream without timestamps gives no
// time to wait by, and what is read meanwhile is held in memory.
constexpr int kMostPackets = 4096;

// Where the packet is shown: priming samples a decoder skips (the start of
// AAC in MP4) are not.
int64_t ShownStart(const AVFormatContext *format, const AVPacket &packet)
{
    const AVStream *stream = format->streams[packet.stream_index];
    int64_t pts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    std::size_t size = 0;
    const uint8_t *skip = av_packet_get_side_data(&packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
    if (skip && size >= 4 && stream->codecpar->sample_rate > 0)
        pts += av_rescale_q(AV_RL32(skip), AVRational{1, stream->codecpar->sample_rate}, stream->time_base);
    return av_rescale_q(pts, stream->time_base, AV_TIME_BASE_Q);
}

} // namespace

Origin::Origin(const AVFormatContext *format, const std::vector<int> &followed, int64_t guess)
    : m_format(format)
    , m_guess(guess)
    , m_streams(format->nb_streams)
{
    for (const int index : followed) {
        if (index >= 0 && static_cast<unsigned>(index) < format->nb_streams)
            m_streams[static_cast<std::size_t>(index)].followed = true;
    }
}

void Origin::See(const AVPacket &packet)
{
    // Pre-roll an edit list leaves out (a clip cut without re-encoding)
    // is decoded but never shown.
    m_settled = m_settled || ++m_packets >= kMostPackets;
    const bool timed = packet.pts != AV_NOPTS_VALUE || packet.dts != AV_NOPTS_VALUE;
    if (m_settled || !timed || (packet.flags & AV_PKT_FLAG_DISCARD))
        return;
    Stream &stream = m_streams[static_cast<std::size_t>(packet.stream_index)];
    if (!stream.followed)
        return;
    const int64_t shown = ShownStart(m_format, packet);
    if (stream.seen < kFirstPackets) {
        stream.first = stream.first == AV_NOPTS_VALUE ? shown : std::min(stream.first, shown);
        ++stream.seen;
    }
    m_latest = m_latest == AV_NOPTS_VALUE ? shown : std::max(m_latest, shown);
    const bool allSeen = std::all_of(m_streams.begin(), m_streams.end(), [](const Stream &s) {
        return !s.followed || s.seen >= kFirstPackets;
    });
    const int64_t value = Value();
    m_settled = allSeen || m_latest - value > kWait;
}

int64_t Origin::Value() const
{
    int64_t value = AV_NOPTS_VALUE;
    for (const Stream &stream : m_streams) {
        if (stream.first != AV_NOPTS_VALUE)
            value = value == AV_NOPTS_VALUE ? stream.first : std::min(value, stream.first);
    }
    return value == AV_NOPTS_VALUE ? m_guess : value;
}

} // namespace morlenc
