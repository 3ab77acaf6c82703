#include "morlenc/Output.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

namespace morlenc {
namespace {

CodecContext NewEncoder(AVCodecID id)
{
    const AVCodec *codec = avcodec_find_encoder(id);
    if (!codec)
        throw Failure{ENC_FAIL_ENCODE, std::string("no ") + avcodec_get_name(id) + " encoder"};
    CodecContext context(avcodec_alloc_context3(codec));
    if (!context)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    return context;
}

} // namespace

Output::Output(const Job &job, bool withAudio)
    : m_final(job.output)
    , m_packet(NewPacket())
{
    AVFormatContext *raw = nullptr;
    Check(avformat_alloc_output_context2(&raw, nullptr, "mp4", nullptr), ENC_FAIL_INTERNAL, "mp4 muxer");
    m_format.reset(raw);

    OpenVideo(job);
    if (withAudio)
        OpenAudio(job);

    m_partial.emplace(m_final);
    const std::string &partial = m_partial->Path();
    // The muxer reopens its file by name to move the index to the front.
    av_freep(&m_format->url);
    m_format->url = av_strdup(partial.c_str());
    if (!m_format->url)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    Check(avio_open(&m_format->pb, partial.c_str(), AVIO_FLAG_WRITE), ENC_FAIL_OPEN_OUTPUT,
          "cannot create " + Quoted(partial));
    // The index goes to the front so the player can start at once.
    Check(av_opt_set(m_format->priv_data, "movflags", "+faststart", 0), ENC_FAIL_INTERNAL,
          "movflags");
    Check(avformat_write_header(m_format.get(), nullptr), ENC_FAIL_WRITE, "writing " + Quoted(partial));
    m_worker = std::make_unique<EncodeWorker>(
        [this](int track, AVFrame *frame) { Encode(track == kVideo ? m_video : m_audio, frame); });
}

Output::~Output()
{
    m_worker.reset();
    // Closed before the partial file, if unfinished, is removed.
    m_format.reset();
}

AVRational Output::VideoTimeBase()
{
    return AVRational{1001, 30000};
}

AVRational Output::AudioTimeBase()
{
    return AVRational{1, 44100};
}

int Output::AudioFrameSize() const
{
    return m_audio.encoder ? m_audio.encoder->frame_size : 0;
}

void Output::OpenVideo(const Job &job)
{
    m_video.encoder = NewEncoder(AV_CODEC_ID_MPEG4);
    AVCodecContext *c = m_video.encoder.get();
    c->width = job.width;
    c->height = job.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->sample_aspect_ratio = AVRational{1, 1};
    c->time_base = VideoTimeBase();
    c->framerate = av_inv_q(VideoTimeBase());
    c->bit_rate = static_cast<int64_t>(job.videoKbps) * 1000;
    // A rate buffer of one second at the chosen rate holds the file to the
    // quality's bitrate from the first picture on (without it a short clip
    // at the lowest quality came out a third above its rate) and bounds the
    // peaks the player's decoder must take.
    c->rc_max_rate = c->bit_rate;
    c->rc_buffer_size = static_cast<int>(std::min<int64_t>(c->bit_rate, INT_MAX));
    // The player decodes Simple Profile only: no B-frames.
    c->profile = FF_PROFILE_MPEG4_SIMPLE;
    c->max_b_frames = 0;
    c->mb_decision = FF_MB_DECISION_RD;
    c->codec_tag = MKTAG('m', 'p', '4', 'v');
    c->thread_count = CodecThreads();
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(c, c->codec, nullptr), ENC_FAIL_ENCODE, "cannot open the mpeg4 encoder");
    AddStream(m_video);
    m_video.stream->avg_frame_rate = c->framerate;
}

void Output::OpenAudio(const Job &job)
{
    m_audio.encoder = NewEncoder(AV_CODEC_ID_AAC);
    AVCodecContext *c = m_audio.encoder.get();
    c->sample_fmt = AV_SAMPLE_FMT_FLTP;
    c->sample_rate = 44100;
    av_channel_layout_default(&c->ch_layout, 2);
    c->time_base = AudioTimeBase();
    c->bit_rate = static_cast<int64_t>(job.audioKbps) * 1000;
    c->profile = FF_PROFILE_AAC_LOW;
    c->thread_count = CodecThreads();
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(c, c->codec, nullptr), ENC_FAIL_ENCODE, "cannot open the aac encoder");
    AddStream(m_audio);
}

void Output::AddStream(Track &track)
{
    track.stream = avformat_new_stream(m_format.get(), nullptr);
    if (!track.stream)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    Check(avcodec_parameters_from_context(track.stream->codecpar, track.encoder.get()),
          ENC_FAIL_INTERNAL, "stream parameters");
    track.stream->time_base = track.encoder->time_base;
}

void Output::Watch()
{
    // About once a second: often enough to stop within moments of the
    // folder's going, seldom enough to cost nothing.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_watched < std::chrono::seconds(1))
        return;
    m_watched = now;
    m_partial->CheckInPlace();
}

void Output::Writing(const std::function<void()> &work)
{
    try {
        work();
    } catch (const Failure &failure) {
        // A write that failed because the folder went says so.
        if (failure.reason == ENC_FAIL_WRITE)
            m_partial->CheckInPlace();
        throw;
    }
}

void Output::Submit(int track, AVFrame *frame)
{
    Watch();
    Writing([&] { m_worker->Submit(track, frame); });
}

void Output::EncodeVideo(AVFrame *frame)
{
    if (frame) {
        // Decoders mark their frames' types; the encoder would take them as
        // forced key frames.
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        ++m_videoFrames;
    }
    Submit(kVideo, frame);
}

void Output::EncodeAudio(AVFrame *frame)
{
    if (m_audio.encoder)
        Submit(kAudio, frame);
}

void Output::Encode(Track &track, AVFrame *frame)
{
    AVCodecContext *encoder = track.encoder.get();
    const int sent = avcodec_send_frame(encoder, frame);
    if (sent == AVERROR_EOF)
        return;
    Check(sent, ENC_FAIL_ENCODE, std::string("encoding ") + encoder->codec->name);
    for (;;) {
        const int received = avcodec_receive_packet(encoder, m_packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        Check(received, ENC_FAIL_ENCODE, std::string("encoding ") + encoder->codec->name);
        av_packet_rescale_ts(m_packet.get(), encoder->time_base, track.stream->time_base);
        m_packet->stream_index = track.stream->index;
        Check(av_interleaved_write_frame(m_format.get(), m_packet.get()), ENC_FAIL_WRITE,
              "writing " + Quoted(m_partial->Path()));
    }
}

void Output::Finish()
{
    Submit(kVideo, nullptr);
    if (m_audio.encoder)
        Submit(kAudio, nullptr);
    Writing([this] {
        m_worker->Finish();
        const std::string writing = "writing " + Quoted(m_partial->Path());
        Check(av_write_trailer(m_format.get()), ENC_FAIL_WRITE, writing);
        Check(m_format->pb->error, ENC_FAIL_WRITE, writing);
        // Closing flushes the last buffer; its failure is a failed write too.
        Check(avio_closep(&m_format->pb), ENC_FAIL_WRITE, writing);
    });
    // Only into the folder the file was made in.
    m_partial->CheckInPlace();
    if (std::rename(m_partial->Path().c_str(), m_final.c_str()) != 0)
        throw SystemFailure(ENC_FAIL_WRITE, "cannot rename " + Quoted(m_partial->Path()) + " to " + Quoted(m_final),
                            errno);
    m_partial->Keep();
}

} // namespace morlenc
