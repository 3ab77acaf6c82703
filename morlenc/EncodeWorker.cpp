#include "morlenc/EncodeWorker.h"

#include "platform/EncoderContract.h"

namespace morlenc {

EncodeWorker::EncodeWorker(Work work)
    : m_work(std::move(work))
    , m_thread([this] { Run(); })
{
}

EncodeWorker::~EncodeWorker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_abandon = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void EncodeWorker::Submit(int track, AVFrame *frame)
{
    Item item{track, nullptr};
    if (frame) {
        item.frame = NewFrame();
        av_frame_move_ref(item.frame.get(), frame);
    }
    Push(std::move(item));
}

void EncodeWorker::Push(Item item)
{
    // A few frames ahead are enough to keep both sides busy; more would only
    // hold memory.
    constexpr std::size_t kQueueDepth = 8;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kQueueDepth || m_failure; });
    if (m_failure)
        throw *m_failure;
    m_queue.push_back(std::move(item));
    m_changed.notify_all();
}

void EncodeWorker::Finish()
{
    Push(Item{});
    m_thread.join();
    if (m_failure)
        throw *m_failure;
}

void EncodeWorker::Run()
{
    for (;;) {
        Item item;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_abandon; });
            if (m_abandon)
                return;
            item = std::move(m_queue.front());
            m_queue.pop_front();
            m_changed.notify_all();
        }
        if (item.track < 0)
            return;
        try {
            m_work(item.track, item.frame.get());
        } catch (const Failure &failure) {
            Fail(failure);
            return;
        } catch (const std::bad_alloc &) {
            Fail(Failure{ENC_FAIL_INTERNAL, "out of memory"});
            return;
        }
    }
}

void EncodeWorker::Fail(const Failure &failure)
{
    const std::lock_guard lock(m_mutex);
    m_failure = failure;
    m_changed.notify_all();
}

} // namespace morlenc
