#pragma once

// The MP4 file being written: the two encoders and the muxer. It is written
// under a temporary name of its own in the final file's folder and only
// renamed once complete, so a stopped, failed or killed job never leaves a
// file that looks finished. The name (see PartFile.h) is short whatever the
// final name's length, made exclusively so that two jobs never share it, and
// locked while the job lives, so that the window program can tell the
// leftovers of a killed encoder from a running one's.
//
// Encoding and writing run on a thread of their own, fed through a short
// queue, so that the next pictures are decoded and filtered meanwhile.

#include "morlenc/Arguments.h"
#include "morlenc/Av.h"
#include "morlenc/Failure.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

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
    // The temporary file: removed when the job ends without finishing,
    // also when the constructor fails half-way.
    struct PartialFile {
        std::string path;
        int fd = -1;  // holds the file's lock
        bool kept = false;
        PartialFile() = default;
        PartialFile(const PartialFile &) = delete;
        PartialFile &operator=(const PartialFile &) = delete;
        ~PartialFile();
    };

    struct Track {
        CodecContext encoder;
        AVStream *stream = nullptr; // owned by m_format
    };

    void OpenVideo(const Job &job);
    void OpenAudio(const Job &job);
    void AddStream(Track &track);
    void Encode(Track &track, AVFrame *frame);

    enum class Work { Video, Audio, End };
    struct Item {
        Work work = Work::End;
        FramePtr frame; // null: drain that encoder
    };
    void Submit(Work work, AVFrame *frame);
    void EncodeQueued();
    void StopWorker();

    std::string m_final;
    PartialFile m_partial;  // outlives the muxer, which writes to it
    OutputContext m_format;
    Track m_video;
    Track m_audio;
    PacketPtr m_packet;
    long long m_videoFrames = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_queue;          // guarded by m_mutex
    bool m_abandon = false;            // guarded by m_mutex
    std::optional<Failure> m_failure;  // guarded by m_mutex
    std::thread m_worker;
};

} // namespace morlenc
