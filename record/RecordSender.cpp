#include "RecordSender.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Kept rows are tried again this often. A server that took nothing is tried again after a
// wait that doubles from the first to the last.
constexpr milliseconds kKeptRetry{1000};
constexpr milliseconds kFirstBackOff{1000};
constexpr milliseconds kLastBackOff{16000};
// Between the tries of Deliver.
constexpr milliseconds kDeliverPause{250};

} // namespace

struct RecordSender::Shared
{
    Shared(RecordStore s, Warn w) : store(std::move(s)), warn(std::move(w)) {}

    const RecordStore store;
    const Warn warn;

    std::mutex mutex;
    std::condition_variable wake;       // to the thread
    std::condition_variable roundEnded; // from the thread
    std::vector<DownloadRecord> kept;   // oldest first
    bool roundWanted = true;            // rows may wait from an earlier run
    bool quit = false;
    bool ended = false;
    bool inRound = false;
    unsigned rounds = 0;
    bool sendFailed = false; // the last round could not send every waiting row
    milliseconds backOff = kFirstBackOff;
    Clock::time_point nextTry;
};

RecordSender::RecordSender(RecordStore store, Warn warn)
    : m_shared(std::make_shared<Shared>(std::move(store), std::move(warn))),
      m_thread([shared = m_shared] { Run(shared); })
{
}

RecordSender::~RecordSender()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->quit = true;
    }
    m_shared->wake.notify_one();
    m_thread.join();
}

void RecordSender::Keep(const DownloadRecord& row) const
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->kept.push_back(row);
}

void RecordSender::RowAppended() const
{
    {
        const std::lock_guard lock(m_shared->mutex);
        // While the server takes nothing, the back-off decides when to try it again; rows
        // kept in memory are tried at once.
        if (m_shared->sendFailed && m_shared->kept.empty())
            return;
        m_shared->roundWanted = true;
    }
    m_shared->wake.notify_one();
}

RecordSender::Left RecordSender::Deliver(int waitMs) const
{
    const Clock::time_point deadline = Clock::now() + milliseconds(waitMs);
    Shared& s = *m_shared;
    std::unique_lock lock(s.mutex);
    while (!s.ended) {
        // A round under way may have begun before the latest rows came: the next one counts.
        const unsigned due = s.rounds + (s.inRound ? 2 : 1);
        s.roundWanted = true;
        s.wake.notify_one();
        if (!s.roundEnded.wait_until(lock, deadline, [&] { return s.rounds >= due || s.ended; }))
            break;
        if (s.kept.empty() && !s.sendFailed)
            break;
        if (s.roundEnded.wait_until(lock, std::min(deadline, Clock::now() + kDeliverPause),
                                    [&] { return s.ended; }) ||
            Clock::now() >= deadline)
            break;
    }
    lock.unlock();
    return Waiting();
}

RecordSender::Left RecordSender::Waiting() const
{
    Left left;
    {
        const std::lock_guard lock(m_shared->mutex);
        left.kept = static_cast<int>(m_shared->kept.size());
    }
    if (m_shared->store.Target().IsServer())
        left.unsent = m_shared->store.UnsentCount();
    return left;
}

bool RecordSender::Quit(int waitMs)
{
    if (!m_thread.joinable())
        return true;
    {
        std::unique_lock lock(m_shared->mutex);
        m_shared->quit = true;
        m_shared->wake.notify_one();
        if (!m_shared->roundEnded.wait_for(lock, milliseconds(waitMs),
                                           [&] { return m_shared->ended; })) {
            m_thread.detach();
            return false;
        }
    }
    m_thread.join();
    return true;
}

void RecordSender::Run(const std::shared_ptr<Shared>& shared)
{
    Shared& s = *shared;
    const RecordTarget& target = s.store.Target();
    std::unique_lock lock(s.mutex);
    while (!s.quit) {
        const bool retrying = !s.kept.empty() || s.sendFailed;
        if (!s.roundWanted && !(retrying && Clock::now() >= s.nextTry)) {
            if (retrying)
                s.wake.wait_until(lock, s.nextTry);
            else
                s.wake.wait(lock);
            continue;
        }
        s.roundWanted = false;
        s.inRound = true;
        const std::vector<DownloadRecord> rows = std::exchange(s.kept, {});
        lock.unlock();

        // Kept rows first: they go into the local file, and for a server on with the others.
        std::vector<DownloadRecord> stillKept;
        for (const DownloadRecord& row : rows) {
            const StoreResult written = s.store.Append(row);
            if (written.status == StoreStatus::Locked)
                stillKept.push_back(row);
            else if (written.status == StoreStatus::NotStored)
                s.warn(QStringLiteral("a download kept in memory is not recorded: %1")
                           .arg(written.warning));
        }
        if (!rows.empty() && stillKept.empty())
            s.warn(QStringLiteral("the rows kept in memory are written to %1").arg(target.file));
        const StoreResult sent = s.store.SendUnsent();

        lock.lock();
        s.kept.insert(s.kept.begin(), stillKept.begin(), stillKept.end());
        const bool sendFailed = !sent.warning.isEmpty();
        if (sendFailed && !s.sendFailed)
            s.warn(sent.warning);
        else if (!sendFailed && s.sendFailed)
            s.warn(
                QStringLiteral("the record server %1 takes rows again").arg(target.ServerName()));
        s.backOff =
            sendFailed && s.sendFailed ? std::min(s.backOff * 2, kLastBackOff) : kFirstBackOff;
        s.sendFailed = sendFailed;
        s.nextTry = Clock::now() + (sendFailed ? s.backOff : kKeptRetry);
        s.inRound = false;
        ++s.rounds;
        s.roundEnded.notify_all();
    }
    s.ended = true;
    s.roundEnded.notify_all();
}
