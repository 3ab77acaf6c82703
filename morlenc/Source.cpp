#include "morlenc/Source.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/display.h>
}

#include <cmath>
#include <cstring>

namespace morlenc {
namespace {

// The display matrix holds a counter-clockwise angle; players turn the
// picture by it, so we do too, to the nearest quarter turn.
int RotationOf(const uint8_t *matrix)
{
    if (!matrix)
        return 0;
    const double angle = -av_display_rotation_get(reinterpret_cast<const int32_t *>(matrix));
    if (std::isnan(angle))
        return 0;
    const long quarters = std::lround(angle / 90.0);
    return static_cast<int>(((quarters % 4) + 4) % 4) * 90;
}

bool IsPicture(const AVStream *stream)
{
    // Cover art is a still image beside the sound, not a video.
    return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO
        && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

int FindVideo(AVFormatContext *format)
{
    const int best = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (best >= 0 && IsPicture(format->streams[best]))
        return best;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (IsPicture(format->streams[i]))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

Source OpenSource(const std::string &path)
{
    const std::string failure = "cannot open " + Quoted(path);
    AVFormatContext *raw = nullptr;
    // On failure the library frees the context itself.
    Check(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), ENC_FAIL_OPEN_INPUT, failure);
    Source source;
    source.format.reset(raw);
    AVFormatContext *format = source.format.get();

    // The text demuxer turns any text file into "video" of its characters.
    if (std::strcmp(format->iformat->name, "tty") == 0)
        throw Failure{ENC_FAIL_OPEN_INPUT, failure + ": not a video file"};
    Check(avformat_find_stream_info(format, nullptr), ENC_FAIL_OPEN_INPUT, failure);

    source.video = FindVideo(format);
    if (source.video < 0)
        throw Failure{ENC_FAIL_NO_VIDEO, Quoted(path) + " has no video stream"};
    source.audio = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, source.video, nullptr, 0);
    if (source.audio < 0)
        source.audio = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (static_cast<int>(i) != source.video && static_cast<int>(i) != source.audio)
            format->streams[i]->discard = AVDISCARD_ALL;
    }
    source.rotation = RotationOf(
        av_stream_get_side_data(format->streams[source.video], AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    source.originUs = format->start_time == AV_NOPTS_VALUE ? 0 : format->start_time;
    return source;
}

Picture PictureOf(const Source &source, const AVFrame *frame)
{
    AVStream *stream = source.format->streams[source.video];
    Picture picture;
    picture.width = frame ? frame->width : stream->codecpar->width;
    picture.height = frame ? frame->height : stream->codecpar->height;
    const AVRational sar = av_guess_sample_aspect_ratio(source.format.get(), stream,
                                                        const_cast<AVFrame *>(frame));
    picture.sarNum = sar.num;
    picture.sarDen = sar.den;
    // A turn given with the frame (a camera turned while recording) is the
    // latest word.
    const AVFrameSideData *turn = frame ? av_frame_get_side_data(frame, AV_FRAME_DATA_DISPLAYMATRIX) : nullptr;
    picture.rotation = turn ? RotationOf(turn->data) : source.rotation;
    return picture;
}

} // namespace morlenc
