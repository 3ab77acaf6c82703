#pragma once

// The filter descriptions a job needs, as libavfilter graph text. Pure
// arithmetic and strings, no FFmpeg, so the fitting rules can be tested
// on their own.

#include "morlenc/Arguments.h"

#include <string>

namespace morlenc {

// A decoded picture as stored, and how a player is meant to show it.
struct Picture {
    int width = 0;
    int height = 0;
    int sarNum = 0;        // sample aspect ratio; 0 or 0/x means square
    int sarDen = 1;
    int rotation = 0;      // clockwise turn for display: 0, 90, 180 or 270
    // Two fields taken at different moments, woven into each frame (TV,
    // DVD, camcorder tape); frames not flagged so still pass untouched.
    bool interlaced = false;
    // Interlaced frames that carry telecined film: its whole pictures can be
    // put back together from their fields.
    bool film = false;
    // Interlaced frames that come as often as the output's and lie within a
    // quarter frame of its grid: the output keeps one field of each, the
    // first in time, so only that one is made a picture.
    bool firstFieldOnly = false;
};

struct Size {
    int width = 0;
    int height = 0;
};

// bwdif refuses planes of fewer than 3 columns or 4 lines; this leaves as
// much in colour planes of a quarter the width and height. Smaller pictures
// stay woven.
constexpr Size kSmallestDeinterlaced{16, 16};

// Width and height as a player shows them: sample aspect ratio and rotation
// applied.
Size DisplaySizeOf(const Picture &picture);

// The picture's display size fitted inside width x height, keeping its
// shape, even on both sides.
Size FitInside(Size display, int width, int height);

// Graph text from the decoded picture to the encoder's frames: interlaced
// frames made whole pictures, the fitted picture on black bars, square
// pixels, 4:2:0, a constant 30000/1001 frames per second starting at frame
// `firstFrame` (0 for the first graph, where the previous graph stopped for
// one made anew), cut at the job's end position.
std::string VideoFilterText(const Job &job, const Picture &picture, long long firstFrame = 0);

// The sound passes two graphs. The first, made anew whenever the decoded
// sound's format changes (a recording switching from stereo 48 kHz to mono
// 44.1 kHz), turns it into the encoder's format: gain, 44100 Hz stereo float
// planes, gaps filled and overlaps trimmed so the sound stays in step with
// the picture. `firstSample` is where its output starts, counted in samples
// of the sound going in (the resampler's unit for it, whatever the rate
// coming out): 0 for the first graph, where the sound so far ends for the
// others.
std::string AudioFormatFilterText(const Job &job, long long firstSample);

// The second graph stays for the whole job: it cuts the sound at the job's
// end position (and hands out frames of the encoder's size).
std::string AudioEndFilterText(const Job &job);

// What the second graph is fed: the encoder's sound format.
std::string AudioEndSourceArgs();

} // namespace morlenc
