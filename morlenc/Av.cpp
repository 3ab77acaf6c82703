#include "morlenc/Av.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

#include <vector>

namespace morlenc {

void OutputContextFree::operator()(AVFormatContext *context) const
{
    if (context->pb && !(context->oformat->flags & AVFMT_NOFILE))
        avio_closep(&context->pb);
    avformat_free_context(context);
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
    if (error < 0)
        throw Failure{reason, what + ": " + ErrorText(error)};
}

} // namespace morlenc
