#pragma once

// The MP4 file being written: the two encoders and the muxer. It is written
// under a temporary name beside the final one and only renamed once
// complete, so a stopped, failed or killed job never leaves a file that
// looks finished.

#include "morlenc/Arguments.h"
#include "morlenc/Av.h"

#include <string>

namespace morlenc {

class Output {
public:
    // Creates the partial file and writes the header. Throws Failure with
    // ENC_FAIL_OPEN_OUTPUT, ENC_FAIL_ENCODE or ENC_FAIL_WRITE.
    Output(const Job &job, bool withAudio);
    // Removes the partial file unless Finish() succeeded.
    ~Output();
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    static AVRational VideoTimeBase();
    static AVRational AudioTimeBase();
    int AudioFrameSize() const;

    // Frames in the time base above; their data is consumed.
    void EncodeVideo(AVFrame *frame);
    void EncodeAudio(AVFrame *frame);
    long long VideoFramesEncoded() const { return m_videoFrames; }

    // Drains the encoders, completes the file and gives it its final name.
    void Finish();

private:
    struct Track {
        CodecContext encoder;
        AVStream *stream = nullptr; // owned by m_format
    };

    void OpenVideo(const Job &job);
    void OpenAudio(const Job &job);
    void AddStream(Track &track);
    void Encode(Track &track, AVFrame *frame);

    std::string m_final;
    std::string m_partial;
    OutputContext m_format;
    Track m_video;
    Track m_audio;
    PacketPtr m_packet;
    long long m_videoFrames = 0;
    bool m_created = false;
    bool m_finished = false;
};

} // namespace morlenc
