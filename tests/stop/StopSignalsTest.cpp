// Stop signals raised in the test process: the first reaches the main thread's event loop
// once, a second ends the program at once, and a stop ends it once the runs have ended.
#include "StopSignals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

void RunEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(StopSignalsTest, TheFirstStopReachesTheMainThreadOnce)
{
    const struct
    {
        std::vector<int> raised;
        int stopped;
    } rows[] = {
        {{SIGTERM}, SIGTERM},
        {{SIGINT}, SIGINT},
        {{SIGHUP, SIGHUP}, SIGHUP}, // a closing terminal may hang up twice
    };
    for (const auto& row : rows) {
        StopSignals stops;
        std::vector<int> stopped;
        QObject::connect(&stops, &StopSignals::Stopped,
                         [&](int number) { stopped.push_back(number); });
        for (const int number : row.raised)
            std::raise(number);
        EXPECT_FALSE(StopSignals::Requested()); // until the main thread has taken it
        RunEventsFor(50);
        EXPECT_EQ(stopped, std::vector<int>{row.stopped});
        EXPECT_TRUE(StopSignals::Requested());
    }
}

TEST(StopSignalsDeathTest, ASecondStopEndsAtOnceWith128PlusItsNumberAndItsNote)
{
    const struct
    {
        std::vector<int> raised;
        const char* note;
        int exitCode;
        const char* written;
    } rows[] = {
        {{SIGTERM, SIGINT}, nullptr, 128 + SIGINT, "^$"},
        {{SIGHUP, SIGHUP, SIGTERM}, "half done", 128 + SIGTERM, "^half done$"},
        {{SIGINT}, "half done", 128 + SIGINT, "^went on$"}, // a first stop says nothing
    };
    for (const auto& row : rows) {
        EXPECT_EXIT(
            {
                StopSignals stops;
                StopSignals::SetSecondStopNote(row.note);
                for (const int number : row.raised)
                    std::raise(number);
                std::fputs("went on", stderr);
                std::_Exit(128 + SIGINT);
            },
            testing::ExitedWithCode(row.exitCode), row.written);
    }
}

TEST(StopSignalsDeathTest, OnceTheRunsHaveEndedAStopEndsTheProgram)
{
    EXPECT_EXIT(
        {
            StopSignals stops;
            stops.EndAtOnceOnStop(74);
            std::raise(SIGTERM);
            RunEventsFor(3000);
        },
        testing::ExitedWithCode(74), "");
    // A stop that came while the runs were ending, not yet taken by the main thread: the
    // output gets a second to take what is left.
    EXPECT_EXIT(
        {
            StopSignals stops;
            std::raise(SIGTERM);
            stops.EndAtOnceOnStop(2);
            RunEventsFor(900);
            std::fputs("still running\n", stderr);
            RunEventsFor(3000);
        },
        testing::ExitedWithCode(2), "still running");
    // The same while the output's last lines wait for a reader that takes no more.
    EXPECT_EXIT(
        {
            StopSignals stops;
            std::raise(SIGTERM);
            stops.EndAtOnceOnStopWhile(1,
                                       [] { std::this_thread::sleep_for(std::chrono::hours(1)); });
        },
        testing::ExitedWithCode(1), "");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
