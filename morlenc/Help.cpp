#include "morlenc/Help.h"

#include "platform/EncoderContract.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace morlenc {
namespace {

std::string LibraryVersion(const char *name, unsigned version)
{
    return std::string(name) + " " + std::to_string(AV_VERSION_MAJOR(version)) + "."
        + std::to_string(AV_VERSION_MINOR(version)) + "."
        + std::to_string(AV_VERSION_MICRO(version)) + "\n";
}

} // namespace

std::string HelpText()
{
    std::string text = R"(Usage:
  morlenc SOURCE -o OUTPUT -ofps 30000/1001 -af AUDIO -vf VIDEO -of lavf -oac lavc
          -ovc lavc -ffourcc MP4V -lavcopts CODECS -lavfopts FORMAT -endpos H:M:S
          MODE HANDLE
  morlenc --help | --version

Converts SOURCE into an MP4 file for a portable player (MODE 0), or reports
its duration and picture size (MODE 1). The arguments come in this order;
SOURCE is always the first, even when it begins with "-".

  -o OUTPUT      the MP4 file to write; it is written under a hidden
                 temporary name in OUTPUT's folder (.morlenc-PID-N.part) and
                 renamed to OUTPUT when complete
  -ofps          30000/1001: constant 29.97 frames per second, frames repeated
                 or dropped to hold it
  -af AUDIO      lavcresample=44100, or volume=+NdB:0:lavcresample=44100 or
                 volume=-NdB:0:lavcresample=44100: gain, then 44100 Hz
                 stereo; any N is taken, the gain applied stops at 96 dB
  -vf VIDEO      scale=W:H,harddup stretches to WxH;
                 scale=-3:H,harddup,expand=W:H and scale=W:-3,harddup,expand=W:H
                 fit the picture inside WxH keeping its display shape, on
                 black bars (W and H even, 16 to 4096)
  -lavcopts      aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=V:vhq:acodec=aac:abitrate=A
                 MPEG-4 Simple Profile video at V kbit/s with rate-distortion
                 macroblock decision, AAC-LC sound at A kbit/s
  -lavfopts      format=mp4:i_certify_that_my_video_stream_does_not_use_b_frames
  -endpos H:M:S  the output is at most this long
  -of lavf -oac lavc -ovc lavc -ffourcc MP4V   fixed
  MODE           0 convert, 1 probe
  HANDLE         descriptor of the channel socket, or -1 for standard output

Channel: one line per message, "<code> <value>\n".
  1 duration in whole seconds   2 width   3 height   (probe, as a player
  shows the picture)   4 probe ended
  5 source position in whole seconds (convert); the encoder then reads one
    line: "0" goes on, "1" stops at once, removing the partial output
  6 conversion ended (sent once; the output is complete unless 7 came first)
  7 the job failed, value = reason; the final code 4 or 6 follows
With HANDLE -1 the lines go to standard output and no answers are awaited.

Failure reasons:
)";
    for (int reason = ENC_FAIL_ARGUMENTS; reason <= ENC_FAIL_INTERNAL; ++reason)
        text += "  " + std::to_string(reason) + "  " + EncoderFailureText(reason) + "\n";
    text += R"(
Exit status: 0 done, 1 the job failed, 2 arguments refused, 3 stopped.
)";
    return text;
}

std::string VersionText()
{
    return "morlenc " MORLENC_VERSION "\n" + LibraryVersion("libavformat", avformat_version())
        + LibraryVersion("libavcodec", avcodec_version())
        + LibraryVersion("libavfilter", avfilter_version())
        + LibraryVersion("libswresample", swresample_version())
        + LibraryVersion("libswscale", swscale_version())
        + LibraryVersion("libavutil", avutil_version());
}

} // namespace morlenc
