// Delay in virtual time and across wraps of the 32-bit tick count.
#include "Delay.h"

#include "VirtualHost.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

TEST(DelayTest, ZeroYieldsOnceAndReturns)
{
    VirtualHost host(1000);
    Delay(host, 0);
    EXPECT_EQ(host.ProcessEventsCalls(), 1);
    EXPECT_EQ(host.NowMs(), 0); // it let events run without waiting
}

TEST(DelayTest, NegativeYieldsOnceAndReturns)
{
    VirtualHost host(1000);
    Delay(host, -50);
    EXPECT_EQ(host.ProcessEventsCalls(), 1);
}

TEST(DelayTest, PassesTheRemainingTimeSoTheHostCanSleep)
{
    VirtualHost host;
    Delay(host, 50);
    EXPECT_EQ(host.ProcessEventsCalls(), 1); // one wait of the whole 50 ms
    EXPECT_EQ(host.NowMs(), 50);
}

// A host whose every yield advances the clock by a fixed step, whatever time it is allowed
// (events keep arriving, so it never sleeps the whole remaining time).
class FixedStepHost : public Host
{
public:
    FixedStepHost(int32_t start, int32_t step) : now(start), step(step) {}
    int32_t TickCount() override { return now; }
    void ProcessEvents(int32_t) override
    {
        ++yields;
        now = static_cast<int32_t>(static_cast<uint32_t>(now) + static_cast<uint32_t>(step));
    }
    int32_t now;
    int32_t step;
    int yields = 0;
};

// The clock starts at many points, including just before the 32-bit count turns negative
// (24.8 days) and just before it wraps to 0 (49.7 days). The wait ends after its time, not
// at once and not never.
TEST(DelayTest, EndsAfterItsTimeAcrossTickWraps)
{
    struct Row
    {
        const char* name;
        int32_t start;
    };
    const Row starts[] = {{"zero", 0},
                          {"before turning negative", INT32_MAX - 10},
                          {"at INT32_MAX", INT32_MAX},
                          {"negative", INT32_MIN + 3},
                          {"before wrapping to 0", -5},
                          {"at -1", -1}};
    const int32_t delays[] = {1, 20, 50, 1000, 7500};
    const int32_t steps[] = {1, 3, 16, 100};
    for (const Row& start : starts) {
        for (int32_t ms : delays) {
            for (int32_t step : steps) {
                FixedStepHost host(start.start, step);
                Delay(host, ms);
                const uint32_t elapsed =
                    static_cast<uint32_t>(host.now) - static_cast<uint32_t>(start.start);
                const auto where = ::testing::Message()
                                   << start.name << ", " << ms << " ms, step " << step;
                EXPECT_GE(elapsed, static_cast<uint32_t>(ms)) << where;
                EXPECT_LT(elapsed, static_cast<uint32_t>(ms + step)) << where;
                EXPECT_EQ(host.yields, (ms + step - 1) / step) << where;
            }
        }
    }
}

TEST(DelayTest, SleepingHostWaitsOnceAcrossTheWrap)
{
    VirtualHost host(-20); // 20 ms before the count wraps to 0
    Delay(host, 50);
    EXPECT_EQ(host.ProcessEventsCalls(), 1);
    EXPECT_EQ(host.TickCount(), 30);
}

} // namespace
