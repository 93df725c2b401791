// norvane-flash info, run as the built binary: the figures of a known image, the JSON keys,
// the sample firmware, and the messages and exit code of files that do not load.
#include "Crc16.h"
#include "SRecordText.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <set>

#include <sys/stat.h>

namespace {

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun RunFlash(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(NORVANE_FLASH), args);
    ToolRun run;
    if (!process.waitForFinished(30000)) {
        ADD_FAILURE() << "norvane-flash did not finish";
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString Record(int type, uint32_t address, const QByteArray& data)
{
    return QString::fromStdString(
        srecords::Record(type, address, std::vector<uint8_t>(data.begin(), data.end())));
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QString& text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toLatin1());
    return path;
}

// The image of the documented download example: data at 0x0000 to 0x12FF and at 0x3000 to 0x30FF,
// every 128-byte step of those ranges non-blank. Also returns the image for the expected figures.
QString ExampleFile(QByteArray& image)
{
    image = QByteArray(0x40000, static_cast<char>(0xFF));
    QString text = QStringLiteral("S00600004844521B\r\n");
    auto add = [&](uint32_t from, uint32_t to) {
        for (uint32_t a = from; a <= to; a += 32) {
            QByteArray data(32, '\0');
            for (int i = 0; i < 32; ++i)
                data[i] = static_cast<char>((a + static_cast<uint32_t>(i) * 7) % 251);
            image.replace(static_cast<int>(a), 32, data);
            text += Record(2, a, data) + QStringLiteral("\r\n");
        }
    };
    add(0x0000, 0x12FF);
    add(0x3000, 0x30FF);
    text += QStringLiteral("S804000000FB\r\n");
    return text;
}

TEST(InfoCommandTest, JsonOfTheDocumentedDownloadExample)
{
    QTemporaryDir dir;
    QByteArray image;
    const QString file = WriteFile(dir, QStringLiteral("example.mot"), ExampleFile(image));
    const ToolRun run = RunFlash({QStringLiteral("info"), file, QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.constData();
    const QJsonObject json = document.object();
    const QStringList keys = json.keys();
    EXPECT_EQ(std::set<QString>(keys.begin(), keys.end()),
              (std::set<QString>{"result", "start", "end", "crc", "checksum16", "steps",
                                 "nonBlankSteps", "blocks", "header", "wireSeconds"}));

    const auto* bytes = reinterpret_cast<const uint8_t*>(image.constData());
    int32_t sum = 0;
    for (int a = 0x3000; a <= 0x30FF; ++a)
        sum += bytes[a];
    EXPECT_EQ(json["result"].toInt(), 0);
    EXPECT_EQ(json["start"].toInt(), 0);
    EXPECT_EQ(json["end"].toInt(), 0x30FF);
    EXPECT_EQ(json["crc"].toInt(), CalculateCrc(bytes, 0x3000, 0x30FF));
    EXPECT_EQ(json["checksum16"].toInt(), (-sum) & 0xFFFF);
    EXPECT_EQ(json["steps"].toInt(), 98); // the progress bar's maximum for this image is 98
    EXPECT_EQ(json["nonBlankSteps"].toInt(), 32 + 6 + 2);
    EXPECT_EQ(json["blocks"].toArray(), (QJsonArray{1, 2, 4}));
    EXPECT_TRUE(json["header"].toBool());
    // "# 017b", one poll and its reply, erase-and-program at 0, 31 steps of block 1, erase of
    // block 2 and its 6 steps, erase of block 4 and its 2 steps, header, replies and verify.
    const int bytesOnWire = 6 + 9 + 147 + 31 * 143 + 10 + 6 * 143 + 10 + 2 * 143 + 23;
    EXPECT_NEAR(json["wireSeconds"].toDouble(), bytesOnWire * 10.0 / 19200.0, 0.001);
}

TEST(InfoCommandTest, TextShowsTheCrcAsTheStatusBarDoes)
{
    QTemporaryDir dir;
    const QString file = WriteFile(dir, QStringLiteral("two.mot"),
                                   QStringLiteral("S1053000AABB65\r\nS9030000FC\r\n"));
    const ToolRun run = RunFlash({QStringLiteral("info"), file});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const uint8_t bytes[] = {0xAA, 0xBB};
    char crcLine[32];
    std::snprintf(crcLine, sizeof crcLine, "File: CRC - %04Xh", CalculateCrc(bytes, 0, 1));
    EXPECT_TRUE(run.out.contains(crcLine)) << run.out.constData();
    EXPECT_TRUE(run.out.contains("0x003000 to 0x003001")) << run.out.constData();
    EXPECT_TRUE(run.out.contains("Checksum:       FE9Bh")) << run.out.constData(); // -(0xAA+0xBB)
    EXPECT_TRUE(run.out.contains("Blocks erased:  4")) << run.out.constData();
    EXPECT_TRUE(run.out.contains("Header:         no")) << run.out.constData();
}

TEST(InfoCommandTest, ImageWithoutBlock1HasNoHeaderAndNoVerify)
{
    QTemporaryDir dir;
    const QString file = WriteFile(dir, QStringLiteral("app.mot"),
                                   Record(2, 0x3010, QByteArray(0x40, 'x')) + "\n" +
                                       Record(2, 0x3050, QByteArray(0x36, 'y')) + "\n");
    const ToolRun run = RunFlash({QStringLiteral("info"), QStringLiteral("--json"), file});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["start"].toInt(), 0x3010);
    EXPECT_EQ(json["end"].toInt(), 0x3085);
    EXPECT_EQ(json["steps"].toInt(), 2); // 0x3010 to 0x3085 makes two steps
    EXPECT_FALSE(json["header"].toBool());
    EXPECT_NEAR(json["wireSeconds"].toDouble(), (6 + 9 + 10 + 2 * 143) / 1920.0, 0.001);
}

TEST(InfoCommandTest, TheShippedSampleLoads)
{
    const QString sample = QStringLiteral(NORVANE_SOURCE_DIR "/samples/norvane-demo.mot");
    const ToolRun run = RunFlash({QStringLiteral("info"), sample, QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["result"].toInt(), 0);
    EXPECT_EQ(json["start"].toInt(), 0);
    EXPECT_TRUE(json["header"].toBool());
    EXPECT_GT(json["wireSeconds"].toDouble(), 5.0);
    EXPECT_LT(json["wireSeconds"].toDouble(), 15.0);
}

TEST(InfoCommandTest, FilesThatDoNotLoad)
{
    QTemporaryDir dir;
    const QString good = QStringLiteral("S1053000AABB65\n");
    struct Row
    {
        const char* name;
        QString path;
        int result;
        QByteArray says;
    };
    QDir(dir.path()).mkdir(QStringLiteral("folder.mot"));
    const QString fifo = dir.filePath(QStringLiteral("pipe.mot"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Row rows[] = {
        {"checksum error on line 3",
         WriteFile(dir, "sum.mot", good + good + "S1053000AABB66\n" + good), 2,
         "checksum error at line 3: the checksum does not match"},
        {"malformed line 2", WriteFile(dir, "bad.mot", good + "hello\n"), 1, "malformed at line 2"},
        {"FIFO", fifo, 1, "unreadable"},
        {"device node", QStringLiteral("/dev/null"), 1, "unreadable"},
        {"record past the image", WriteFile(dir, "past.mot", good + Record(2, 0x3FFFF, "ab")), 1,
         "malformed at line 2: data beyond the end of the flash"},
        {"missing file", dir.filePath("missing.mot"), 1, "unreadable"},
        {"folder", dir.filePath("folder.mot"), 1, "unreadable"},
        {"empty file", WriteFile(dir, "empty.mot", ""), 1, "unreadable: the file is empty"},
        {"no data", WriteFile(dir, "nodata.mot", "S9030000FC\n"), 1, "malformed: no data to load"},
        {"binary", WriteFile(dir, "bin.mot", QString(3000, QChar(1))), 1,
         "malformed at line 1: the line is longer than 1024 characters"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QElapsedTimer clock;
        clock.start();
        const ToolRun run = RunFlash({QStringLiteral("info"), row.path});
        EXPECT_LT(clock.elapsed(), 1000) << "a FIFO or device must not block the open";
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_TRUE(run.err.contains(row.says)) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();

        const ToolRun json = RunFlash({QStringLiteral("info"), row.path, QStringLiteral("--json")});
        EXPECT_EQ(json.exitCode, 3);
        EXPECT_EQ(QJsonDocument::fromJson(json.out).object()["result"].toInt(), row.result)
            << json.out.constData();
    }
}

// The later record wins, as in the window; info names both lines and the first address that
// changed, and --json adds the same as one key beside the usual ones.
TEST(InfoCommandTest, WarnsAboutRecordsThatOverwriteEachOther)
{
    QTemporaryDir dir;
    const QString file = WriteFile(dir, QStringLiteral("overlap.mot"),
                                   Record(2, 0x3000, "abcdefgh") + "\n" + Record(1, 0x4000, "x") +
                                       "\n" + Record(3, 0x3004, "eXgh") + "\n");
    const ToolRun run = RunFlash({QStringLiteral("info"), file});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(": warning: line 3 overwrites data of line 1 from address "
                                 "0x003005 (the later line wins)"))
        << run.err.constData();

    const ToolRun json = RunFlash({QStringLiteral("info"), file, QStringLiteral("--json")});
    const QJsonObject object = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(object.size(), 11);
    EXPECT_EQ(object["overlap"].toObject(),
              (QJsonObject{{"earlierLine", 1}, {"laterLine", 3}, {"address", 0x3005}}));
}

TEST(InfoCommandTest, NamesWithSpacesAndNonAsciiCharacters)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("Prüfung 1"));
    const QString file = WriteFile(dir, QStringLiteral("Prüfung 1/Größe fw.mot"),
                                   QStringLiteral("S1053000AABB65\r\n"));
    const ToolRun run = RunFlash({QStringLiteral("info"), file});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
}

// Every command's parsing: help, version, "--", short and long option forms, and usage
// errors that say what is wrong in one line and where the help is, nothing more.
TEST(CommandLineTest, ParsesAndRefusesAsPeopleExpect)
{
    QTemporaryDir dir;
    const QString noTty = dir.filePath(QStringLiteral("no-tty"));
    const QString dashFile = dir.filePath(QStringLiteral("-fw.mot"));
    struct Row
    {
        QStringList args;
        int exitCode;
        QByteArray says;
    };
    const Row rows[] = {
        {{"info", "--help"}, 0, "Usage: norvane-flash info FILE [--json]"},
        {{"--help"}, 0, "info"},
        {{"help", "flash"}, 0, "Usage: norvane-flash flash"},
        {{"help", "ports"}, 0, "Usage: norvane-flash ports"},
        {{"--version"}, 0, "norvane-flash"},
        {{}, 64, "no command given"},
        {{"info"}, 64, "no FILE given"},
        {{"info", "a.mot", "b.mot"}, 64, "only one FILE"},
        {{"info", "--bogus", "a.mot"}, 64, "unknown option"},
        {{"info", "--", "--json"}, 3, "--json"},
        {{"frobnicate"}, 64, "unknown command"},
        {{"help", "frobnicate"}, 64, "no such command"},
        {{"flash", "fw.mot"}, 64, "no port given"},
        {{"flash", "-pa", "-pa", "fw.mot"}, 64, "port a is given twice"},
        {{"flash", "--port", "a", "fw.mot", "fw2.mot"}, 64, "only one firmware file"},
        {{"ports", "extra"}, 64, "unexpected argument"},
        // The options commands share are refused alike (the forms: OptionTableTest).
        {{"flash", "-pa", "fw.mot", "--retries"}, 64, "--retries needs a value\n"},
        {{"station", "fw.mot", "--retries"}, 64, "--retries needs a value\n"},
        {{"station", "--jobs=0", "fw.mot"}, 64, "--jobs needs a whole number from 1 on"},
        // The port is taken from each form; the file after "--" is a file, not an option.
        {{"flash", "-p" + noTty, "--", dashFile}, 3, "-fw.mot"},
        // No trace replaces the record.
        {{"flash", "-pa", "--record", dir.filePath("r.sqlite"), "--trace", dir.filePath("r.sqlite"),
          "fw.mot"},
         64,
         "is the record"},
        {{"flash", "--port=" + noTty, "--json", "--", dashFile}, 3, "\"port\":null"},
    };
    for (const Row& row : rows) {
        const ToolRun run = RunFlash(row.args);
        const std::string args = row.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, row.exitCode) << args;
        EXPECT_TRUE(run.out.contains(row.says) || run.err.contains(row.says))
            << args << "\n"
            << run.out.constData() << run.err.constData();
        if (row.exitCode == 64) {
            EXPECT_TRUE(run.out.isEmpty()) << args;
            EXPECT_EQ(run.err.count('\n'), 2) << args << "\n" << run.err.constData();
            EXPECT_TRUE(run.err.contains("--help'")) << args;
        }
    }
}

} // namespace

namespace {

// flash --dry-run and info: the commands of a file with a blank block in the checked area, and
// no port is opened (one that does not exist is named, and the run still succeeds).
TEST(FlashDryRunTest, PrintsThePlanAndOpensNoPort)
{
    QTemporaryDir dir;
    const QString file =
        WriteFile(dir, QStringLiteral("gap.mot"),
                  Record(1, 0x0000, QByteArray(4, '\x11')) + QStringLiteral("\n") +
                      Record(2, 0x4010, QByteArray(4, '\x22')) + QStringLiteral("\nS9030000FC\n"));

    const ToolRun text =
        RunFlash({QStringLiteral("flash"), QStringLiteral("--dry-run"), QStringLiteral("--port"),
                  QStringLiteral("/dev/ttyNoSuch9"), file});
    ASSERT_EQ(text.exitCode, 0) << text.err.constData();
    const QStringList lines = QString::fromLatin1(text.out).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.mid(0, 4), QStringList({"erase-program 1 0x000000", "erase 4 blank", "erase 5",
                                            "program 0x004000"}));
    EXPECT_TRUE(lines.value(4).startsWith("header 0x004013 crc ")) << text.out.constData();

    const ToolRun json = RunFlash(
        {QStringLiteral("flash"), QStringLiteral("--dry-run"), QStringLiteral("--json"), file});
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    const QJsonObject plan = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(plan["commands"].toArray().size(), 5);
    EXPECT_TRUE(plan["commands"].toArray()[1].toObject()["blank"].toBool());
    EXPECT_EQ(plan["bytesToDevice"].toInt(), 6 + 7 + 139 + 6 + 6 + 139 + 17);

    const ToolRun info = RunFlash({QStringLiteral("info"), file});
    EXPECT_TRUE(info.out.contains("Blocks erased:  1 4 5\n")) << info.out.constData();
    EXPECT_TRUE(info.out.contains("Blank blocks:   4 (")) << info.out.constData();
}

} // namespace
