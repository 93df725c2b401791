// The event sinks of flash and station: the same short sequences of events through JSON lines,
// plain lines and the live table, each written to files and compared whole: the JSON keys'
// order, progress every tenth of the way and never 100 % before the last step, and text from
// outside with its control characters shown.
#include "JsonLineSink.h"
#include "LiveTableSink.h"
#include "PlainLineSink.h"
#include "ProgressText.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <memory>

namespace {

TryResult Try(const QString& port, const RunResult& run, const QString& detail, int64_t elapsedMs)
{
    TryResult summary;
    summary.port = port;
    summary.run = run;
    summary.detail = detail;
    summary.elapsedMs = elapsedMs;
    return summary;
}

class FixedClock : public SinkClock
{
public:
    int64_t Ms() const override { return ms; }
    QString TimeOfDay() const override { return QStringLiteral("14:02:11"); }
    int64_t ms = 0;
};

// The output of a sink, written through its queue to two temporary files.
struct Capture
{
    OutputQueue queue;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    FixedClock clock;

    ~Capture()
    {
        queue.Close();
        std::fclose(out);
        std::fclose(err);
    }
    static QString Read(std::FILE* file)
    {
        QByteArray bytes(static_cast<qsizetype>(std::ftell(file)), '\0');
        std::rewind(file);
        EXPECT_EQ(std::fread(bytes.data(), 1, static_cast<size_t>(bytes.size()), file),
                  static_cast<size_t>(bytes.size()));
        return QString::fromLocal8Bit(bytes);
    }
};

// What a terminal shows after the live table's bytes: "\x1b[nA" moves the cursor n lines up
// (no further than the top), "\r\x1b[J" clears from the start of its line down. Spaces at the
// end of a line show nothing and are left out.
QString Screen(const QString& bytes)
{
    QStringList lines{QString()};
    qsizetype row = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.mid(i, 4) == QLatin1String("\r\x1b[J")) {
            lines = lines.mid(0, row + 1);
            lines[row].clear();
            i += 3;
        } else if (bytes[i] == u'\x1b') {
            const qsizetype up = bytes.indexOf(u'A', i);
            row = std::max<qsizetype>(0, row - bytes.mid(i + 2, up - i - 2).toInt());
            i = up;
        } else if (bytes[i] == u'\n') {
            if (++row == lines.size())
                lines.append(QString());
        } else {
            lines[row] += bytes[i];
        }
    }
    for (QString& line : lines) {
        while (line.endsWith(u' '))
            line.chop(1);
    }
    return lines.join(u'\n');
}

const QString kPort = QStringLiteral("/dev/ttyUSB0");
// A link named to clear the screen, turn the line around and start a command sequence.
const QString kLink = QStringLiteral("/dev/serial/by-id/usb-\x1b[2J\u202e\u009b");

// flash on one port: the load stage, progress with the window's rounded percentages, a message
// box naming a file with an escape sequence in its name, the outcome of the README's example.
void FlashEvents(EventSink& sink, FixedClock& clock)
{
    sink.Status(QString(), QStringLiteral("Loading the firmware file..."));
    sink.Started(kPort);
    sink.Status(kPort, QStringLiteral("Attempting to start BootLoader..."));
    for (const RunProgress& progress :
         {RunProgress{0, 200, 0, 0, 160000}, RunProgress{1, 200, 1, 800, 159200},
          RunProgress{20, 200, 10, 16000, 144000}, RunProgress{21, 200, 11, 16800, 143200},
          RunProgress{199, 200, 100, 159200, 800}, RunProgress{200, 200, 100, 160000, 0}})
        sink.Progress(kPort, progress);
    sink.Message(kPort, {QStringLiteral("Could not start\nthe Bootloader!"), MessageKind::Error,
                         QString(), QStringLiteral("fw\x1b[2J.mot")});
    clock.ms = 412;
    FailureReason reason{FailureKind::WrongReply, 0x02, -1, 4, 2, 2, 9};
    sink.Outcome(Try(kPort, RunResult::Failure(reason),
                     QStringLiteral("The device replied with code 9 to the erase command (block 4) "
                                    "where code 2 was due."),
                     412));
    sink.Finish();
}

// The station: a port left alone, one plugged in and out again, one plugged in through a link
// whose name holds an escape sequence and downloaded, and the station stopped.
void StationEvents(EventSink& sink, FixedClock& clock)
{
    const QString other = QStringLiteral("/dev/serial/by-id/usb-B");
    sink.Watching(QStringLiteral("/dev/serial/by-id"), true);
    sink.LeftAlone(QStringLiteral("/dev/serial/by-id/present"));
    sink.Plugged(other, QString());
    sink.Unplugged(other);
    sink.Plugged(kLink, QStringLiteral("A6008isP"));
    sink.Started(kLink);
    sink.Status(kLink, QStringLiteral("Attempting to start BootLoader..."));
    sink.Progress(kLink, {100, 200, 50, 20000, 20000});
    sink.Progress(kLink, {200, 200, 100, 40000, 0});
    clock.ms = 163100;
    const TryResult summary = Try(kLink, {Outcome::Downloaded, true, {}, nullptr},
                                  QStringLiteral("verified by the device, CRC 20A1h"), 163100);
    sink.Outcome(summary);
    const StationCounts counts{1, 0, 0, 0, 0, 163100};
    sink.Ended(summary, counts);
    sink.Stopped(counts);
}

// Both interfaces of a dual adapter, their names too long for an 80-column line, and a link
// whose name holds a line break.
void DualAdapterEvents(EventSink& sink, FixedClock&)
{
    const QString adapter = QStringLiteral("/dev/serial/by-id/usb-FTDI_Dual_RS232-HS_A6008isP-if0");
    for (const QString& port :
         {adapter + QStringLiteral("0-port0"), adapter + QStringLiteral("1-port0"),
          QStringLiteral("/dev/serial/by-id/two\nlines")}) {
        sink.Plugged(port, QString());
        sink.Started(port);
    }
    sink.Finish();
}

enum class Sink
{
    Json,
    FlashPlain,
    StationPlain,
    Live,
};

struct SinkRow
{
    const char* name;
    void (*events)(EventSink&, FixedClock&);
    Sink sink;
    const char* out; // for the live table: the screen it leaves
    const char* err;
};

void PrintTo(const SinkRow& row, std::ostream* os)
{
    *os << row.name;
}

const SinkRow kRows[] = {
    {"FlashJson", FlashEvents, Sink::Json,
     R"-({"event":"status","port":null,"text":"Loading the firmware file..."}
{"event":"status","port":"/dev/ttyUSB0","text":"Attempting to start BootLoader..."}
{"event":"progress","port":"/dev/ttyUSB0","value":0,"maximum":200,"percent":0,"elapsed_ms":0,"remaining_ms":160000}
{"event":"progress","port":"/dev/ttyUSB0","value":1,"maximum":200,"percent":1,"elapsed_ms":800,"remaining_ms":159200}
{"event":"progress","port":"/dev/ttyUSB0","value":20,"maximum":200,"percent":10,"elapsed_ms":16000,"remaining_ms":144000}
{"event":"progress","port":"/dev/ttyUSB0","value":21,"maximum":200,"percent":11,"elapsed_ms":16800,"remaining_ms":143200}
{"event":"progress","port":"/dev/ttyUSB0","value":199,"maximum":200,"percent":100,"elapsed_ms":159200,"remaining_ms":800}
{"event":"progress","port":"/dev/ttyUSB0","value":200,"maximum":200,"percent":100,"elapsed_ms":160000,"remaining_ms":0}
{"event":"message","port":"/dev/ttyUSB0","title":"Tessary Norvane Upgrader","text":"Could not start the Bootloader!","detail":"fw\u001b[2J.mot"}
{"event":"outcome","port":"/dev/ttyUSB0","outcome":"failed","exit_code":1,"verified":false,"reason":"wrong-reply","command":"erase","address":null,"block":4,"reply":2,"expected_code":2,"received_code":9,"detail":"The device replied with code 9 to the erase command (block 4) where code 2 was due.","elapsed_ms":412}
)-",
     ""},
    {"FlashPlain", FlashEvents, Sink::FlashPlain,
     R"-(Loading the firmware file...
Attempting to start BootLoader...
0 % (0/200 steps, 00:00 elapsed, 02:40 left)
10 % (20/200 steps, 00:16 elapsed, 02:24 left)
99 % (199/200 steps, 02:39 elapsed, 00:00 left)
100 % (200/200 steps, 02:40 elapsed, 00:00 left)
/dev/ttyUSB0: download failed - The device replied with code 9 to the erase command (block 4) where code 2 was due. (00:00)
)-",
     R"-(Tessary Norvane Upgrader: Could not start the Bootloader! fw\x1b[2J.mot
)-"},
    {"FlashLive", FlashEvents, Sink::Live,
     R"-(14:02:11 Loading the firmware file...
14:02:11 /dev/ttyUSB0: Tessary Norvane Upgrader: Could not start the Bootloader! fw\x1b[2J.mot
14:02:11 /dev/ttyUSB0: download failed - The device replied with code 9 to the erase command (block 4) where code 2 was due. (00:00)
PORT          STATE    PROGRESS                      ELAPSED  LEFT   OUTCOME
/dev/ttyUSB0  failed   [####################] 100 %  00:00           download f
)-",
     ""},
    {"StationJson", StationEvents, Sink::Json,
     R"-({"event":"status","port":null,"text":"Watching /dev/serial/by-id for new ports (Ctrl-C stops)"}
{"event":"status","port":"/dev/serial/by-id/present","text":"there before the station started, left alone (--include-present flashes it)"}
{"event":"status","port":"/dev/serial/by-id/usb-B","text":"plugged in"}
{"event":"status","port":"/dev/serial/by-id/usb-B","text":"unplugged"}
{"event":"status","port":"/dev/serial/by-id/usb-\u001b[2J\u202e\u009b","text":"plugged in (adapter A6008isP)"}
{"event":"status","port":"/dev/serial/by-id/usb-\u001b[2J\u202e\u009b","text":"Attempting to start BootLoader..."}
{"event":"progress","port":"/dev/serial/by-id/usb-\u001b[2J\u202e\u009b","value":100,"maximum":200,"percent":50,"elapsed_ms":20000,"remaining_ms":20000}
{"event":"progress","port":"/dev/serial/by-id/usb-\u001b[2J\u202e\u009b","value":200,"maximum":200,"percent":100,"elapsed_ms":40000,"remaining_ms":0}
{"event":"outcome","port":"/dev/serial/by-id/usb-\u001b[2J\u202e\u009b","outcome":"downloaded","exit_code":0,"verified":true,"detail":"verified by the device, CRC 20A1h","elapsed_ms":163100}
{"event":"status","port":null,"text":"Station stopped: 1 done, 0 failed, 0 stopped, 0 running, 0 waiting; mean download time 163.1 s"}
)-",
     ""},
    {"StationPlain", StationEvents, Sink::StationPlain,
     R"-(14:02:11 Watching /dev/serial/by-id for new ports (Ctrl-C stops)
14:02:11 /dev/serial/by-id/present: there before the station started, left alone (--include-present flashes it)
14:02:11 /dev/serial/by-id/usb-B: plugged in
14:02:11 /dev/serial/by-id/usb-B: unplugged
14:02:11 /dev/serial/by-id/usb-\x1b[2J\u202e\x9b: plugged in (adapter A6008isP)
14:02:11 /dev/serial/by-id/usb-\x1b[2J\u202e\x9b: Attempting to start BootLoader...
14:02:11 /dev/serial/by-id/usb-\x1b[2J\u202e\x9b: 50 % (100/200 steps, 00:20 elapsed, 00:20 left)
14:02:11 /dev/serial/by-id/usb-\x1b[2J\u202e\x9b: 100 % (200/200 steps, 00:40 elapsed, 00:00 left)
14:02:11 /dev/serial/by-id/usb-\x1b[2J\u202e\x9b: downloaded - verified by the device, CRC 20A1h (02:43)
14:02:11 Station stopped: 1 done, 0 failed, 0 stopped, 0 running, 0 waiting; mean download time 163.1 s
)-",
     ""},
    {"StationLive", StationEvents, Sink::Live,
     R"-(14:02:11 Watching /dev/serial/by-id for new ports (Ctrl-C stops)
14:02:11 /dev/serial/by-id/present: there before the station started, left alone (--include-present flashes it)
14:02:11 /dev/serial/by-id/usb-B: unplugged
14:02:11 /dev/serial/by-id/usb-\x1b[2J\u202e\x9b: downloaded - verified by the device, CRC 20A1h (02:43)
PORT          ADAPTER   STATE    PROGRESS                      ELAPSED  LEFT
…J\u202e\x9b  A6008isP  done     [####################] 100 %  02:43
1 done, 0 failed, 0 stopped, 0 running, 0 waiting; mean download time 163.1 s
Station stopped: 1 done, 0 failed, 0 stopped, 0 running, 0 waiting; mean download time 163.1 s
)-",
     ""},
    {"DualAdapterLive", DualAdapterEvents, Sink::Live,
     R"-(PORT          STATE    PROGRESS                      ELAPSED  LEFT   OUTCOME
…-if00-port0  running                                00:00
…-if01-port0  running                                00:00
…/two\nlines  running                                00:00
)-",
     ""},
};

class EventSinkTest : public testing::TestWithParam<SinkRow>
{
};

TEST_P(EventSinkTest, WritesTheEventsExactly)
{
    static int argc = 1;
    static char name[] = "cli_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv); // for the live table's timer
    const SinkRow& row = GetParam();
    Capture capture;
    std::unique_ptr<EventSink> sink;
    switch (row.sink) {
    case Sink::Json:
        sink = std::make_unique<JsonLineSink>(capture.queue, capture.out);
        break;
    case Sink::FlashPlain:
        sink =
            std::make_unique<PlainLineSink>(capture.queue, capture.out, capture.err,
                                            PlainLineStyle{false, false, {kPort}}, capture.clock);
        break;
    case Sink::StationPlain:
        sink = std::make_unique<PlainLineSink>(capture.queue, capture.out, capture.err,
                                               PlainLineStyle{true, true, {}}, capture.clock);
        break;
    case Sink::Live:
        sink = std::make_unique<LiveTableSink>(capture.queue, capture.out, capture.clock);
        break;
    }
    row.events(*sink, capture.clock);
    capture.queue.Close();
    const QString out = Capture::Read(capture.out);
    EXPECT_EQ((row.sink == Sink::Live ? Screen(out) : out).toStdString(), row.out);
    EXPECT_EQ(Capture::Read(capture.err).toStdString(), row.err);
}

INSTANTIATE_TEST_SUITE_P(Sinks, EventSinkTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<SinkRow>& info) {
                             return std::string(info.param.name);
                         });

// A port whose line was lost keeps its row failed, the row saying what the port waits for.
TEST(LiveTableSinkTest, ALostLineLeavesItsRowFailedWaitingToBeUnplugged)
{
    Capture capture;
    LiveTableSink sink(capture.queue, capture.out, capture.clock);
    const QString port = QStringLiteral("a");
    sink.Plugged(port, QString());
    sink.Started(port);
    sink.Outcome(Try(port, RunResult::Failure({FailureKind::LineLost}), QString(), 0));
    sink.LineLost(port);
    sink.Finish();
    capture.queue.Close();
    const QString row = Screen(Capture::Read(capture.out)).split(u'\n').filter("a  ").last();
    EXPECT_TRUE(row.contains("failed") && row.contains("line lost;")) << row.toStdString();
}

TEST(ProgressBarTest, ReachesOneHundredPercentOnlyWithTheLastStep)
{
    EXPECT_EQ(ProgressBar(0, 200, 20), QStringLiteral("[--------------------]   0 %"));
    EXPECT_EQ(ProgressBar(199, 200, 20), QStringLiteral("[###################-]  99 %"));
    EXPECT_EQ(ProgressBar(200, 200, 20), QStringLiteral("[####################] 100 %"));
}

} // namespace
