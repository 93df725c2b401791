#include "EventLoopHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(EventLoopHostTest, AWaitEndsWhenAnEventArrives)
{
    EventLoopHost host;
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    while (!fired && clock.elapsed() < 5000)
        host.ProcessEvents(5000);
    EXPECT_TRUE(fired);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(EventLoopHostTest, AWaitWithoutEventsSleepsUntilItsTime)
{
    EventLoopHost host;
    const int32_t start = host.TickCount();
    int calls = 0;
    while (host.TickCount() - start < 30) {
        host.ProcessEvents(30 - (host.TickCount() - start));
        ++calls;
    }
    EXPECT_LT(calls, 5); // a spinning wait would take thousands of calls
    EXPECT_LT(host.TickCount() - start, 1000);
}

TEST(EventLoopHostTest, ZeroWaitOnlyDispatchesWhatIsPending)
{
    EventLoopHost host;
    bool ran = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { ran = true; }, Qt::QueuedConnection);
    const int32_t start = host.TickCount();
    host.ProcessEvents(0);
    EXPECT_TRUE(ran);
    EXPECT_LT(host.TickCount() - start, 20);
}

} // namespace
