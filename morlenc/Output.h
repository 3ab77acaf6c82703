#pragma once

// The MP4 file being written: the two encoders and the muxer, fed on a
// thread of their own (EncodeWorker), into a temporary file (PartialFile)
// that gets the output's name once complete.

#include "morlenc/Arguments.h"
#include "morlenc/Av.h"
#include "morlenc/EncodeWorker.h"
#include "morlenc/PartialFile.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
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

    // Frames in the time base above; their data is taken over. A failure
    // of the encoding thread is thrown by the next call.
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
    enum TrackIndex { kVideo, kAudio };

    void OpenVideo(const Job &job);
    void OpenAudio(const Job &job);
    void AddStream(Track &track);
    // Throws when the partial file's folder is gone (see PartialFile).
    void Watch();
    // Runs work; a failed write in it is told as the folder's going where
    // that is what happened.
    void Writing(const std::function<void()> &work);
    void Submit(int track, AVFrame *frame);
    // On the worker's thread.
    void Encode(Track &track, AVFrame *frame);

    std::string m_final;
    std::optional<PartialFile> m_partial;  // outlives the muxer, which writes to it
    OutputContext m_format;
    Track m_video;
    Track m_audio;
    PacketPtr m_packet;
    long long m_videoFrames = 0;
    std::chrono::steady_clock::time_point m_watched = std::chrono::steady_clock::now();
    std::unique_ptr<EncodeWorker> m_worker;  // started once the file is open
};

} // namespace morlenc
