#include "OutputQueue.h"

OutputQueue::OutputQueue() : m_writer([this] { WriteQueued(); }) {}

OutputQueue::~OutputQueue()
{
    Close();
}

void OutputQueue::Write(std::FILE* stream, QByteArray bytes)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.emplace_back(stream, std::move(bytes));
    }
    m_wake.notify_one();
}

void OutputQueue::Close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_one();
    if (m_writer.joinable())
        m_writer.join();
}

void OutputQueue::WriteQueued()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_closing || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        const auto [stream, bytes] = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        const size_t size = static_cast<size_t>(bytes.size());
        if (std::fwrite(bytes.constData(), 1, size, stream) != size || std::fflush(stream) != 0)
            m_failed = true;
        lock.lock();
    }
}
