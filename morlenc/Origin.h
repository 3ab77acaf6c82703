#pragma once

// The output's zero: the first moment at which a packet of the streams
// converted is shown. The analysis's start times are only a first guess: a
// stream it did not reach (a picture stored after forty seconds of sound,
// a track that starts late) gets the container's start instead of its own,
// and a track that is not converted may start earlier than these. So the
// first packets of each stream settle it, read in the order they come.

#include "morlenc/Av.h"

#include <vector>

namespace morlenc {

class Origin {
public:
    // guess: where to start when no packet says otherwise, in AV_TIME_BASE.
    Origin(const AVFormatContext *format, const std::vector<int> &followed, int64_t guess);

    // A packet of a followed stream, in reading order.
    void See(const AVPacket &packet);
    // Every stream has been seen for a while, or the others have gone on
    // long enough without it; Settle() decides with what there is.
    bool Settled() const { return m_settled; }
    void Settle() { m_settled = true; }

    // In AV_TIME_BASE.
    int64_t Value() const;

private:
    struct Stream {
        bool followed = false;
        int seen = 0;                   // packets with a time
        int64_t first = AV_NOPTS_VALUE; // the earliest shown among them
    };

    const AVFormatContext *m_format;
    const int64_t m_guess;
    std::vector<Stream> m_streams;  // by stream index
    int64_t m_latest = AV_NOPTS_VALUE;
    int m_packets = 0;
    bool m_settled = false;
};

} // namespace morlenc
