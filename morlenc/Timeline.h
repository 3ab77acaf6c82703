#pragma once

// Recordings joined from parts (TV cards, satellite boxes, camcorders) have
// timestamps that start again, wrap or step back at each join. The timeline
// puts every packet on one line that starts at zero, as players follow such
// a stream: a part keeps its own timing inside, so its sound and picture
// stay in step, and starts where what came before it ends.
//
// A join is seen per stream, when its timestamps leave the line it was on;
// the first stream to see it opens the next part, the others follow into
// that part when their timestamps land there. Small steps back are left in
// place (what overlaps is trimmed further on), as are gaps that only one
// stream has: sound that drops out while the picture goes on stays where it
// belongs, to be filled with silence.

#include "morlenc/Av.h"

#include <vector>

namespace morlenc {

class Timeline {
public:
    // origin: the container time (AV_TIME_BASE) that becomes zero.
    Timeline(const AVFormatContext *format, int64_t origin);

    // Moves the packet's pts and dts onto the line, in its stream's time
    // base. Packets without either are left alone.
    void Place(AVPacket *packet);

    // Where the line reached so far ends: the latest end of any packet
    // placed, in AV_TIME_BASE; 0 before any.
    int64_t End() const { return m_end; }

    // How many joins were followed.
    int Joins() const { return static_cast<int>(m_parts.size()) - 1; }

private:
    struct Part {
        int64_t offset = 0;  // added to a raw time to place it
        int64_t clock = 0;   // the latest raw time seen in this part
    };
    struct Follower {
        int part = -1;           // -1 before its first packet
        int64_t last = 0;        // its latest raw time in that part
        int packets = 0;         // how many it had in that part
        int previous = -1;       // the part it left last, in case that was a glitch
        int64_t previousLast = 0;
    };

    int PartFor(Follower &stream, int64_t raw, int64_t shown);
    bool Continues(int part, int64_t last, int64_t raw) const;
    bool LandsIn(int part, int64_t raw) const;
    int Open(int64_t raw, int64_t shown);

    const AVFormatContext *m_format;
    std::vector<Part> m_parts;
    std::vector<Follower> m_streams;  // by stream index
    int64_t m_end = 0;
};

} // namespace morlenc
