// The Qt serial port end to end: norvane-devsim serves the virtual device on a real
// pseudo-terminal, the test drives it through QtSerialPort, SerialTransport and Bootloader.
#include "QtSerialPort.h"
#include "Bootloader.h"
#include "Crc16.h"
#include "EventLoopHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

#include <sys/stat.h>

namespace {

// norvane-devsim in a child process, ended when the test ends.
class Devsim
{
public:
    explicit Devsim(const QStringList& arguments)
    {
        m_process.start(QStringLiteral(NORVANE_DEVSIM),
                        QStringList{QStringLiteral("--handover"), QStringLiteral("20")} +
                            arguments);
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000))
            m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~Devsim() { Stop(); }

    QString Path() const { return m_path; }

    // Ends the simulator as a user would (SIGTERM) and waits for its exit work to be done.
    int Stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(5000);
        }
        return m_process.exitCode();
    }

    bool Running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
    QString m_path;
};

class QtSerialPortTest : public ::testing::Test
{
protected:
    bool OpenOn(QtSerialPort& port, const QString& name)
    {
        port.SetPortName(name);
        return port.Open();
    }

    QTemporaryDir dir;
    EventLoopHost host;
    std::atomic<bool> cancel{false};
};

TEST_F(QtSerialPortTest, StartsTheBootloaderErasesAndProgramsOverAPseudoTerminal)
{
    const QString flashOut = dir.filePath(QStringLiteral("flash.bin"));
    const QString tracePath = dir.filePath(QStringLiteral("trace.jsonl"));
    Devsim devsim({QStringLiteral("--flash-out"), flashOut, QStringLiteral("--trace"), tracePath});
    ASSERT_FALSE(devsim.Path().isEmpty());

    QtSerialPort port;
    ASSERT_TRUE(OpenOn(port, devsim.Path())) << port.ErrorText().toStdString();
    SerialTransport transport(port, host);
    Bootloader bootloader(transport, cancel);
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_TRUE(bootloader.EraseBlock(4).Succeeded());
    std::array<uint8_t, 128> data{};
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i ^ 0x7E);
    EXPECT_TRUE(bootloader.ProgramFlashBlock(data.data(), 0x3080).Succeeded());
    port.Close();

    EXPECT_EQ(devsim.Stop(), 0);
    QFile flash(flashOut);
    ASSERT_TRUE(flash.open(QIODevice::ReadOnly));
    const QByteArray bytes = flash.readAll();
    ASSERT_EQ(bytes.size(), 0x40000);
    EXPECT_EQ(bytes.mid(0x3080, 128), QByteArray(reinterpret_cast<const char*>(data.data()), 128));
    EXPECT_EQ(bytes.mid(0x3000, 0x80), QByteArray(0x80, '\xFF'));

    // One JSON line per frame: the start string, polls, two packets and their replies.
    QFile trace(tracePath);
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    QStringList kinds;
    for (const QByteArray& line : trace.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject frame = QJsonDocument::fromJson(line).object();
        ASSERT_FALSE(frame.isEmpty()) << line.toStdString();
        kinds << frame.value(QStringLiteral("dir")).toString() + QLatin1Char(' ') +
                     frame.value(QStringLiteral("kind")).toString() + QLatin1Char(' ') +
                     frame.value(QStringLiteral("hex")).toString().left(8);
    }
    ASSERT_GE(kinds.size(), 9);
    EXPECT_EQ(kinds.front(), QStringLiteral("in string 23 20 30"));
    EXPECT_TRUE(kinds.contains(QStringLiteral("out reply 7E 05")));
    EXPECT_EQ(kinds.mid(kinds.size() - 6),
              (QStringList{QStringLiteral("in packet 7E 04 02"), QStringLiteral("out reply 7E 01"),
                           QStringLiteral("out reply 7E 02"), QStringLiteral("in packet 7E 89 01"),
                           QStringLiteral("out reply 7E 03"), QStringLiteral("out reply 7E 04")}));
}

TEST_F(QtSerialPortTest, AWaitWithoutAnswerTimesOutInRealTime)
{
    Devsim devsim({});
    QtSerialPort port;
    ASSERT_TRUE(OpenOn(port, devsim.Path()));
    SerialTransport transport(port, host);
    std::array<uint8_t, 2> reply{};
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(transport.SerialGetResponseBytes(100, 2, reply.data()));
    EXPECT_GE(clock.elapsed(), 99);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST_F(QtSerialPortTest, KeepsServingAfterTheHostClosesAndReopens)
{
    Devsim devsim({});
    QtSerialPort port;
    SerialTransport transport(port, host);
    Bootloader bootloader(transport, cancel);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(OpenOn(port, devsim.Path())) << round;
        EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::Ready) << round;
        port.Close();
    }
}

TEST_F(QtSerialPortTest, ComOverrideFromTheSettingsReachesTheDevice)
{
    Devsim devsim({});
    QSettings(QStringLiteral("NorvaneProg")).setValue(QStringLiteral("Ports/COM7"), devsim.Path());
    QtSerialPort port;
    EXPECT_TRUE(OpenOn(port, QStringLiteral("COM7"))) << port.ErrorText().toStdString();
    SerialTransport transport(port, host);
    Bootloader bootloader(transport, cancel);
    EXPECT_EQ(bootloader.StartBootloader(), BootloaderStart::Ready);
    QSettings(QStringLiteral("NorvaneProg")).remove(QStringLiteral("Ports/COM7"));
}

// Every name of one device meets the same hold: its path, a link to it, and a link whose name
// is too long for a lock file of its own.
TEST_F(QtSerialPortTest, APortHeldByAnotherOpeningIsBusyUnderEveryName)
{
    Devsim devsim({});
    const QString link = dir.filePath(QStringLiteral("link"));
    const QString longLink = dir.filePath(QString(240, u'x'));
    for (const QString& name : {link, longLink})
        ASSERT_TRUE(QFile::link(devsim.Path(), name));
    for (const QString& holderName : {devsim.Path(), link, longLink}) {
        QtSerialPort holder;
        ASSERT_TRUE(OpenOn(holder, holderName)) << holder.ErrorText().toStdString();
        for (const QString& name : {devsim.Path(), link, longLink}) {
            QtSerialPort second;
            EXPECT_FALSE(OpenOn(second, name)) << name.size();
            EXPECT_EQ(second.Error(), SerialError::Busy) << name.size();
            // Said once, without a permission error that would contradict it.
            EXPECT_FALSE(second.ErrorText().contains(QStringLiteral("ermission")))
                << second.ErrorText().toStdString();
            EXPECT_FALSE(second.IsOpen());
        }
    }
}

TEST_F(QtSerialPortTest, NamesThatReachNoSerialPortFailAndStayClosed)
{
    const QString regularFile = dir.filePath(QStringLiteral("not-a-port"));
    QFile(regularFile).open(QIODevice::WriteOnly);
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case
    {
        QString name;
        SerialError kind;
    };
    const Case cases[] = {
        {QStringLiteral("COM0"), SerialError::NoSuchDevice},
        {QStringLiteral("/dev/ttyNoSuchAdapter9"), SerialError::NoSuchDevice},
        {regularFile, SerialError::NotASerialPort},
        {QStringLiteral("not-a-port"), SerialError::NotASerialPort}, // named bare, from dir
        {QStringLiteral("./not-a-port"), SerialError::NotASerialPort},
        {QStringLiteral("ttyNoSuchAdapter9"), SerialError::NoSuchDevice},
        {fifo, SerialError::NotASerialPort},
        {dir.path(), SerialError::NotASerialPort},
        {QStringLiteral("/dev/null"), SerialError::NotASerialPort},
    };
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    for (const Case& c : cases) {
        QtSerialPort port;
        EXPECT_FALSE(OpenOn(port, c.name)) << c.name.toStdString();
        EXPECT_EQ(port.Error(), c.kind) << c.name.toStdString();
        EXPECT_FALSE(port.ErrorText().isEmpty()) << c.name.toStdString();
        EXPECT_FALSE(port.IsOpen()) << c.name.toStdString();
    }
    QDir::setCurrent(before);
}

TEST_F(QtSerialPortTest, ALineThatVanishesMidExchangeEndsTheCommandAtOnce)
{
    Devsim devsim({QStringLiteral("--fault"), QStringLiteral("close-after:1")});
    QtSerialPort port;
    ASSERT_TRUE(OpenOn(port, devsim.Path()));
    SerialTransport transport(port, host);
    Bootloader bootloader(transport, cancel);
    ASSERT_EQ(bootloader.StartBootloader(), BootloaderStart::Ready);
    EXPECT_TRUE(bootloader.EraseBlock(1).Succeeded());

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(bootloader.EraseBlock(2).failure.kind, FailureKind::LineLost);
    EXPECT_LT(clock.elapsed(), 2000); // not the 7.5 s reply time-out
    EXPECT_EQ(port.Error(), SerialError::LineLost);
    EXPECT_FALSE(port.IsOpen());
}

} // namespace
