#include "morlenc/SoundPath.h"

#include "morlenc/Failure.h"
#include "morlenc/Filters.h"
#include "morlenc/Output.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <vector>

namespace morlenc {
namespace {

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

} // namespace

SoundPath::SoundPath(const Job &job, AVRational timeBase, int frameSize)
    : m_job(job)
    , m_timeBase(timeBase)
    , m_ending(FilterChain::Kind::Audio, AudioEndSourceArgs(), AudioEndFilterText(job), frameSize)
    , m_passing(NewFrame())
{
}

bool SoundPath::Push(AVFrame *frame)
{
    if (m_ended)
        return false;
    if (!m_format) {
        MakeFormatChain(frame);
    } else if (!SameFormat(frame)) {
        // A graph cannot change its sound format on the way: what it holds
        // goes on, and a graph for the new format continues exactly where
        // that ends.
        m_format->Close(frame->pts);
        PassOn();
        if (m_ended)
            return false;
        MakeFormatChain(frame);
    }
    if (!m_format->Push(frame)) {
        m_ended = true;
        return false;
    }
    PassOn();
    return !m_ended;
}

void SoundPath::Close(int64_t endPts)
{
    if (!m_format || m_ended)
        return;
    m_format->Close(endPts);
    PassOn();
    if (!m_ended)
        m_ending.Close(m_samplesOut);
}

FilterChain::Pulled SoundPath::Pull(AVFrame *frame)
{
    const FilterChain::Pulled pulled = m_ending.Pull(frame);
    if (pulled == FilterChain::Pulled::Ended)
        m_ended = true;
    if (pulled == FilterChain::Pulled::Frame)
        frame->pts = av_rescale_q(frame->pts, m_ending.OutputTimeBase(), Output::AudioTimeBase());
    return pulled;
}

// From the format graph into the graph that stays.
void SoundPath::PassOn()
{
    const AVRational samples = Output::AudioTimeBase();
    while (!m_ended && m_format->Pull(m_passing.get()) == FilterChain::Pulled::Frame) {
        m_passing->pts = av_rescale_q(m_passing->pts, m_format->OutputTimeBase(), samples);
        m_samplesOut = m_passing->pts + m_passing->nb_samples;
        if (!m_ending.Push(m_passing.get()))
            m_ended = true;
        av_frame_unref(m_passing.get());
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
    m_format = std::make_unique<FilterChain>(FilterChain::Kind::Audio, args,
                                             AudioFormatFilterText(m_job, m_samplesOut));
}

bool SoundPath::SameFormat(AVFrame *frame) const
{
    SettleLayout(frame);
    return frame->format == m_sampleFormat && frame->sample_rate == m_sampleRate
        && LayoutText(frame->ch_layout) == m_layout;
}

} // namespace morlenc
