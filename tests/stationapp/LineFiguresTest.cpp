// The line's figures over made-up clocks: what counts towards the yield, and the pace per
// hour before and after the first hour.
#include "LineFigures.h"
#include "TileResults.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

constexpr int64_t kMinute = 60'000;
constexpr int64_t kHour = 60 * kMinute;

struct Device
{
    TryResult last;
    int64_t endedAtMs;
};

struct FiguresCase
{
    const char* name;
    std::vector<Device> devices;
    int64_t nowMs;
    int done, failed, stopped;
    std::optional<double> yield;
    std::optional<double> perHourLastHour;
    std::optional<double> perHourSinceStart;
    std::optional<int64_t> meanDownloadMs;
};

TryResult Done(int tryNumber, int64_t elapsedMs = 40'000)
{
    return DownloadedTry(QStringLiteral("p"), tryNumber, elapsedMs);
}

TryResult Failed()
{
    return FailedTry(QStringLiteral("p"), 3, FailureKind::NoReply);
}

TryResult Stopped()
{
    return StoppedTry(QStringLiteral("p"));
}

const std::vector<FiguresCase> kCases = {
    {"NoDeviceYet", {}, kMinute, 0, 0, 0, std::nullopt, 0.0, 0.0, std::nullopt},
    {"PaceNotToldInTheFirstMinute",
     {{Done(1), 10'000}},
     30'000,
     1,
     0,
     0,
     1.0,
     std::nullopt,
     std::nullopt,
     40'000},
    {"YieldCountsRetriesAndFailuresButNotStops",
     {{Done(1, 40'000), kMinute},
      {Done(2, 60'000), 2 * kMinute},
      {Failed(), 3 * kMinute},
      {Stopped(), 4 * kMinute}},
     6 * kMinute,
     2,
     1,
     1,
     1.0 / 3,
     20.0,
     20.0,
     50'000},
    {"OnlyStoppedGivesNoYield",
     {{Stopped(), kMinute}},
     2 * kMinute,
     0,
     0,
     1,
     std::nullopt,
     0.0,
     0.0,
     std::nullopt},
    {"FirstHourIsThePaceSinceStart",
     {{Done(1), 10 * kMinute}, {Done(1), 20 * kMinute}, {Done(1), 30 * kMinute}},
     30 * kMinute,
     3,
     0,
     0,
     1.0,
     6.0,
     6.0,
     40'000},
    {"AfterAnHourOnlyTheLastHourCounts",
     {{Done(1), 10 * kMinute},
      {Done(1), 20 * kMinute},
      {Done(1), 30 * kMinute},
      {Done(1), 40 * kMinute},
      {Done(1), 90 * kMinute},
      {Done(1), 100 * kMinute}},
     2 * kHour,
     6,
     0,
     0,
     1.0,
     2.0,
     3.0,
     40'000},
    {"ADownloadExactlyAnHourAgoIsOut",
     {{Done(1), kHour}},
     2 * kHour,
     1,
     0,
     0,
     1.0,
     0.0,
     0.5,
     40'000},
};

class LineFiguresTest : public testing::TestWithParam<FiguresCase>
{
};

TEST_P(LineFiguresTest, Figures)
{
    const FiguresCase& c = GetParam();
    constexpr int64_t kStartMs = 5'000'000; // any clock: figures count from Start
    LineFigures figures;
    figures.Start(kStartMs);
    for (const Device& device : c.devices)
        figures.Ended(device.last, kStartMs + device.endedAtMs);
    const int64_t now = kStartMs + c.nowMs;

    EXPECT_EQ(figures.Done(), c.done);
    EXPECT_EQ(figures.Failed(), c.failed);
    EXPECT_EQ(figures.Stopped(), c.stopped);
    const auto near = [](std::optional<double> actual, std::optional<double> expected) {
        return actual.has_value() == expected.has_value() &&
               (!actual || std::abs(*actual - *expected) < 1e-9);
    };
    EXPECT_TRUE(near(figures.FirstPassYield(), c.yield));
    EXPECT_TRUE(near(figures.PerHourLastHour(now), c.perHourLastHour));
    EXPECT_TRUE(near(figures.PerHourSinceStart(now), c.perHourSinceStart));
    EXPECT_EQ(figures.MeanDownloadMs(), c.meanDownloadMs);
}

INSTANTIATE_TEST_SUITE_P(Line, LineFiguresTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineFigures, StartForgetsTheRunBefore)
{
    LineFigures figures;
    figures.Start(0);
    figures.Ended(Done(1), kMinute);
    figures.Ended(Failed(), kMinute);
    figures.Start(kHour);

    EXPECT_EQ(figures.Done() + figures.Failed() + figures.Stopped(), 0);
    EXPECT_FALSE(figures.FirstPassYield());
    EXPECT_EQ(figures.PerHourLastHour(kHour + kMinute), 0.0);
}

} // namespace
