#include "morlenc/FilterChain.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/cpu.h>
#include <libavutil/mem.h>
}

#include <optional>

namespace morlenc {
namespace {

// Names one end of the text graph after the filter it attaches to.
InOutPtr Endpoint(const char *name, AVFilterContext *filter)
{
    InOutPtr endpoint(avfilter_inout_alloc());
    if (!endpoint)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    endpoint->name = av_strdup(name);
    endpoint->filter_ctx = filter;
    endpoint->pad_idx = 0;
    endpoint->next = nullptr;
    return endpoint;
}

// The scaler picks its code when a graph is configured. Its AVX2
// horizontal filter in this FFmpeg version loads pixels with gather
// instructions, which are slow on most processors in use (AMD's, and
// Intel's since the microcode fix for the gather data leak): here it costs
// a third more than the SSSE3 filter it replaces, for the same result to
// the bit. Later FFmpeg versions skip it on such processors themselves.
// Only the graph being configured is meant: the encoders chose their code
// when they were opened, and a decoder thread that sets up its own while
// the mask holds is slower for it, never wrong, as every variant of the
// libraries' code gives the same result.
class ScalerWithoutGathers {
public:
    ScalerWithoutGathers()
        : m_flags(av_get_cpu_flags())
    {
        av_force_cpu_flags(m_flags & ~AV_CPU_FLAG_AVX2);
    }
    ~ScalerWithoutGathers() { av_force_cpu_flags(m_flags); }
    ScalerWithoutGathers(const ScalerWithoutGathers &) = delete;
    ScalerWithoutGathers &operator=(const ScalerWithoutGathers &) = delete;

private:
    int m_flags;
};

} // namespace

FilterChain::FilterChain(Kind kind, const std::string &sourceArgs, const std::string &description,
                         int frameSize)
    : m_graph(avfilter_graph_alloc())
{
    if (!m_graph)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    // One thread: of the filters used only the deinterlacer works in
    // slices, and handing each field's slices to another thread costs more
    // than it saves on two cores; with a job per core there is no idle core
    // to hand them to anyway.
    m_graph->nb_threads = 1;
    const bool video = kind == Kind::Video;
    const std::string what = std::string(video ? "video" : "audio") + " filters \"" + description + "\"";
    Check(avfilter_graph_create_filter(&m_source, avfilter_get_by_name(video ? "buffer" : "abuffer"),
                                       "in", sourceArgs.c_str(), nullptr, m_graph.get()),
          ENC_FAIL_INTERNAL, what + " source " + sourceArgs);
    Check(avfilter_graph_create_filter(&m_sink,
                                       avfilter_get_by_name(video ? "buffersink" : "abuffersink"),
                                       "out", nullptr, nullptr, m_graph.get()),
          ENC_FAIL_INTERNAL, what);

    // The text's open input is fed by our source, its open output feeds our
    // sink. Parsing may replace both lists, so they are handed over and
    // taken back.
    AVFilterInOut *outputs = Endpoint("in", m_source).release();
    AVFilterInOut *inputs = Endpoint("out", m_sink).release();
    const int parsed = avfilter_graph_parse_ptr(m_graph.get(), description.c_str(), &inputs,
                                                &outputs, nullptr);
    InOutPtr ownInputs(inputs);
    InOutPtr ownOutputs(outputs);
    Check(parsed, ENC_FAIL_INTERNAL, what);
    {
        std::optional<ScalerWithoutGathers> scaler;
        if (video)
            scaler.emplace();
        Check(avfilter_graph_config(m_graph.get(), nullptr), ENC_FAIL_INTERNAL, what);
    }
    if (frameSize > 0)
        av_buffersink_set_frame_size(m_sink, static_cast<unsigned>(frameSize));
}

bool FilterChain::Push(AVFrame *frame)
{
    const int result = av_buffersrc_add_frame_flags(m_source, frame, 0);
    if (result == AVERROR_EOF)
        return false;
    Check(result, ENC_FAIL_INTERNAL, "filtering");
    return true;
}

void FilterChain::Close(int64_t pts)
{
    Check(av_buffersrc_close(m_source, pts, AV_BUFFERSRC_FLAG_PUSH), ENC_FAIL_INTERNAL,
          "ending the filters");
}

FilterChain::Pulled FilterChain::Pull(AVFrame *frame)
{
    const int result = av_buffersink_get_frame(m_sink, frame);
    if (result == AVERROR(EAGAIN))
        return Pulled::Later;
    if (result == AVERROR_EOF)
        return Pulled::Ended;
    Check(result, ENC_FAIL_INTERNAL, "filtering");
    return Pulled::Frame;
}

AVRational FilterChain::OutputTimeBase() const
{
    return av_buffersink_get_time_base(m_sink);
}

} // namespace morlenc
