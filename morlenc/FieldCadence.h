#pragma once

// Tells film that was telecined for 29.97 frames a second (3:2 pulldown
// woven into the frames) from pictures shot interlaced. Four film frames
// fill five video frames by repeating one top and one bottom field, so in
// every five frames one repeats the top field before it and another the
// bottom one, always two and three frames apart. libavfilter's idet says
// which field, if any, each frame repeats; the cadence is believed after
// three whole cycles and dropped as soon as a repeat is missing or out of
// place (a cut to video, an edit, a still scene where nothing can be told).

#include "morlenc/Av.h"
#include "morlenc/FilterChain.h"

#include <memory>

namespace morlenc {

class FieldCadence {
public:
    enum class Field { Neither, Top, Bottom };
    // What the frame of the given pts repeats of the frame before it.
    struct Verdict {
        int64_t pts = AV_NOPTS_VALUE;
        Field repeated = Field::Neither;
    };

    explicit FieldCadence(AVRational timeBase);

    // Looks at one decoded interlaced frame (the frame is left as it is).
    // True while the frames so far keep the film cadence.
    bool Watch(const AVFrame *frame);

    // The verdict on the frame watched before the last one: each frame is
    // judged against its neighbours, so once the next one has come.
    Verdict Last() const { return m_last; }

private:
    void Count(Field repeated);

    AVRational m_timeBase;
    std::unique_ptr<FilterChain> m_idet;
    int m_width = 0;
    int m_height = 0;
    int m_format = -1;
    int m_seen = -1;  // the format idet is given the frames as
    FramePtr m_copy;
    FramePtr m_analysed;

    long long m_frame = 0;         // frames analysed
    long long m_lastRepeat = -1;   // the frame that last repeated a field
    Field m_lastField = Field::Neither;
    long long m_lastGap = 0;       // frames between the last two repeats
    int m_inStep = 0;              // repeats in a row that kept the cadence
    Verdict m_last;
};

} // namespace morlenc
