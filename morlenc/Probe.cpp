#include "morlenc/Probe.h"

#include "morlenc/Failure.h"
#include "morlenc/Length.h"
#include "morlenc/Source.h"
#include "platform/EncoderContract.h"

namespace morlenc {

void RunProbe(const Job &job, Channel &channel)
{
    Source source = OpenSource(job.source);
    const AVCodecParameters *video = source.format->streams[source.video]->codecpar;
    // A file we could not convert is refused now, not after it joined the list.
    if (!avcodec_find_decoder(video->codec_id))
        throw Failure{ENC_FAIL_DECODER, "no decoder for the video of " + Quoted(job.source)};
    const Size size = DisplaySizeOf(PictureOf(source));
    if (size.width <= 0 || size.height <= 0)
        throw Failure{ENC_FAIL_DECODER, "the picture size of " + Quoted(job.source) + " is unknown"};

    channel.Send(ENC_DURATION, DurationSeconds(source));
    channel.Send(ENC_WIDTH, size.width);
    channel.Send(ENC_HEIGHT, size.height);
}

} // namespace morlenc
