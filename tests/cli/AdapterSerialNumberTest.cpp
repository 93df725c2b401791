// The adapter's serial number found from a port link through a device tree laid out as
// Linux lays out USB serial adapters, built in a temporary folder.
#include "AdapterSerialNumber.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class AdapterSerialNumberTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_root.isValid()); }

    QString Path(const QString& relative) const { return m_root.filePath(relative); }

    void Write(const QString& relative, const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(Path(relative)).path());
        QFile file(Path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // A device node, its link in by-id, and its tty entry leading to devicePath in the tree.
    QString Port(const QString& tty, const QString& devicePath)
    {
        Write(QStringLiteral("dev/") + tty, QByteArray());
        QDir().mkpath(Path(devicePath));
        QDir().mkpath(Path(QStringLiteral("sys/class/tty/") + tty));
        QFile::link(Path(devicePath), Path(QStringLiteral("sys/class/tty/%1/device").arg(tty)));
        QDir().mkpath(Path(QStringLiteral("by-id")));
        const QString link = Path(QStringLiteral("by-id/link-") + tty);
        QFile::link(Path(QStringLiteral("dev/") + tty), link);
        return link;
    }

    QTemporaryDir m_root;
};

TEST_F(AdapterSerialNumberTest, FoundOnTheUsbDeviceAboveThePort)
{
    const QString usb = QStringLiteral("sys/devices/pci0000:00/usb1/1-2");
    Write(usb + QStringLiteral("/idVendor"), "0403\n");
    Write(usb + QStringLiteral("/serial"), "A6008isP\n");
    Write(QStringLiteral("sys/devices/pci0000:00/usb1/idVendor"), "1d6b\n"); // the hub
    Write(QStringLiteral("sys/devices/pci0000:00/usb1/serial"), "0000:00:14.0\n");
    // A USB serial converter has a port level below its interface; a modem-class adapter not.
    const QString converter =
        Port(QStringLiteral("ttyUSB0"), usb + QStringLiteral("/1-2:1.0/ttyUSB0"));
    const QString modem = Port(QStringLiteral("ttyACM0"), usb + QStringLiteral("/1-2:1.2"));
    const QString builtIn = Port(QStringLiteral("ttyS0"), QStringLiteral("sys/devices/pnp0/00:01"));
    Write(QStringLiteral("dev/pts/3"), QByteArray()); // a pseudo-terminal has no tty entry

    const QString sys = Path(QStringLiteral("sys"));
    EXPECT_EQ(AdapterSerialNumber(converter, sys), QStringLiteral("A6008isP"));
    EXPECT_EQ(AdapterSerialNumber(modem, sys), QStringLiteral("A6008isP"));
    EXPECT_EQ(AdapterSerialNumber(builtIn, sys), QString());
    EXPECT_EQ(AdapterSerialNumber(Path(QStringLiteral("dev/pts/3")), sys), QString());
    EXPECT_EQ(AdapterSerialNumber(Path(QStringLiteral("by-id/gone")), sys), QString());
}

TEST_F(AdapterSerialNumberTest, AdapterWithoutSerialNumber)
{
    const QString usb = QStringLiteral("sys/devices/pci0000:00/usb1/1-3");
    Write(usb + QStringLiteral("/idVendor"), "067b\n");
    const QString port = Port(QStringLiteral("ttyUSB1"), usb + QStringLiteral("/1-3:1.0/ttyUSB1"));
    EXPECT_EQ(AdapterSerialNumber(port, Path(QStringLiteral("sys"))), QString());
}

} // namespace
