#pragma once

// The sound from the decoder to the encoder, through two graphs (see
// AudioFormatFilterText): one that turns whatever format the decoder gives
// into the encoder's, made anew whenever that format changes, and one that
// stays for the whole job and cuts at the end position. A late start or a
// long drop-out is filled with silence here, a piece at a time, each piece
// handed on before the next is made: however long the gap, it never needs
// more memory than a piece.

#include "morlenc/Arguments.h"
#include "morlenc/Av.h"
#include "morlenc/FilterChain.h"

#include <functional>
#include <memory>
#include <string>

namespace morlenc {

class SoundPath {
public:
    // Gets each frame for the encoder, its pts in 1/44100 s; takes its data.
    using Deliver = std::function<void(AVFrame *frame)>;

    // timeBase is that of the frames to be pushed; frameSize the encoder's.
    SoundPath(const Job &job, AVRational timeBase, int frameSize, Deliver deliver);

    // Takes the frame's data; its pts counts from the output's start. False
    // once the path takes nothing more (it has been cut at the end position).
    bool Push(AVFrame *frame);

    // No more sound: everything held is delivered.
    void Close();

private:
    int64_t SamplesAt(int64_t pts) const;
    void EndFormatChain();
    void MakeFormatChain(AVFrame *frame);
    bool SameFormat(AVFrame *frame) const;
    void FillSilenceTo(int64_t sample);
    void PassOn();
    void HandOn(AVFrame *frame);
    void DeliverReady();

    const Job &m_job;
    AVRational m_timeBase;
    Deliver m_deliver;
    // Made from the first frame, and anew for each new sound format.
    std::unique_ptr<FilterChain> m_format;
    FilterChain m_ending;
    FramePtr m_passing;
    FramePtr m_ready;
    // Positions in samples at 44100 Hz from the output's start.
    int64_t m_pushedEnd = 0;   // where the sound pushed into m_format ends
    int64_t m_samplesOut = 0;  // where the sound handed to m_ending ends
    bool m_ended = false;      // m_ending takes nothing more
    // The sound format m_format was made for.
    int m_sampleFormat = -1;
    int m_sampleRate = 0;
    std::string m_layout;
};

} // namespace morlenc
