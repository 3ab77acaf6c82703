#include "morlenc/Length.h"

#include "morlenc/Origin.h"
#include "morlenc/Timeline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

namespace morlenc {
namespace {

// What the probe may read of a file of `size` bytes, for what: a share of
// the file within bounds. Enough for an index, the last group of pictures
// or the last stretch of an MPEG stream; little of a long recording.
int64_t Share(int64_t size, int64_t per, int64_t least, int64_t most)
{
    return std::clamp(size / per, least, most);
}
constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = 1024 * kKiB;

bool Seekable(const AVFormatContext *format)
{
    return format->pb && (format->pb->seekable & AVIO_SEEKABLE_NORMAL);
}

// Containers that can hold joins, read where a byte position can be taken:
// their demuxers find the next packet from any byte.
bool MayHaveJoins(const AVFormatContext *format)
{
    return Timeline::MayJoin(format) && !(format->iformat->flags & AVFMT_NO_BYTE_SEEK) && Seekable(format);
}

bool Followed(const Source &source, int index)
{
    return index == source.video || index == source.audio;
}

int64_t TimeOf(const AVFormatContext *format, const AVPacket &packet)
{
    const int64_t stamp = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
    if (stamp == AV_NOPTS_VALUE)
        return AV_NOPTS_VALUE;
    return av_rescale_q(stamp, format->streams[packet.stream_index]->time_base, AV_TIME_BASE_Q);
}

// What the container says: its duration, else the picture's.
double ContainerSeconds(const Source &source)
{
    const AVFormatContext *format = source.format.get();
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
        // Counted from the container's start, which a track not converted
        // may have set earlier than the origin.
        const int64_t start = format->start_time == AV_NOPTS_VALUE ? source.originUs : format->start_time;
        return static_cast<double>(start + format->duration - source.originUs) / AV_TIME_BASE;
    }
    const AVStream *stream = format->streams[source.video];
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        return static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    return 0;
}

// The picture's time at byte position `at`: the first timed packet there.
std::optional<int64_t> TimeAtByte(Source &source, int64_t at)
{
    AVFormatContext *format = source.format.get();
    if (avformat_seek_file(format, -1, INT64_MIN, at, INT64_MAX, AVSEEK_FLAG_BYTE) < 0)
        return std::nullopt;
    PacketPtr packet = NewPacket();
    for (int read = 0; read < 2000 && av_read_frame(format, packet.get()) >= 0; ++read) {
        const int64_t time = packet->stream_index == source.video ? TimeOf(format, *packet) : AV_NOPTS_VALUE;
        av_packet_unref(packet.get());
        if (time != AV_NOPTS_VALUE)
            return time;
    }
    return std::nullopt;
}

// Timestamps taken at evenly spread places of the file go back, or jump
// far ahead of the pace the others keep: the recording has joins.
bool HasJoins(Source &source)
{
    const int64_t size = avio_size(source.format->pb);
    if (size <= 0)
        return false;
    // Each place costs a read of some 32 KiB.
    const int64_t places = Share(size, 3 * kMiB, 8, 32);
    std::vector<int64_t> times;
    for (int64_t place = 0; place < places; ++place) {
        if (const auto time = TimeAtByte(source, size * place / places))
            times.push_back(*time);
    }
    std::vector<int64_t> steps;
    for (std::size_t i = 1; i < times.size(); ++i)
        steps.push_back(times[i] - times[i - 1]);
    if (steps.empty())
        return false;
    std::vector<int64_t> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const int64_t pace = std::max<int64_t>(0, sorted[sorted.size() / 2]);
    return std::any_of(steps.begin(), steps.end(), [pace](int64_t step) {
        return step < -Timeline::kStepBack || step > 4 * pace + Timeline::kFarAhead;
    });
}

// Every packet's timestamps, from the start, put on one line as the
// conversion does.
double PlacedSeconds(Source &source)
{
    AVFormatContext *format = source.format.get();
    const bool rewound = Timeline::MayJoin(format)
        ? avformat_seek_file(format, -1, INT64_MIN, 0, INT64_MAX, AVSEEK_FLAG_BYTE) >= 0
        : avformat_seek_file(format, -1, INT64_MIN, source.originUs, source.originUs, 0) >= 0;
    if (!rewound)
        return 0;
    Timeline timeline(format, source.Followed(), source.originUs);
    PacketPtr packet = NewPacket();
    while (av_read_frame(format, packet.get()) >= 0) {
        timeline.Take(packet.get());
        av_packet_unref(packet.get());
        while (timeline.Give(packet.get()))
            av_packet_unref(packet.get());
    }
    timeline.Finish();
    while (timeline.Give(packet.get()))
        av_packet_unref(packet.get());
    return static_cast<double>(timeline.End()) / AV_TIME_BASE;
}

// Goes near the end by the container's own index (read lazily by some,
// Matroska among them), where it has one and it costs little; else to the
// last stretch of the file's bytes, where the demuxer finds its way.
bool SeekToTail(Source &source)
{
    AVFormatContext *format = source.format.get();
    if (!Seekable(format))
        return false;
    const int64_t size = avio_size(format->pb);
    const bool byBytes = size > 0 && !(format->iformat->flags & AVFMT_NO_BYTE_SEEK);
    if (!Timeline::MayJoin(format) && format->duration > 0) {
        // Without an index, a demuxer seeks by reading on: cut short, and
        // then it has not got there.
        const int64_t end = (format->start_time == AV_NOPTS_VALUE ? 0 : format->start_time) + format->duration;
        source.limit->bytes = format->pb->bytes_read + Share(size, 100, 256 * kKiB, 4 * kMiB);
        if (avformat_seek_file(format, -1, INT64_MIN, end, end, 0) >= 0
            && format->pb->bytes_read <= source.limit->bytes)
            return true;
    }
    source.limit->bytes = -1;
    return byBytes
        && avformat_seek_file(format, -1, INT64_MIN, size - Share(size, 100, 64 * kKiB, kMiB), INT64_MAX,
                              AVSEEK_FLAG_BYTE) >= 0;
}

// Where the streams' own timestamps end, from the output's start, read
// from the tail without going through the file.
std::optional<double> StreamsSeconds(Source &source)
{
    AVFormatContext *format = source.format.get();
    if (!format->pb)
        return std::nullopt;
    if (!SeekToTail(source))
        return std::nullopt;
    // The reading after the seek is bounded as well: a file without an
    // index whose seek went back to its start would be read through.
    source.limit->bytes = format->pb->bytes_read + Share(avio_size(format->pb), 50, kMiB, 16 * kMiB);
    PacketPtr packet = NewPacket();
    int64_t end = AV_NOPTS_VALUE;
    while (av_read_frame(format, packet.get()) >= 0) {
        if (Followed(source, packet->stream_index) && packet->pts != AV_NOPTS_VALUE) {
            const AVRational base = format->streams[packet->stream_index]->time_base;
            const int64_t last = av_rescale_q(packet->pts + std::max<int64_t>(0, packet->duration), base, AV_TIME_BASE_Q);
            end = end == AV_NOPTS_VALUE ? last : std::max(end, last);
        }
        av_packet_unref(packet.get());
    }
    const bool cut = format->pb->bytes_read > source.limit->bytes;
    source.limit->bytes = -1;
    if (cut || end == AV_NOPTS_VALUE || end <= source.originUs)
        return std::nullopt;
    return static_cast<double>(end - source.originUs) / AV_TIME_BASE;
}

// Off by more than two seconds and a tenth: not rounding, not a last frame.
bool Plainly(double streams, double container)
{
    const double off = std::abs(streams - container);
    return off > 2 && off > 0.1 * streams;
}

// Where the output starts, from the first packets (see Origin); the
// reading is bounded, for a stream that never comes.
void SettleOrigin(Source &source)
{
    AVFormatContext *format = source.format.get();
    Origin origin(format, source.Followed(), source.originUs);
    if (format->pb)
        source.limit->bytes = format->pb->bytes_read + 32 * kMiB;
    PacketPtr packet = NewPacket();
    while (!origin.Settled() && av_read_frame(format, packet.get()) >= 0) {
        if (Followed(source, packet->stream_index))
            origin.See(*packet);
        av_packet_unref(packet.get());
    }
    source.limit->bytes = -1;
    source.originUs = origin.Value();
}

double Seconds(Source &source)
{
    SettleOrigin(source);
    const double container = ContainerSeconds(source);
    if (MayHaveJoins(source.format.get()) && HasJoins(source)) {
        const double joined = PlacedSeconds(source);
        return joined > 0 ? joined : container;
    }
    const std::optional<double> streams = StreamsSeconds(source);
    if (streams && (container <= 0 || Plainly(*streams, container)))
        return *streams;
    // Neither the container nor its tail says (a recording written to a
    // pipe has no index and no length in its header): only reading it
    // through does.
    return container > 0 ? container : PlacedSeconds(source);
}

} // namespace

int DurationSeconds(Source &source)
{
    const double seconds = Seconds(source);
    if (seconds <= 0)
        return 0;
    return static_cast<int>(std::clamp(std::llround(seconds), 1LL, static_cast<long long>(INT_MAX)));
}

} // namespace morlenc
