// The USB facts of a port found through a device tree laid out as Linux lays out USB serial
// adapters, built in a temporary folder: from a by-id link to the device node, through the
// tty's device, up to the USB device that carries the facts.
#include "StationFacts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class UsbAdapterTest : public ::testing::Test
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

    // A USB device with the given attributes (name, contents).
    void UsbDevice(const QString& path, const std::vector<std::pair<QString, QByteArray>>& files)
    {
        for (const auto& [name, text] : files)
            Write(path + QLatin1Char('/') + name, text);
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

    UsbAdapterFacts Facts(const QString& port) const
    {
        return UsbAdapterOf(port, Path(QStringLiteral("sys")));
    }

    QTemporaryDir m_root;
};

TEST_F(UsbAdapterTest, FoundOnTheUsbDeviceAboveThePort)
{
    const QString usb = QStringLiteral("sys/devices/pci0000:00/usb1/1-2");
    UsbDevice(usb, {{QStringLiteral("idVendor"), "0403\n"},
                    {QStringLiteral("idProduct"), "6001\n"},
                    {QStringLiteral("serial"), "A6008isP\n"},
                    {QStringLiteral("manufacturer"), "FTDI\n"},
                    {QStringLiteral("product"), "FT232R USB UART\n"}});
    // The hub above has facts of its own, which must not be taken instead.
    UsbDevice(QStringLiteral("sys/devices/pci0000:00/usb1"),
              {{QStringLiteral("idVendor"), "1d6b\n"}, {QStringLiteral("serial"), "hub\n"}});
    // A USB serial converter has a port level below its interface; a modem-class adapter not.
    for (const QString& port :
         {Port(QStringLiteral("ttyUSB0"), usb + QStringLiteral("/1-2:1.0/ttyUSB0")),
          Port(QStringLiteral("ttyACM0"), usb + QStringLiteral("/1-2:1.2"))}) {
        const UsbAdapterFacts facts = Facts(port);
        EXPECT_EQ(facts.vendorId, QStringLiteral("0403")) << qPrintable(port);
        EXPECT_EQ(facts.productId, QStringLiteral("6001"));
        EXPECT_EQ(facts.serialNumber, QStringLiteral("A6008isP"));
        EXPECT_EQ(facts.description, QStringLiteral("FTDI FT232R USB UART"));
    }
}

TEST_F(UsbAdapterTest, NothingWhereNoUsbDeviceIsBehindThePort)
{
    const QString builtIn = Port(QStringLiteral("ttyS0"), QStringLiteral("sys/devices/pnp0/00:01"));
    Write(QStringLiteral("dev/pts/3"), QByteArray()); // a pseudo-terminal has no tty entry
    for (const QString& port :
         {builtIn, Path(QStringLiteral("dev/pts/3")), Path(QStringLiteral("by-id/gone"))}) {
        const UsbAdapterFacts facts = Facts(port);
        EXPECT_TRUE(facts.vendorId.isEmpty() && facts.serialNumber.isEmpty() &&
                    facts.description.isEmpty())
            << qPrintable(port);
    }
}

TEST_F(UsbAdapterTest, AdapterWithoutSerialNumberOrNames)
{
    const QString usb = QStringLiteral("sys/devices/pci0000:00/usb1/1-3");
    UsbDevice(usb,
              {{QStringLiteral("idVendor"), "067b\n"}, {QStringLiteral("idProduct"), "2303\n"}});
    const UsbAdapterFacts facts =
        Facts(Port(QStringLiteral("ttyUSB1"), usb + QStringLiteral("/1-3:1.0/ttyUSB1")));
    EXPECT_EQ(facts.vendorId, QStringLiteral("067b"));
    EXPECT_EQ(facts.serialNumber, QString());
    EXPECT_EQ(facts.description, QString());
}

} // namespace
