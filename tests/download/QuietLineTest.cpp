// The wait before a try again, in virtual time: until the line has been quiet, at most until
// the limit, and never past a stop.
#include "QuietLine.h"

#include "SimulatedPort.h"
#include "VirtualHost.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct QuietCase
{
    const char* name;
    std::vector<int64_t> byteAtMs; // a byte arrives from the device at each of these times
    int64_t stopAtMs;              // -1: no stop; raised while the wait lets events run
    int64_t endsAtMs;
    bool quiet;
};

std::vector<int64_t> EverySecondFor(int64_t durationMs)
{
    std::vector<int64_t> times;
    for (int64_t at = 0; at < durationMs; at += 1000)
        times.push_back(at);
    return times;
}

TEST(QuietLineTest, WaitsForSilenceAndDiscardsWhatCame)
{
    const QuietCase cases[] = {
        {"silent line", {}, -1, kQuietLineMs, true},
        {"last reply at 3.2 s", {3000, 3200}, -1, 3200 + kQuietLineMs, true},
        {"device that keeps talking", EverySecondFor(60000), -1, kQuietLineLimitMs, true},
        {"stop while waiting", {1000}, 2000, 2000 + kPollTimeoutMs, false},
    };
    for (const QuietCase& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualHost host;
        SimulatedPort port(host);
        ASSERT_TRUE(port.Open());
        std::atomic<bool> stop{false};
        for (const int64_t at : c.byteAtMs)
            host.Schedule(at, [&port] { port.Inject(QByteArray(1, '\x7E')); });
        host.OnProcessEvents([&](int64_t) {
            if (c.stopAtMs >= 0 && host.NowMs() >= c.stopAtMs)
                stop = true;
        });

        EXPECT_EQ(WaitForQuietLine(port, host, stop), c.quiet);
        EXPECT_EQ(host.NowMs(), c.endsAtMs);
        EXPECT_EQ(port.InBufferCount(), 0);
    }
}

} // namespace
