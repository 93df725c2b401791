#include "LineFigures.h"

#include "RunResult.h"

namespace {

constexpr int64_t kHourMs = 3'600'000;
// The pace of the line is not told before a minute has passed since Start: one device in the
// first seconds would make hundreds an hour.
constexpr int64_t kFirstPaceAfterMs = 60'000;

} // namespace

void LineFigures::Start(int64_t nowMs)
{
    *this = LineFigures();
    m_startMs = nowMs;
}

void LineFigures::Ended(const TryResult& last, int64_t nowMs)
{
    switch (last.run.outcome) {
    case Outcome::Downloaded:
        ++m_done;
        if (last.tryNumber == 1)
            ++m_doneFirstTry;
        m_downloadMsTotal += last.elapsedMs;
        m_doneAtMs.push_back(nowMs);
        break;
    case Outcome::Cancelled:
        ++m_stopped;
        break;
    default:
        ++m_failed;
        break;
    }
    while (!m_doneAtMs.empty() && m_doneAtMs.front() <= nowMs - kHourMs)
        m_doneAtMs.pop_front();
}

std::optional<double> LineFigures::FirstPassYield() const
{
    const int judged = m_done + m_failed;
    if (judged == 0)
        return std::nullopt;
    return static_cast<double>(m_doneFirstTry) / judged;
}

// In the first hour the last hour is the time since Start; from then on, the downloads that
// ended less than an hour ago.
std::optional<double> LineFigures::PerHourLastHour(int64_t nowMs) const
{
    if (nowMs - m_startMs < kHourMs)
        return PerHourSinceStart(nowMs);
    int inLastHour = 0;
    for (const int64_t doneAt : m_doneAtMs)
        inLastHour += doneAt > nowMs - kHourMs ? 1 : 0;
    return static_cast<double>(inLastHour);
}

std::optional<double> LineFigures::PerHourSinceStart(int64_t nowMs) const
{
    const int64_t sinceStartMs = nowMs - m_startMs;
    if (sinceStartMs < kFirstPaceAfterMs)
        return std::nullopt;
    return static_cast<double>(m_done) * kHourMs / sinceStartMs;
}

std::optional<int64_t> LineFigures::MeanDownloadMs() const
{
    if (m_done == 0)
        return std::nullopt;
    return m_downloadMsTotal / m_done;
}
