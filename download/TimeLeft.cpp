#include "TimeLeft.h"

#include "Protocol.h"

#include <algorithm>
#include <numeric>

TimeLeft::TimeLeft(const DownloadPlan& plan)
    : m_bytesThroughStep(static_cast<size_t>(plan.stepCount)),
      m_totalBytes(plan.programming.Total())
{
    for (const PlannedCommand& command : plan.commands)
        m_bytesThroughStep[static_cast<size_t>((command.address - plan.firstStep) / kStepSize)] +=
            CommandBytes(command.kind).Total();
    std::partial_sum(m_bytesThroughStep.begin(), m_bytesThroughStep.end(),
                     m_bytesThroughStep.begin());
}

int64_t TimeLeft::RemainingMs(int stepsDone, int64_t elapsedMs) const
{
    const size_t steps =
        std::min(static_cast<size_t>(std::max(stepsDone, 0)), m_bytesThroughStep.size());
    const int64_t done = steps > 0 ? m_bytesThroughStep[steps - 1] : 0;
    const int64_t left = m_totalBytes - done;
    if (done == 0 || elapsedMs <= 0)
        return LineMilliseconds(left);
    return elapsedMs * left / done;
}
