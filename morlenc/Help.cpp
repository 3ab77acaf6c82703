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
    std::string line = "  " + std::string(name);
    line.resize(21, ' ');
    return line + std::to_string(AV_VERSION_MAJOR(version)) + "."
        + std::to_string(AV_VERSION_MINOR(version)) + "."
        + std::to_string(AV_VERSION_MICRO(version)) + "\n";
}

} // namespace

// The text is also the manual page: help2man turns it into troff. Its
// conventions hold here: options and list entries start with two spaces
// and keep their description at the same column, a heading ends with a
// colon, and every word fits in an 80-column page once indented, so that
// troff can fill each line.
std::string HelpText()
{
    std::string text = R"(Usage: morlenc SOURCE -o OUTPUT OPTIONS MODE HANDLE
  or:  morlenc --help
  or:  morlenc --version
  or:  morlenc --serve HANDLE

Converts SOURCE into an MP4 file for a portable player (MODE 0), or reports
its duration and picture size (MODE 1). OPTIONS are always these, in this
order: -ofps 30000/1001 -af AUDIO -vf VIDEO -of lavf -oac lavc -ovc lavc
-ffourcc MP4V -lavcopts CODECS -lavfopts FORMAT -endpos H:M:S. SOURCE is
always the first argument, even when it begins with a dash. The job reports
on its channel, one line per message: a code and a value.

Options:
  -o OUTPUT          the MP4 file to write. It is written under a hidden
                     temporary name in the folder of OUTPUT,
                     .morlenc-HOST-PID-N.part, and renamed to OUTPUT once
                     complete.
  -ofps 30000/1001   29.97 frames per second: frames are repeated or dropped
                     to hold the rate.
  -af AUDIO          the sound, in one of the forms below.
  -vf VIDEO          the picture, in one of the forms below.
  -lavcopts CODECS   the codecs and their bitrates, in the form below.
  -lavfopts FORMAT   the container, in the form below.
  -endpos H:M:S      the output is cut at this length.
  -of lavf           fixed, as are -oac lavc, -ovc lavc and -ffourcc MP4V.
  --help             shows this text.
  --version          shows the version, and those of the libraries.
  --serve HANDLE     starts each job sent on the socket HANDLE in a process
                     of its own, with the libraries already loaded, until
                     the socket closes. The window program starts its jobs
                     this way.

Arguments:
  MODE               0 converts, 1 probes.
  HANDLE             the descriptor of the channel socket, or -1 for standard
                     output, where no answers are awaited.

Forms of AUDIO:
  lavcresample=44100
                     44100 Hz stereo.
  volume=+Ndb:0:lavcresample=44100
                     the same, N dB louder; any N is taken, but the change
                     stops at 96 dB.
  volume=-Ndb:0:lavcresample=44100
                     the same, N dB quieter.

Forms of VIDEO:
  scale=W:H,harddup  stretched to W by H pixels (even, from 16 to 4096).
  scale=W:-3,harddup,expand=W:H
                     fitted inside W by H, keeping its shape, on black bars
                     where its shape needs them. A source whose shape changes
                     on the way is fitted part by part.
  scale=-3:H,harddup,expand=W:H
                     the same.

Form of CODECS:
  aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=V:vhq:acodec=aac:abitrate=A
                     MPEG-4 Simple Profile video at V kbit/s, AAC-LC sound at
                     A kbit/s.

Form of FORMAT:
  format=mp4:i_certify_that_my_video_stream_does_not_use_b_frames
                     the only one.

Channel messages:
  1                  probe: the duration in whole seconds.
  2                  probe: the width of the picture as a player shows it.
  3                  probe: its height.
  4                  probe: the end of the job, always the last message.
  5                  conversion: the position reached in the output, in whole
                     seconds. The encoder then reads one line: "0" goes on,
                     "1" stops at once and removes the unfinished output.
  6                  conversion: the end of the job, always the last message;
                     the output is complete unless code 7 came first.
  7                  either: the job failed, value = the reason below; the
                     code that ends the job follows.
  8                  either: the system's error number (errno) behind the
                     failure whose code 7 follows at once.

Failure reasons:
)";
    // The reasons the encoder itself sends; the others the program finds.
    for (const int reason : {ENC_FAIL_ARGUMENTS, ENC_FAIL_OPEN_INPUT, ENC_FAIL_NO_VIDEO, ENC_FAIL_DECODER,
                             ENC_FAIL_OPEN_OUTPUT, ENC_FAIL_WRITE, ENC_FAIL_ENCODE, ENC_FAIL_INTERNAL,
                             ENC_FAIL_FOLDER_GONE}) {
        // A narrower column than above keeps the longest on one line.
        std::string number = "  " + std::to_string(reason);
        number.resize(6, ' ');
        text += number + EncoderFailureText(reason) + "\n";
    }
    text += R"(
Exit status:
  0                  done.
  1                  the job failed.
  2                  the arguments were refused.
  3                  stopped.

Environment:
  MORLENC_THREADS    the threads each decoder and encoder may use, 1 to 64;
                     when unset, as many as the libraries like. The window
                     program sets it when jobs run side by side.
)";
    return text;
}

// Laid out as a section of the manual page, which help2man appends.
std::string VersionText()
{
    return "morlenc " MORLENC_VERSION "\n\nLibraries:\n" + LibraryVersion("libavformat", avformat_version())
        + LibraryVersion("libavcodec", avcodec_version())
        + LibraryVersion("libavfilter", avfilter_version())
        + LibraryVersion("libswresample", swresample_version())
        + LibraryVersion("libswscale", swscale_version())
        + LibraryVersion("libavutil", avutil_version());
}

} // namespace morlenc
