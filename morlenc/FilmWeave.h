#pragma once

// Puts telecined film back together. 3:2 pulldown shows each film picture
// in two or three fields, so once every five frames a frame's first field
// repeats the picture before and its second field already shows the next
// one; the frame after it starts with the first field of that next
// picture. FieldCadence says which frame repeats which field. That frame
// is left out (the picture before simply stays one frame longer, as a rate
// change from 23.976 would show it) and its second field is woven into
// the frame after it. The three frames that follow carry whole pictures.
//
// A frame the cadence does not vouch for (before the first repeat is seen,
// or where a repeat was due and none came) passes as it was decoded, still
// flagged interlaced, for the deinterlacer behind to mend. Whole pictures
// are flagged progressive, so the deinterlacer leaves them alone.

#include "morlenc/Av.h"
#include "morlenc/FieldCadence.h"

namespace morlenc {

class FilmWeave {
public:
    // Takes the next frame of film and the cadence's latest verdict (on the
    // frame before it, which is held until then). Returns that frame as a
    // whole picture, or null when it is left out or nothing was held.
    FramePtr Take(AVFrame *frame, const FieldCadence::Verdict &verdict);

    // The frame held, as best it can go on without its verdict; null if none.
    FramePtr Release();

    // The frame held, as it was decoded (null if none), and a fresh start:
    // the cadence was lost, so the picture its first field shows is not to
    // be trusted.
    FramePtr Abandon();

private:
    FramePtr Judged(FramePtr frame, FieldCadence::Field repeated);
    bool Weave(AVFrame *frame, const AVFrame *secondField) const;

    FramePtr m_held;    // waits for its verdict
    FramePtr m_leftOut; // its second field belongs to the next frame
    // Frames since the last one left out; the first three after the woven
    // one are whole pictures.
    int m_sinceLeftOut = -1;
};

} // namespace morlenc
