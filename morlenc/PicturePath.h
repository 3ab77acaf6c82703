#pragma once

// The picture from the decoder to the encoder, through the graph that fits
// it into the output's frame (see VideoFilterText). The graph is made for
// the shape of the pictures it gets and made anew when that shape changes:
// a broadcast switching between 16:9 and 4:3, a film joined from sources of
// different sizes, a turn. Each part is fitted by its own shape, and the
// new graph goes on at the frame where the previous one stopped. The first
// interlaced frame brings a deinterlacer in front, the same way.

#include "morlenc/Arguments.h"
#include "morlenc/Av.h"
#include "morlenc/FieldCadence.h"
#include "morlenc/FilmWeave.h"
#include "morlenc/FilterChain.h"
#include "morlenc/Source.h"

#include <functional>
#include <memory>

namespace morlenc {

class PicturePath {
public:
    // Gets each frame for the encoder, its pts in the output's frames;
    // takes its data.
    using Deliver = std::function<void(AVFrame *frame)>;

    PicturePath(const Job &job, const Source &source, Deliver deliver);

    // Takes the frame's data; its pts (stream time base) counts from the
    // output's start. False once the path takes nothing more (it has been
    // cut at the end position).
    bool Push(AVFrame *frame);

    // No more pictures; endPts is where the last one ends.
    void Close(int64_t endPts);

private:
    struct Shape {
        int width = 0;
        int height = 0;
        int format = -1;
        Picture picture;
        bool operator==(const Shape &other) const;
    };
    // Watches the cadence of interlaced frames on the way.
    Shape ShapeOf(const AVFrame *frame);
    bool IsFilm(const AVFrame *frame);
    bool FirstFieldOnGrid(int64_t pts) const;
    bool Feed(AVFrame *frame, const Shape &shape);
    void MakeChain(const AVFrame *frame, const Shape &shape);
    void DeliverReady();

    const Job &m_job;
    const Source &m_source;
    AVRational m_timeBase;
    Deliver m_deliver;
    bool m_atOutputRate = false;  // the source's frames come 30000/1001 a second
    std::unique_ptr<FieldCadence> m_cadence;  // for sources that may be telecined film
    FilmWeave m_weave;                        // while the cadence holds
    Shape m_weavingShape;                     // of the frame it holds
    std::unique_ptr<FilterChain> m_chain;  // made from the first frame
    Shape m_shape;                         // what m_chain was made for
    FramePtr m_ready;
    int64_t m_nextFrame = 0;  // the next output frame's number
    bool m_closed = false;  // m_chain has been told there is no more
    bool m_ended = false;   // cut at the end position
};

} // namespace morlenc
