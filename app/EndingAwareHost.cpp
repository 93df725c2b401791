#include "EndingAwareHost.h"

void EndingAwareHost::ProcessEvents(int32_t maxWaitMs)
{
    if (m_ending)
        throw ProgramEnding();
    m_inner.ProcessEvents(maxWaitMs);
    // The events just handled may have ended the program (the close box, File > Exit).
    if (m_ending)
        throw ProgramEnding();
}
