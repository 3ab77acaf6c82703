#pragma once

#include "morlenc/Av.h"

namespace morlenc {

// One stream's decoder, on all cores. Damaged data is skipped, never fatal:
// a bad packet costs its frames, not the job.
class Decoder {
public:
    // Throws Failure(reason) when the stream cannot be decoded at all.
    Decoder(const AVStream *stream, int reason);

    // nullptr starts draining.
    void Send(const AVPacket *packet);

    // The next frame, or false when the decoder needs more input or is
    // drained.
    bool Receive(AVFrame *frame);

    AVCodecContext *Context() const { return m_context.get(); }

private:
    CodecContext m_context;
};

} // namespace morlenc
