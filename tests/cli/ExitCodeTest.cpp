// The exit code of several ports is the one of the device left in the worst state.
#include "Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(ExitCodeTest, WorstDeviceStateWinsWhateverTheOrder)
{
    // Worst first: programming began and failed, cancelled, then nothing was programmed.
    const std::vector<ExitCode> worstFirst = {
        ExitCode::DownloadFailed,  ExitCode::Cancelled,     ExitCode::BootloaderNotStarted,
        ExitCode::PortUnavailable, ExitCode::FileNotUsable, ExitCode::Ok};
    for (size_t i = 0; i < worstFirst.size(); ++i) {
        for (size_t j = 0; j < worstFirst.size(); ++j) {
            const ExitCode expected = worstFirst[std::min(i, j)];
            EXPECT_EQ(WorseOf(worstFirst[i], worstFirst[j]), expected) << i << " " << j;
        }
    }
}

} // namespace
