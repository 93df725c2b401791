#pragma once

#include <cstdint>
#include <deque>
#include <optional>

struct TryResult;

// The line's figures since Start, from the devices' final results. Times are milliseconds of
// any clock the caller keeps (tests give made-up ones). A figure that cannot be told yet is
// empty rather than zero.
class LineFigures
{
public:
    // Forgets everything: the line starts counting at nowMs.
    void Start(int64_t nowMs);
    // A device's run has ended for good with its last try.
    void Ended(const TryResult& last, int64_t nowMs);

    int Done() const { return m_done; }
    int Failed() const { return m_failed; }
    int Stopped() const { return m_stopped; }
    // Of the devices that ended downloaded or failed (stopped ones tell nothing of the line),
    // the share downloaded on their first try, 0 to 1.
    std::optional<double> FirstPassYield() const;
    // Devices downloaded per hour since Start: none in the first minute, when one device
    // would make a pace of hundreds; from then on a figure, 0 while none is done.
    std::optional<double> PerHourSinceStart(int64_t nowMs) const;
    // Devices downloaded in the last hour; in the first hour, the pace since Start.
    std::optional<double> PerHourLastHour(int64_t nowMs) const;
    // Of the downloads done.
    std::optional<int64_t> MeanDownloadMs() const;

private:
    int64_t m_startMs = 0;
    int m_done = 0;
    int m_doneFirstTry = 0;
    int m_failed = 0;
    int m_stopped = 0;
    int64_t m_downloadMsTotal = 0;
    std::deque<int64_t> m_doneAtMs; // of the downloads in the last hour, oldest first
};
