#include "morlenc/Source.h"

#include "morlenc/Failure.h"
#include "platform/EncoderContract.h"

extern "C" {
#include <libavutil/display.h>
}

#include <algorithm>
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

int StopReading(void *opaque)
{
    const auto *limit = static_cast<const ReadLimit *>(opaque);
    return limit->bytes >= 0 && limit->format && limit->format->pb
        && limit->format->pb->bytes_read > limit->bytes;
}

// Opens and analyses the file; options may make the analysis longer.
Source OpenAnalysed(const std::string &path, AVDictionary **options)
{
    const std::string failure = "cannot open " + Quoted(path);
    Source source;
    source.limit = std::make_unique<ReadLimit>();
    AVFormatContext *raw = avformat_alloc_context();
    if (!raw)
        throw Failure{ENC_FAIL_INTERNAL, "out of memory"};
    // Given before opening: the file's reads take the callback with them.
    raw->interrupt_callback = AVIOInterruptCB{StopReading, source.limit.get()};
    // On failure the library frees the context itself.
    Check(avformat_open_input(&raw, path.c_str(), nullptr, options), ENC_FAIL_OPEN_INPUT, failure);
    source.format.reset(raw);
    source.limit->format = raw;
    // The text demuxer turns any text file into "video" of its characters.
    if (std::strcmp(raw->iformat->name, "tty") == 0)
        throw Failure{ENC_FAIL_OPEN_INPUT, failure + ": not a video file"};
    Check(avformat_find_stream_info(raw, nullptr), ENC_FAIL_OPEN_INPUT, failure);
    return source;
}

// The picture's size, or a sound's format, is still unknown: the sound
// would be lost and the picture refused.
bool MissesParameters(const Source &source)
{
    const AVFormatContext *format = source.format.get();
    bool usableSound = false;
    bool unknownSound = false;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters *p = format->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_AUDIO) {
            const bool known = p->sample_rate > 0 && p->ch_layout.nb_channels > 0;
            usableSound = usableSound || known;
            unknownSound = unknownSound || !known;
        }
    }
    const int video = FindVideo(const_cast<AVFormatContext *>(format));
    const bool unknownPicture = video >= 0 && format->streams[video]->codecpar->width <= 0;
    return unknownPicture || (unknownSound && !usableSound);
}

int64_t OriginOf(const Source &source)
{
    const AVFormatContext *format = source.format.get();
    int64_t origin = AV_NOPTS_VALUE;
    for (const int index : source.Followed()) {
        const AVStream *stream = format->streams[index];
        if (stream->start_time == AV_NOPTS_VALUE)
            continue;
        const int64_t start = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
        origin = origin == AV_NOPTS_VALUE ? start : std::min(origin, start);
    }
    if (origin == AV_NOPTS_VALUE)
        origin = format->start_time;
    return origin == AV_NOPTS_VALUE ? 0 : origin;
}

} // namespace

Source OpenSource(const std::string &path)
{
    Source source = OpenAnalysed(path, nullptr);
    // Streams that start late in an MPEG stream (sound seconds after the
    // picture, or the other way round) are past the library's usual
    // analysis; only then is it made longer.
    if (MissesParameters(source)) {
        AVDictionary *longer = nullptr;
        av_dict_set(&longer, "analyzeduration", "120000000", 0);
        av_dict_set(&longer, "probesize", "67108864", 0);
        source = OpenAnalysed(path, &longer);
        av_dict_free(&longer);
    }
    AVFormatContext *format = source.format.get();
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
    source.originUs = OriginOf(source);
    return source;
}

std::vector<int> Source::Followed() const
{
    std::vector<int> followed{video};
    if (audio >= 0)
        followed.push_back(audio);
    return followed;
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
