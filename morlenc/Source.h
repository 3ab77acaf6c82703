#pragma once

// Opening a source: container, the streams we use and how its picture is
// meant to be shown. Shared by probes and conversions.

#include "morlenc/Av.h"
#include "morlenc/Filters.h"

#include <string>

namespace morlenc {

struct Source {
    InputContext format;
    int video = -1;
    int audio = -1;         // -1 when the source has no usable sound
    int rotation = 0;       // clockwise display turn of the video stream
    int64_t originUs = 0;   // the container time (AV_TIME_BASE) that becomes zero
};

// Opens and analyses the file; every other stream is discarded. Throws
// Failure with ENC_FAIL_OPEN_INPUT or ENC_FAIL_NO_VIDEO.
Source OpenSource(const std::string &path);

// The picture of the video stream as the container describes it; frame, when
// given, may carry a more precise sample aspect ratio.
Picture PictureOf(const Source &source, const AVFrame *frame = nullptr);

} // namespace morlenc
