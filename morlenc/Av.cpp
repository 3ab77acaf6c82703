#include "morlenc/Av.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

#include <cstdlib>
#include <vector>

namespace morlenc {

void OutputContextFree::operator()(AVFormatContext *context) const
{
    if (context->pb && !(context->oformat->flags & AVFMT_NOFILE))
        avio_closep(&context->pb);
    avformat_free_context(context);
}

int CodecThreads()
{
    const char *text = std::getenv("MORLENC_THREADS");
    if (!text || !*text)
        return 0;
    char *end = nullptr;
    const long threads = std::strtol(text, &end, 10);
    return *end == '\0' && threads >= 1 && threads <= 64 ? static_cast<int>(threads) : 0;
}

FramePtr NewFrame()
{
    FramePtr frame(av_frame_alloc());
    if (!frame)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    return frame;
}

PacketPtr NewPacket()
{
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    return packet;
}

std::string ErrorText(int error)
{
    std::vector<char> text(AV_ERROR_MAX_STRING_SIZE + 64, '\0');
    if (av_strerror(error, text.data(), text.size()) < 0)
        return "error " + std::to_string(error);
    return text.data();
}

void Check(int error, int reason, const std::string &what)
{
    if (error >= 0)
        return;
    // The libraries pass the system's errors on as their negatives; their
    // own codes are tags far beyond any errno. Only files opened, read and
    // written have the system behind them: elsewhere EINVAL or ENOMEM is
    // the library's own word, and telling it as the system's would mislead.
    const bool files = reason == ENC_FAIL_OPEN_INPUT || reason == ENC_FAIL_OPEN_OUTPUT || reason == ENC_FAIL_WRITE;
    const int system = files && -error < 4096 ? -error : 0;
    throw Failure{reason, what + ": " + ErrorText(error), system};
}

} // namespace morlenc
