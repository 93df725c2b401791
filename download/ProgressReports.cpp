#include "ProgressReports.h"

#include "Protocol.h"

#include <cstddef>

ProgressReports::ProgressReports(const DownloadPlan& plan)
    : m_sends(static_cast<size_t>(plan.stepCount), false)
{
    for (const PlannedCommand& command : plan.commands)
        m_sends[static_cast<size_t>((command.address - plan.firstStep) / kStepSize)] = true;
}

bool ProgressReports::Due(int stepsDone) const
{
    if (stepsDone <= 0 || static_cast<size_t>(stepsDone) >= m_sends.size())
        return true;
    const auto step = static_cast<size_t>(stepsDone - 1);
    return m_sends[step] || m_sends[step + 1];
}
