#include "morlenc/Decoder.h"

#include "morlenc/Failure.h"

namespace morlenc {

Decoder::Decoder(const AVStream *stream, int reason)
{
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        throw Failure{reason, std::string("no decoder for ") + avcodec_get_name(stream->codecpar->codec_id)};
    m_context.reset(avcodec_alloc_context3(codec));
    if (!m_context)
        throw Failure{reason, "out of memory"};
    Check(avcodec_parameters_to_context(m_context.get(), stream->codecpar), reason, "decoder setup");
    m_context->pkt_timebase = stream->time_base;
    m_context->thread_count = CodecThreads();
    m_context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    Check(avcodec_open2(m_context.get(), codec, nullptr), reason,
          std::string("cannot open the ") + codec->name + " decoder");
}

void Decoder::Send(const AVPacket *packet)
{
    // A refused packet is damaged data; the next one may decode again.
    avcodec_send_packet(m_context.get(), packet);
}

bool Decoder::Receive(AVFrame *frame)
{
    // A decoding error stands for one damaged frame; later ones can follow.
    // The bound only guards against a decoder that repeats its error.
    for (int errors = 0; errors < 1000; ++errors) {
        const int result = avcodec_receive_frame(m_context.get(), frame);
        if (result >= 0)
            return true;
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return false;
    }
    return false;
}

} // namespace morlenc
