#pragma once

// Where each packet of the source belongs on the output's line, which
// starts at zero. Both the probe and the conversion read the source through
// it, so they agree on its length.
//
// Most files are one recording, and their timestamps are the timeline: they
// are taken as they are, less the first moment of the streams converted
// (see Origin; the first packets are held until it is known). A
// pause, a long still picture, a late track, an edit list's pre-roll,
// B-frames and jittery sound all stay where the file puts them.
//
// Recordings joined from parts (TV cards, satellite boxes, camcorders,
// files copied one after another) have timestamps that start again, jump
// far ahead or step back at each join. Only containers whose format says
// its timestamps may be discontinuous (MPEG program and transport streams,
// Ogg) can hold joins, and a join is taken only when every stream converted
// leaves its line together: back by more than a second, or ahead by more
// than ten. One stream's own pause, step or damaged timestamp is not a
// join. At a join the next part starts where everything before it ends;
// inside a part, sound and picture keep their own timing.
//
// Deciding needs a look past the first stream's step: until the others
// have followed it or gone on along their own lines, packets are held, and
// handed on afterwards in the order they were read.

#include "morlenc/Av.h"
#include "morlenc/Origin.h"

#include <deque>
#include <optional>
#include <vector>

namespace morlenc {

class Timeline {
public:
    // The steps that can make a join, in AV_TIME_BASE.
    static constexpr int64_t kStepBack = AV_TIME_BASE;
    static constexpr int64_t kFarAhead = 10 * AV_TIME_BASE;

    // Whether the container can hold joins at all.
    static bool MayJoin(const AVFormatContext *format);

    // followed: the streams converted; guess: the container time
    // (AV_TIME_BASE) to become zero unless their packets say otherwise.
    Timeline(const AVFormatContext *format, const std::vector<int> &followed, int64_t guess);

    // Takes the data of a followed stream's packet.
    void Take(AVPacket *packet);
    // No more packets: what is held is decided.
    void Finish();
    // The next packet placed on the line, in reading order; false when none
    // is ready yet.
    bool Give(AVPacket *packet);

    // Where the line placed so far ends, in AV_TIME_BASE; 0 before any.
    int64_t End() const { return m_end; }

private:
    struct Line {
        bool started = false;
        int64_t last = 0;  // its latest raw time
    };
    struct Held {
        PacketPtr packet;
        bool moved = false;  // after its stream's step
    };
    struct Pending {
        int leader = -1;
        int64_t leaderLast = 0;  // where the leader was before its step
        bool back = false;       // the leader stepped back
        int64_t clock = 0;       // the latest raw time after the step
        int leaderPackets = 0;
    };

    void Begin();
    void Step(PacketPtr packet);
    bool Continues(const Line &line, int64_t raw) const;
    void TakeWhilePending(PacketPtr packet, int64_t raw);
    void Hold(PacketPtr packet, bool moved);
    void Decide();
    void Confirm();
    void Release(bool clearLeaderTimes = false);
    void Place(AVPacket *packet, int64_t offset);

    const AVFormatContext *m_format;
    const bool m_mayJoin;
    std::vector<bool> m_followed;  // by stream index
    std::vector<bool> m_moved;     // by stream index, while a join is pending
    std::vector<Line> m_lines;     // by stream index
    Origin m_origin;
    std::deque<PacketPtr> m_lead;  // held until the origin is settled
    int64_t m_offset = 0;          // added to a raw time to place it
    int64_t m_end = 0;
    std::optional<Pending> m_pending;
    std::deque<Held> m_held;
    std::deque<PacketPtr> m_ready;
};

} // namespace morlenc
