#pragma once

// Opening a source: container, the streams we use and how its picture is
// meant to be shown. Shared by probes and conversions.

#include "morlenc/Av.h"
#include "morlenc/Filters.h"

#include <memory>
#include <string>
#include <vector>

namespace morlenc {

// Bounds what reading a source may cost: once the file has given more than
// `bytes`, the library's reads fail. Inactive at -1.
struct ReadLimit {
    int64_t bytes = -1;
    const AVFormatContext *format = nullptr;
};

struct Source {
    std::unique_ptr<ReadLimit> limit;  // first: the open file consults it
    InputContext format;
    int video = -1;
    int audio = -1;         // -1 when the source has no usable sound
    int rotation = 0;       // clockwise display turn of the video stream
    // The container time (AV_TIME_BASE) that becomes zero: the first moment
    // of the streams converted, whatever other tracks the file holds.
    int64_t originUs = 0;

    // The streams converted: the picture, and the sound if any.
    std::vector<int> Followed() const;
};

// Opens and analyses the file; every other stream is discarded. Throws
// Failure with ENC_FAIL_OPEN_INPUT or ENC_FAIL_NO_VIDEO.
Source OpenSource(const std::string &path);

// The picture of the video stream as the container describes it; frame, when
// given, may carry a more precise sample aspect ratio.
Picture PictureOf(const Source &source, const AVFrame *frame = nullptr);

} // namespace morlenc
