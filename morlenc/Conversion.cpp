#include "morlenc/Conversion.h"

#include "morlenc/Decoder.h"
#include "morlenc/Failure.h"
#include "morlenc/Output.h"
#include "morlenc/PicturePath.h"
#include "morlenc/SoundPath.h"
#include "morlenc/Source.h"
#include "morlenc/Timeline.h"
#include "platform/EncoderContract.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <thread>

namespace morlenc {
namespace {

// One stream on its way from decoder through filters to the encoder.
struct Lane {
    Lane(const Source &source, int index)
        : stream(source.format->streams[index])
        , decoder(stream, ENC_FAIL_DECODER)
    {
    }

    AVStream *stream;
    Decoder decoder;
    std::unique_ptr<PicturePath> picture; // one of the two
    std::unique_ptr<SoundPath> sound;
    int64_t nextPts = AV_NOPTS_VALUE;   // where a frame without time would go
    int64_t endPts = 0;                 // end of the latest frame, from zero
    bool ended = false;                 // the filters take nothing more
};

class Conversion {
public:
    Conversion(const Job &job, Channel &channel)
        : m_job(job)
        , m_channel(channel)
        , m_source(OpenSource(job.source))
        , m_video(m_source, m_source.video)
        , m_frame(NewFrame())
    {
        if (m_source.audio >= 0) {
            // Sound that cannot be decoded leaves a picture worth keeping.
            try {
                m_audio.emplace(m_source, m_source.audio);
            } catch (const Failure &) {
                m_source.format->streams[m_source.audio]->discard = AVDISCARD_ALL;
                m_source.audio = -1;
            }
        }
        m_timeline.emplace(m_source.format.get(), m_source.Followed(), m_source.originUs);
        m_output = std::make_unique<Output>(job, m_audio.has_value());
        m_video.picture = std::make_unique<PicturePath>(
            job, m_source, [this](AVFrame *frame) { m_output->EncodeVideo(frame); });
        if (m_audio)
            m_audio->sound = std::make_unique<SoundPath>(
                job, m_audio->stream->time_base, m_output->AudioFrameSize(),
                [this](AVFrame *frame) { m_output->EncodeAudio(frame); });
    }

    void Run()
    {
        PacketPtr packet = NewPacket();
        AVFormatContext *format = m_source.format.get();
        bool reading = true;
        while (!AllEnded()) {
            if (StopSignalled())
                throw Stopped{};
            if (m_timeline->Give(packet.get())) {
                Use(*packet);
                av_packet_unref(packet.get());
                continue;
            }
            if (!reading)
                break;
            const int read = av_read_frame(format, packet.get());
            if (read == AVERROR(EAGAIN)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            // End of file, or damage nothing more can be read past: a
            // truncated file converts what it has.
            if (read < 0) {
                reading = false;
                m_timeline->Finish();
                continue;
            }
            m_timeline->Take(packet.get());
            av_packet_unref(packet.get());
        }
        Drain(m_video);
        if (m_audio)
            Drain(*m_audio);
        if (m_output->VideoFramesEncoded() == 0)
            throw Failure{ENC_FAIL_DECODER, "no picture of " + Quoted(m_job.source) + " could be decoded"};
        m_output->Finish();
    }

private:
    // A packet placed on the output's line.
    void Use(AVPacket &packet)
    {
        Lane *lane = LaneOf(packet.stream_index);
        if (!lane || lane->ended)
            return;
        if (PastEnd(*lane, packet)) {
            lane->ended = true;
            return;
        }
        lane->decoder.Send(&packet);
        Decode(*lane);
    }

    Lane *LaneOf(int index)
    {
        if (index == m_source.video)
            return &m_video;
        if (m_audio && index == m_source.audio)
            return &*m_audio;
        return nullptr;
    }

    bool AllEnded() const
    {
        return m_video.ended && (!m_audio || m_audio->ended);
    }

    // Reading stops a second past the end position; the filters cut exactly.
    bool PastEnd(const Lane &lane, const AVPacket &packet) const
    {
        const int64_t time = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
        if (time == AV_NOPTS_VALUE)
            return false;
        const double seconds = static_cast<double>(time) * av_q2d(lane.stream->time_base);
        return seconds > static_cast<double>(m_job.endSeconds) + 1;
    }

    void Decode(Lane &lane)
    {
        while (lane.decoder.Receive(m_frame.get())) {
            Stamp(lane, m_frame.get());
            if (&lane == &m_video)
                ReportPosition(m_frame->pts);
            Filter(lane, m_frame.get());
            av_frame_unref(m_frame.get());
        }
    }

    void Drain(Lane &lane)
    {
        if (!lane.ended) {
            lane.decoder.Send(nullptr);
            Decode(lane);
        }
        if (lane.ended)
            return;
        if (lane.sound)
            lane.sound->Close();
        else
            lane.picture->Close(lane.endPts);
    }

    // Frames without a time follow the previous frame.
    void Stamp(Lane &lane, AVFrame *frame)
    {
        int64_t duration = frame->pkt_duration;
        if (duration <= 0)
            duration = GuessDuration(lane, *frame);
        int64_t pts = frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE)
            pts = lane.nextPts != AV_NOPTS_VALUE ? lane.nextPts : 0;
        lane.nextPts = pts + duration;
        frame->pts = pts;
        lane.endPts = std::max(lane.endPts, frame->pts + duration);
    }

    static int64_t GuessDuration(const Lane &lane, const AVFrame &frame)
    {
        const AVRational base = lane.stream->time_base;
        if (lane.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return frame.sample_rate > 0
                ? av_rescale_q(frame.nb_samples, AVRational{1, frame.sample_rate}, base)
                : 0;
        AVRational rate = lane.stream->avg_frame_rate;
        if (rate.num <= 0 || rate.den <= 0)
            rate = lane.stream->r_frame_rate;
        if (rate.num <= 0 || rate.den <= 0)
            rate = AVRational{25, 1};
        return std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), base));
    }

    void ReportPosition(int64_t pts)
    {
        if (pts < 0)
            return;
        const double seconds = static_cast<double>(pts) * av_q2d(m_video.stream->time_base);
        const int whole = static_cast<int>(std::min(seconds, static_cast<double>(INT_MAX)));
        if (whole > m_reported) {
            m_reported = whole;
            m_channel.Progress(whole);
        }
    }

    static void Filter(Lane &lane, AVFrame *frame)
    {
        lane.ended = lane.sound ? !lane.sound->Push(frame) : !lane.picture->Push(frame);
    }

    const Job &m_job;
    Channel &m_channel;
    Source m_source;
    Lane m_video;
    std::optional<Lane> m_audio;
    std::optional<Timeline> m_timeline;  // made once the streams are known
    std::unique_ptr<Output> m_output;
    FramePtr m_frame;
    int m_reported = 0;
};

} // namespace

void RunConversion(const Job &job, Channel &channel)
{
    Conversion(job, channel).Run();
}

} // namespace morlenc
