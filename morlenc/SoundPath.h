#pragma once

// The sound from the decoder to the encoder's frames, through two graphs
// (see AudioFormatFilterText): one that turns whatever format the decoder
// gives into the encoder's, made anew whenever that format changes, and one
// that stays for the whole job and cuts at the end position.

#include "morlenc/Arguments.h"
#include "morlenc/Av.h"
#include "morlenc/FilterChain.h"

#include <memory>
#include <string>

namespace morlenc {

class SoundPath {
public:
    // timeBase is that of the frames to be pushed; frameSize the encoder's.
    SoundPath(const Job &job, AVRational timeBase, int frameSize);

    // Takes the frame's data; its pts counts from the output's start. False
    // once the path takes nothing more (it has been cut at the end position).
    bool Push(AVFrame *frame);

    // No more sound; endPts (push time base) is where the last frame ends.
    void Close(int64_t endPts);

    // The next frame for the encoder, its pts in 1/44100 s.
    FilterChain::Pulled Pull(AVFrame *frame);

    bool Ended() const { return m_ended; }

private:
    void MakeFormatChain(AVFrame *frame);
    bool SameFormat(AVFrame *frame) const;
    void PassOn();

    const Job &m_job;
    AVRational m_timeBase;
    // Made from the first frame, and anew for each new sound format.
    std::unique_ptr<FilterChain> m_format;
    FilterChain m_ending;
    FramePtr m_passing;
    int64_t m_samplesOut = 0;  // where the sound handed on so far ends, at 44100 Hz
    bool m_ended = false;      // the ending graph takes nothing more
    // The sound format m_format was made for.
    int m_sampleFormat = -1;
    int m_sampleRate = 0;
    std::string m_layout;
};

} // namespace morlenc
