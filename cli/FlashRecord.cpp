#include "FlashRecord.h"

#include "EventSink.h"
#include "StopSignals.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

FlashRecord::FlashRecord(const RecordTarget& target, EventSink& reporter, const Firmware& firmware)
    : m_tries(target, reporter, firmware, Warn,
              [&reporter](const TryResult& result) { reporter.Outcome(result); })
{
}

int FlashRecord::End(StopSignals& stops, int exitCode)
{
    RecordSender::Left left;
    if (StopSignals::Requested())
        left = m_tries.Waiting();
    else // a stop meanwhile ends the program at once
        stops.EndAtOnceOnStopWhile(exitCode,
                                   [&] { left = m_tries.Deliver(TryRecord::kDeliverAtEndMs); });
    m_tries.WarnLeft(left);
    if (!m_tries.QuitSender(TryRecord::kSenderEndMs)) {
        // The sender is inside a call to the server, which returns at the server's time-outs
        // at the latest; a thread cannot be joined before, and Qt's globals must not be
        // destroyed under it. The output is written: end here without destroying anything.
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    return exitCode;
}

void FlashRecord::Warn(const QString& warning)
{
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    std::fprintf(stderr, "norvane-flash: warning: %s\n", qPrintable(warning));
}
