#pragma once

// Encoding and writing run on a thread of their own, fed through a short
// queue, so that the next pictures are decoded and filtered meanwhile.

#include "morlenc/Av.h"
#include "morlenc/Failure.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace morlenc {

class EncodeWorker {
public:
    // Runs on the thread for each frame handed over, in order. Its Failure
    // ends the thread's work and is thrown to the feeding side.
    using Work = std::function<void(int track, AVFrame *frame)>;

    explicit EncodeWorker(Work work);
    // Abandons whatever is still queued.
    ~EncodeWorker();

    EncodeWorker(const EncodeWorker &) = delete;
    EncodeWorker &operator=(const EncodeWorker &) = delete;

    // Queues the frame, taking its data (nullptr: drain that track). Waits
    // while the queue is full; throws the thread's failure, if any.
    void Submit(int track, AVFrame *frame);

    // Waits until everything queued is done; throws the thread's failure.
    void Finish();

private:
    struct Item {
        int track = -1;  // -1: the end
        FramePtr frame;  // null: drain the track
    };
    void Run();
    void Fail(const Failure &failure);
    void Push(Item item);

    Work m_work;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_queue;          // guarded by m_mutex
    bool m_abandon = false;            // guarded by m_mutex
    std::optional<Failure> m_failure;  // guarded by m_mutex
    std::thread m_thread;              // last: started when the rest exists
};

} // namespace morlenc
