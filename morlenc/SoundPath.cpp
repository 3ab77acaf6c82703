#include "morlenc/SoundPath.h"

#include "morlenc/Failure.h"
#include "morlenc/Filters.h"
#include "morlenc/Output.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <vector>

namespace morlenc {
namespace {

constexpr int kRate = 44100;

// Gaps longer than this are filled here, in pieces; shorter ones by the
// format graph, which makes a gap's silence in one piece at the source's
// rate and channel count.
constexpr int64_t kLongGap = kRate;
constexpr int kSilencePiece = 4096;
std::string LayoutText(const AVChannelLayout &layout)
{
    std::vector<char> text(64);
    for (;;) {
        const int needed = av_channel_layout_describe(&layout, text.data(), text.size());
        if (needed < 0)
            throw Failure{ENC_FAIL_INTERNAL, "channel layout: " + ErrorText(needed)};
        if (static_cast<std::size_t>(needed) <= text.size())
            return text.data();
        text.resize(static_cast<std::size_t>(needed));
    }
}

// Some decoders leave the speaker positions open; the filters need them.
void SettleLayout(AVFrame *frame)
{
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        const int channels = frame->ch_layout.nb_channels;
        av_channel_layout_uninit(&frame->ch_layout);
        av_channel_layout_default(&frame->ch_layout, channels);
    }
}

// A frame in the encoder's format: 44100 Hz stereo float planes.
FramePtr EncoderFrame(int samples)
{
    FramePtr frame = NewFrame();
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = kRate;
    frame->nb_samples = samples;
    av_channel_layout_default(&frame->ch_layout, 2);
    Check(av_frame_get_buffer(frame.get(), 0), ENC_FAIL_INTERNAL, "sound buffer");
    return frame;
}

} // namespace

SoundPath::SoundPath(const Job &job, AVRational timeBase, int frameSize, Deliver deliver)
    : m_job(job)
    , m_timeBase(timeBase)
    , m_deliver(std::move(deliver))
    , m_ending(FilterChain::Kind::Audio, AudioEndSourceArgs(), AudioEndFilterText(job), frameSize)
    , m_passing(NewFrame())
    , m_ready(NewFrame())
{
}

int64_t SoundPath::SamplesAt(int64_t pts) const
{
    return av_rescale_q(pts, m_timeBase, AVRational{1, kRate});
}

bool SoundPath::Push(AVFrame *frame)
{
    const int64_t start = SamplesAt(frame->pts);
    const int64_t end = start + av_rescale(frame->nb_samples, kRate, std::max(1, frame->sample_rate));
    const int64_t jump = start - (m_format ? m_pushedEnd : m_samplesOut);
    if (jump > kLongGap) {
        EndFormatChain();
        FillSilenceTo(start);
    } else if (m_format && !SameFormat(frame)) {
        // A graph cannot change its sound format on the way: what it holds
        // goes on, and the next graph continues where that ends. Smaller
        // steps stay with the graph, whose resampler plays through jitter
        // and fills or trims only what is out by more than a tenth of a
        // second.
        EndFormatChain();
    }
    if (m_ended)
        return false;
    // Sound wholly before what went on already (a join that steps back) is
    // dropped; a frame that overlaps in part is trimmed by the format graph.
    if (end <= m_samplesOut)
        return true;
    if (!m_format)
        MakeFormatChain(frame);
    if (!m_format->Push(frame)) {
        m_ended = true;
        return false;
    }
    m_pushedEnd = std::max(m_pushedEnd, end);
    PassOn();
    return !m_ended;
}

void SoundPath::Close()
{
    EndFormatChain();
    if (!m_ended)
        m_ending.Close(m_samplesOut);
    DeliverReady();
}

void SoundPath::EndFormatChain()
{
    if (!m_format)
        return;
    m_format->Close(av_rescale_q(m_pushedEnd, AVRational{1, kRate}, m_timeBase));
    PassOn();
    m_format.reset();
}

// Silence from where the sound so far ends, straight in the encoder's format.
void SoundPath::FillSilenceTo(int64_t sample)
{
    while (!m_ended && m_samplesOut < sample) {
        const int samples = static_cast<int>(std::min<int64_t>(kSilencePiece, sample - m_samplesOut));
        FramePtr silence = EncoderFrame(samples);
        av_samples_set_silence(silence->extended_data, 0, samples, 2, AV_SAMPLE_FMT_FLTP);
        silence->pts = m_samplesOut;
        HandOn(silence.get());
    }
}

// From the format graph into the graph that stays.
void SoundPath::PassOn()
{
    const AVRational samples{1, kRate};
    while (!m_ended && m_format->Pull(m_passing.get()) == FilterChain::Pulled::Frame) {
        m_passing->pts = av_rescale_q(m_passing->pts, m_format->OutputTimeBase(), samples);
        HandOn(m_passing.get());
        av_frame_unref(m_passing.get());
    }
}

// Into the graph that stays, strictly after what it has: the encoder and
// the file take no time that goes back.
void SoundPath::HandOn(AVFrame *frame)
{
    const int64_t overlap = m_samplesOut - frame->pts;
    if (overlap >= frame->nb_samples)
        return;
    if (overlap > 0) {
        const int kept = frame->nb_samples - static_cast<int>(overlap);
        FramePtr rest = EncoderFrame(kept);
        av_samples_copy(rest->extended_data, frame->extended_data, 0, static_cast<int>(overlap), kept, 2,
                        AV_SAMPLE_FMT_FLTP);
        rest->pts = m_samplesOut;
        HandOn(rest.get());
        return;
    }
    m_samplesOut = frame->pts + frame->nb_samples;
    if (!m_ending.Push(frame))
        m_ended = true;
    DeliverReady();
}

void SoundPath::DeliverReady()
{
    for (;;) {
        const FilterChain::Pulled pulled = m_ending.Pull(m_ready.get());
        if (pulled == FilterChain::Pulled::Later)
            return;
        if (pulled == FilterChain::Pulled::Ended) {
            m_ended = true;
            return;
        }
        m_ready->pts = av_rescale_q(m_ready->pts, m_ending.OutputTimeBase(), AVRational{1, kRate});
        m_deliver(m_ready.get());
        av_frame_unref(m_ready.get());
    }
}

void SoundPath::MakeFormatChain(AVFrame *frame)
{
    SettleLayout(frame);
    m_sampleFormat = frame->format;
    m_sampleRate = frame->sample_rate;
    m_layout = LayoutText(frame->ch_layout);
    const char *format = av_get_sample_fmt_name(static_cast<AVSampleFormat>(frame->format));
    const std::string args = "time_base=" + std::to_string(m_timeBase.num) + "/"
        + std::to_string(m_timeBase.den) + ":sample_rate=" + std::to_string(frame->sample_rate)
        + ":sample_fmt=" + (format ? format : "") + ":channel_layout=" + m_layout;
    // Given at 44100 Hz the start would be off by the ratio of the rates:
    // the graph filled the difference with silence at the source's rate and
    // channel count (tens of megabytes after a long gap in 7.1 sound), or
    // dropped as much of the sound below 44100 Hz. Rounded down, the start
    // overlaps by less than a sample, which HandOn trims.
    const int64_t first = av_rescale_rnd(m_samplesOut, frame->sample_rate, kRate, AV_ROUND_DOWN);
    m_format = std::make_unique<FilterChain>(FilterChain::Kind::Audio, args, AudioFormatFilterText(m_job, first));
    m_pushedEnd = m_samplesOut;
}

bool SoundPath::SameFormat(AVFrame *frame) const
{
    SettleLayout(frame);
    return frame->format == m_sampleFormat && frame->sample_rate == m_sampleRate
        && LayoutText(frame->ch_layout) == m_layout;
}

} // namespace morlenc
