// The station's scheduling: jobs in the order plugged in, unplug while waiting and while
// running, a new device while the old run ends, and a stop with ports waiting and running.
// The runner is a test double: a run ends when the test ends it.
#include "Station.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

// Records the station's events as "event port" lines.
class EventLog : public StationEvents
{
public:
    void Status(const QString& port, const QString& text) override
    {
        lines << "status " + port + ": " + text;
    }
    void FileState(const QString&, const QString&) override {}
    void Progress(const QString&, const RunProgress&) override {}
    void Message(const QString&, const MessageBoxText&) override {}
    void Watching(const QString&, bool) override {}
    void LeftAlone(const QString& port) override { lines << "left alone " + port; }
    void Plugged(const QString& port, const QString&) override { lines << "plugged " + port; }
    void Started(const QString& port) override { lines << "started " + port; }
    void Ended(const TryResult& result, const StationCounts& counts) override
    {
        lines << "ended " + result.port + " " + OutcomeWord(result.run.outcome);
        last = counts;
    }
    void Unplugged(const QString& port) override { lines << "unplugged " + port; }
    void LineLost(const QString& port) override { lines << "line lost " + port; }
    void Stopped(const StationCounts& counts) override
    {
        lines << "stopped";
        last = counts;
    }

    QStringList lines;
    StationCounts last;
};

class HeldRuns : public PortRunner
{
public:
    void Start(const Port& port, std::function<bool()> keepTrying, Ended ended) override
    {
        running[port.name] = {port.heldThrough, std::move(keepTrying), std::move(ended)};
    }
    // Ends the run on port with outcome; returns whether it would still have tried again.
    bool End(const QString& port, Outcome outcome, int64_t elapsedMs = 1000,
             FailureKind reason = FailureKind::None)
    {
        Run run = running.at(port);
        running.erase(port);
        TryResult result;
        result.port = port;
        result.run.outcome = outcome;
        result.run.reason.kind = reason;
        result.elapsedMs = elapsedMs;
        const bool wouldRetry = run.keepTrying();
        run.ended(port, result);
        return wouldRetry;
    }

    struct Run
    {
        QString heldThrough;
        std::function<bool()> keepTrying;
        Ended ended;
    };
    std::map<QString, Run> running;
};

class StationTest : public ::testing::Test
{
protected:
    // A port the station may try again: a file that exists, as a link to a device would.
    QString Port(const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile(path).open(QIODevice::WriteOnly);
        return path;
    }

    QTemporaryDir dir;
    EventLog events;
    HeldRuns runs;
    int finishedWith = -1;
};

TEST_F(StationTest, RunsAtMostJobsAtOnceInTheOrderPluggedIn)
{
    Station station({2, false}, events, runs);
    const QString a = Port("a"), b = Port("b"), c = Port("c"), d = Port("d");
    for (const QString& port : {a, b, c, d})
        station.PortAppeared(port, port, false);
    EXPECT_EQ(runs.running.size(), 2u);
    EXPECT_TRUE(runs.running.count(a) && runs.running.count(b));

    station.PortDisappeared(c); // waiting: dropped, d moves up
    runs.End(b, Outcome::Downloaded);
    EXPECT_TRUE(runs.running.count(d));
    runs.End(a, Outcome::Failed);
    runs.End(d, Outcome::Downloaded, 3000);
    EXPECT_EQ(events.last.done, 2);
    EXPECT_EQ(events.last.failed, 1);
    EXPECT_EQ(events.last.MeanDownloadMs(), 2000);
    EXPECT_FALSE(events.lines.contains("started " + c));
}

TEST_F(StationTest, PresentPortsAreLeftAloneAndAFailedDeviceStaysFailedUntilUnplugged)
{
    Station station({0, false}, events, runs);
    const QString present = Port("present"), a = Port("a");
    station.PortAppeared(present, present, true);
    station.PortAppeared(a, a, false);
    runs.End(a, Outcome::Failed);
    station.PortAppeared(a, a, false); // the watcher reports the link again: still the same device
    EXPECT_TRUE(runs.running.empty());

    station.PortDisappeared(a);
    station.PortAppeared(a, a, false); // a new device
    EXPECT_TRUE(runs.running.count(a));
    EXPECT_TRUE(events.lines.contains("left alone " + present));
    EXPECT_FALSE(events.lines.contains("started " + present));
}

TEST_F(StationTest, UnplugStopsRetriesAndADeviceThatCameBackMeanwhileRunsAfresh)
{
    Station station({0, false}, events, runs);
    const QString a = Port("a");
    station.PortAppeared(a, a, false);
    station.PortDisappeared(a);
    station.PortAppeared(a, a, false); // replugged while the old run is still ending
    EXPECT_FALSE(runs.End(a, Outcome::Failed));
    EXPECT_TRUE(runs.running.count(a));
    EXPECT_EQ(events.lines.filter("started " + a).size(), 2);
    EXPECT_TRUE(runs.End(a, Outcome::Downloaded));
}

TEST_F(StationTest, StopDropsWaitingPortsAndFinishesWhenTheRunningOnesHaveEnded)
{
    Station station({1, false}, events, runs);
    QObject::connect(&station, &Station::Finished, [this](int code) { finishedWith = code; });
    const QString a = Port("a"), b = Port("b");
    station.PortAppeared(a, a, false);
    station.PortAppeared(b, b, false);

    station.Stop();
    EXPECT_TRUE(events.lines.contains("status " + b + ": not flashed: the station stopped first"));
    EXPECT_EQ(finishedWith, -1);
    const QString late = Port("late");
    station.PortAppeared(late, late, false);
    EXPECT_EQ(runs.running.size(), 1u);

    runs.End(a, Outcome::Cancelled);
    EXPECT_EQ(events.lines.last(), "stopped");
    EXPECT_EQ(events.last.cancelled, 1);
    EXPECT_EQ(finishedWith, 1);
}

TEST_F(StationTest, StopWithNothingFailedEndsWithZero)
{
    Station station({0, false}, events, runs);
    QObject::connect(&station, &Station::Finished, [this](int code) { finishedWith = code; });
    const QString a = Port("a");
    station.PortAppeared(a, a, false);
    runs.End(a, Outcome::Downloaded);
    station.Stop();
    EXPECT_EQ(finishedWith, 0);
}

TEST_F(StationTest, ASecondLinkToADeviceInUseIsRunAsHeldThroughTheFirst)
{
    Station station({0, false}, events, runs);
    const QString device = Port("ttyUSB0"), first = Port("first"), second = Port("second");
    station.PortAppeared(first, device, false);
    station.PortAppeared(second, device, false);
    EXPECT_EQ(runs.running.at(first).heldThrough, QString());
    EXPECT_EQ(runs.running.at(second).heldThrough, first);
}

// The device a link leads to, not the link's name, tells whether the port is still there: a
// name that is not UTF-8 is shown escaped and names no file.
TEST_F(StationTest, ALostLineWhoseLinkStaysWaitsToBeUnplugged)
{
    struct Case
    {
        FailureKind reason;
        bool unpluggedFirst;
        bool waits;
    };
    const Case cases[] = {
        {FailureKind::LineLost, false, true},
        {FailureKind::LineLost, true, false},
        {FailureKind::NoReply, false, false},
    };
    const QString port = dir.filePath(QStringLiteral("bad\\xff")), device = Port("ttyUSB0");
    for (const Case& c : cases) {
        events.lines.clear();
        Station station({0, false}, events, runs);
        station.PortAppeared(port, device, false);
        if (c.unpluggedFirst)
            station.PortDisappeared(port);
        EXPECT_EQ(runs.End(port, Outcome::Failed, 1000, c.reason), !c.unpluggedFirst);
        EXPECT_EQ(events.lines.contains("line lost " + port), c.waits);
    }
}

} // namespace
