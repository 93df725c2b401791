// Utility functions: Delay in virtual time, FormatHex, GetDirectory, FileExists.
#include "Misc.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

namespace {

using imagetest::TempDir;

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

TEST(FormatHexTest, Table)
{
    EXPECT_EQ(FormatHex(0, 4), "0000");
    EXPECT_EQ(FormatHex(0xA5, 4), "00A5");
    EXPECT_EQ(FormatHex(int16_t{-1}, 4), "FFFF");
    EXPECT_EQ(FormatHex(int16_t{-32768}, 4), "8000");
    EXPECT_EQ(FormatHex(uint16_t{0xBB3D}, 4), "BB3D");
    EXPECT_EQ(FormatHex(0x12345, 4), "12345"); // longer text is not cut
    EXPECT_EQ(FormatHex(int32_t{-1}, 4), "FFFFFFFF");
    EXPECT_EQ(FormatHex(int32_t{-6}, 4), "FFFFFFFA");
    EXPECT_EQ(FormatHex(uint32_t{0xDEADBEEF}, 0), "DEADBEEF");
    EXPECT_EQ(FormatHex(0, 0), "0");
    EXPECT_EQ(FormatHex(0, 1), "0");
    EXPECT_EQ(FormatHex(7, -3), "7");
    EXPECT_EQ(FormatHex(0x3FFFF, 6), "03FFFF");
    EXPECT_EQ(FormatHex(0xabc, 8), "00000ABC");
}

TEST(GetDirectoryTest, Table)
{
    struct Row
    {
        std::string path;
        std::string directory;
    };
    const Row rows[] = {
        {"C:\\Firmware\\app.mot", "C:\\Firmware"},
        {"C:\\app.mot", "C:"},
        {"", ""},
        {std::string("\0abc\\x", 6), ""},
        {"app.mot", ""}, // no separator
        {"\\app.mot", ""},
        {"C:\\a\\b\\", "C:\\a\\b"},
#ifndef _WIN32
        {"/home/user/fw/app.mot", "/home/user/fw"},
        {"/app.mot", ""},
        {"dir/sub\\x.mot", "dir/sub"}, // the last separator of either kind
        {"dir\\sub/x.mot", "dir\\sub"},
        {"/home/Jürgen/Prüfung 1/fw.mot", "/home/Jürgen/Prüfung 1"},
#endif
    };
    for (const Row& row : rows)
        EXPECT_EQ(GetDirectory(row.path), row.directory) << row.path;
}

TEST(FileExistsTest, Table)
{
    const TempDir dir;
    const auto file = dir.Write("fw.mot", "S9030000FC\n");
    const auto empty = dir.Write("empty.mot", "");
    const auto spaced = dir.Write("a folder/with spaces ü.mot", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(empty));
    EXPECT_TRUE(FileExists(spaced));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir.path() / "missing.mot"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path() / "a folder"));
}

TEST(FileExistsTest, NoReadPermission)
{
#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const TempDir dir;
    const auto file = dir.Write("locked.mot", "S9030000FC\n");
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_FALSE(FileExists(file));
#else
    GTEST_SKIP();
#endif
}

} // namespace
