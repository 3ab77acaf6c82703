#pragma once

#include "morlenc/Av.h"

#include <string>

namespace morlenc {

// One libavfilter graph from a buffer source to a buffer sink.
class FilterChain {
public:
    enum class Kind { Video, Audio };
    enum class Pulled { Frame, Later, Ended };

    // sourceArgs describe the frames that will be pushed; description is
    // the graph text between source and sink; frameSize > 0 makes the sink
    // hand out audio frames of exactly that many samples (the last may be
    // shorter). Throws Failure(ENC_FAIL_INTERNAL).
    FilterChain(Kind kind, const std::string &sourceArgs, const std::string &description,
                int frameSize = 0);

    // Takes the frame's data. Returns false once the chain takes no more
    // (it has been cut at the end position).
    bool Push(AVFrame *frame);

    // No more frames; pts (source time base) is where the last one ends.
    void Close(int64_t pts);

    Pulled Pull(AVFrame *frame);

    AVRational OutputTimeBase() const;

private:
    GraphPtr m_graph;
    AVFilterContext *m_source = nullptr; // owned by m_graph
    AVFilterContext *m_sink = nullptr;   // owned by m_graph
};

} // namespace morlenc
