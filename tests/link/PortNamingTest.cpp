#include "PortNaming.h"

#include <gtest/gtest.h>

namespace {

TEST(PortNamingTest, ResolvesComNumbersOverridesAndPaths)
{
    const QHash<QString, QString> overrides{{QStringLiteral("COM3"), QStringLiteral("/dev/pts/7")}};
    const QStringList system{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS0")};
    struct Case
    {
        const char* name;
        const char* device;
    };
    const Case cases[] = {
        {"COM1", "/dev/ttyUSB0"},         // the first port the system reports
        {"com2", "/dev/ttyS0"},           // any case
        {"COM3", "/dev/pts/7"},           // an override beyond the system's list
        {"COM0", ""},                     // port 0 names no port
        {"COM4", ""},                     // past the end of the list
        {"/dev/ttyACM1", "/dev/ttyACM1"}, // a device path as it stands
        {"COM1x", "COM1x"},               // not a COM name: taken as a path
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolvePortName(QString::fromLatin1(c.name), overrides, system),
                  QString::fromLatin1(c.device))
            << c.name;
    }
}

TEST(PortNamingTest, OverrideWinsOverTheSystemList)
{
    const QHash<QString, QString> overrides{{QStringLiteral("COM1"), QStringLiteral("/tmp/dev")}};
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM1"), overrides, {QStringLiteral("/dev/ttyS0")}),
              QStringLiteral("/tmp/dev"));
}

TEST(PortNamingTest, ComNumberParsesOnlyComNames)
{
    EXPECT_EQ(ComNumber(QStringLiteral("COM12")), 12);
    EXPECT_EQ(ComNumber(QStringLiteral("com0")), 0);
    EXPECT_EQ(ComNumber(QStringLiteral("COM")), -1);
    EXPECT_EQ(ComNumber(QStringLiteral("/dev/ttyS1")), -1);
    EXPECT_EQ(ComNumber(QStringLiteral("COM-1")), -1);
}

TEST(PortNamingTest, UsbAdaptersComeFirstAndNumbersSortAsNumbers)
{
    struct Port
    {
        bool usb;
        QString name;
    };
    std::vector<Port> ports = {{false, QStringLiteral("ttyS10")},
                               {true, QStringLiteral("ttyUSB1")},
                               {false, QStringLiteral("ttyS2")},
                               {true, QStringLiteral("ttyACM0")},
                               {true, QStringLiteral("ttyUSB0")}};
    std::sort(ports.begin(), ports.end(), [](const Port& a, const Port& b) {
        return PortOrderLess(a.usb, a.name, b.usb, b.name);
    });
    QStringList order;
    for (const Port& port : ports)
        order << port.name;
    EXPECT_EQ(order, (QStringList{QStringLiteral("ttyACM0"), QStringLiteral("ttyUSB0"),
                                  QStringLiteral("ttyUSB1"), QStringLiteral("ttyS2"),
                                  QStringLiteral("ttyS10")}));
}

} // namespace
