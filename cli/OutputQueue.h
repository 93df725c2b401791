#pragma once

#include <QByteArray>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

// Writes to streams on a thread of its own, in the order given, so that an output that is
// slow, full or closed (a pipe nobody reads, | head, /dev/full) never holds up a download.
class OutputQueue
{
public:
    OutputQueue();
    ~OutputQueue();
    OutputQueue(const OutputQueue&) = delete;
    OutputQueue& operator=(const OutputQueue&) = delete;

    void Write(std::FILE* stream, QByteArray bytes);
    // Waits until everything queued has been written or has failed.
    void Close();
    // True when any write failed.
    bool Failed() const { return m_failed; }

private:
    void WriteQueued();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::pair<std::FILE*, QByteArray>> m_queue;
    bool m_closing = false;
    std::atomic<bool> m_failed{false};
    std::thread m_writer;
};
