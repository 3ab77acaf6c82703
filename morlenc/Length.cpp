#include "morlenc/Length.h"

#include "morlenc/Timeline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <vector>

namespace morlenc {
namespace {

// Where the recording's parts could be: MPEG program and transport streams
// are the containers that carry joined recordings.
bool MayHaveJoins(const AVFormatContext *format)
{
    return (format->iformat->flags & AVFMT_TS_DISCONT) && !(format->iformat->flags & AVFMT_NO_BYTE_SEEK)
        && format->pb && (format->pb->seekable & AVIO_SEEKABLE_NORMAL);
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
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        return static_cast<double>(format->duration) / AV_TIME_BASE;
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
    constexpr int kPlaces = 32;
    const int64_t size = avio_size(source.format->pb);
    if (size <= 0)
        return false;
    std::vector<int64_t> times;
    for (int place = 0; place < kPlaces; ++place) {
        if (const auto time = TimeAtByte(source, size * place / kPlaces))
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
        return step < -AV_TIME_BASE || step > 4 * pace + 10LL * AV_TIME_BASE;
    });
}

// Every packet's timestamps, put on one line as the conversion does.
double JoinedSeconds(Source &source)
{
    AVFormatContext *format = source.format.get();
    if (avformat_seek_file(format, -1, INT64_MIN, 0, INT64_MAX, AVSEEK_FLAG_BYTE) < 0)
        return 0;
    Timeline timeline(format, source.originUs);
    PacketPtr packet = NewPacket();
    while (av_read_frame(format, packet.get()) >= 0) {
        if (Followed(source, packet->stream_index))
            timeline.Place(packet.get());
        av_packet_unref(packet.get());
    }
    return static_cast<double>(timeline.End()) / AV_TIME_BASE;
}

// Goes to the last stretch of the file: the last key frame where the
// container keeps an index, the last few megabytes of an MPEG stream.
bool SeekToTail(Source &source)
{
    AVFormatContext *format = source.format.get();
    if (MayHaveJoins(format)) {
        const int64_t size = avio_size(format->pb);
        return size > 0
            && avformat_seek_file(format, -1, INT64_MIN, std::max<int64_t>(0, size - (1 << 20)), INT64_MAX,
                                  AVSEEK_FLAG_BYTE) >= 0;
    }
    AVStream *video = format->streams[source.video];
    const int entries = avformat_index_get_entries_count(video);
    if (entries <= 0)
        return false;
    const AVIndexEntry *last = avformat_index_get_entry(video, entries - 1);
    return last && av_seek_frame(format, source.video, last->timestamp, AVSEEK_FLAG_BACKWARD) >= 0;
}

// Where the streams' own timestamps end, from the output's start.
std::optional<double> StreamsSeconds(Source &source)
{
    if (!SeekToTail(source))
        return std::nullopt;
    AVFormatContext *format = source.format.get();
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
    if (end == AV_NOPTS_VALUE || end <= source.originUs)
        return std::nullopt;
    return static_cast<double>(end - source.originUs) / AV_TIME_BASE;
}

// Off by more than two seconds and a tenth: not rounding, not a last frame.
bool Plainly(double streams, double container)
{
    const double off = std::abs(streams - container);
    return off > 2 && off > 0.1 * streams;
}

double Seconds(Source &source)
{
    const double container = ContainerSeconds(source);
    if (MayHaveJoins(source.format.get()) && HasJoins(source)) {
        const double joined = JoinedSeconds(source);
        return joined > 0 ? joined : container;
    }
    const std::optional<double> streams = StreamsSeconds(source);
    if (streams && (container <= 0 || Plainly(*streams, container)))
        return *streams;
    return container;
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
