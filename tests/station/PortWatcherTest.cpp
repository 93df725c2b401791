// The folder watcher on the real file system and its change notification: which links it
// reports and with which device, and a watched folder that is missing, renamed away or made
// again above it.
#include "PortWatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace {

constexpr int kSettleMs = 100;

void RunEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets events run until done() holds or timeoutMs have passed.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 3000)
{
    for (int waited = 0; !done() && waited < timeoutMs; waited += 20)
        RunEventsFor(20);
    return done();
}

class PortWatcherTest : public ::testing::Test
{
protected:
    PortWatcherTest()
    {
        static int argc = 1;
        static char name[] = "station_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }

    void Watch(const QString& folder)
    {
        watcher = std::make_unique<PortWatcher>(folder, kSettleMs);
        QObject::connect(
            watcher.get(), &PortWatcher::Appeared,
            [this](const QString& port, const QString& device, bool) { appeared[port] = device; });
        watcher->Start();
    }

    // A link named by the system's own bytes.
    static void Link(const QByteArray& target, const QByteArray& link)
    {
        ASSERT_EQ(symlink(target.constData(), link.constData()), 0) << link.constData();
    }

    QTemporaryDir dir;
    std::unique_ptr<PortWatcher> watcher;
    QMap<QString, QString> appeared; // device by port
};

TEST_F(PortWatcherTest, ReportsEveryLinkThatLeadsSomewhereWithTheDeviceItLeadsTo)
{
    const QString regularFile = dir.filePath(QStringLiteral("regular"));
    QFile(regularFile).open(QIODevice::WriteOnly);
    const QString folder = dir.filePath(QStringLiteral("by-id"));
    ASSERT_TRUE(QDir().mkdir(folder));
    Watch(folder);
    const QByteArray raw = QFile::encodeName(folder) + '/';
    Link("/dev/null", raw + "usable");
    const QByteArray notUtf8 = raw + "bad\xff\xc3" + "name\xe2\x82";
    Link("/dev/null", notUtf8);
    Link(QFile::encodeName(regularFile), raw + "not-a-device");
    Link("/nowhere", raw + "dangling");

    const QMap<QString, QString> expected{
        {folder + "/usable", "/dev/null"},
        {folder + "/bad\\xff\\xc3name\\xe2\\x82", "/dev/null"},
        {folder + "/not-a-device", regularFile},
    };
    // Whatever a link leads to is reported once it has had its time to settle.
    WaitFor([this] { return appeared.size() == 3; });
    RunEventsFor(3 * kSettleMs); // the link that leads nowhere is not
    EXPECT_EQ(appeared, expected);
    unlink(notUtf8.constData()); // a name the temporary folder cannot remove by itself
}

TEST_F(PortWatcherTest, FindsTheFolderByItsPathWhateverBecameOfTheFolderWatchedFirst)
{
    struct Case
    {
        const char* name;
        std::function<void(const QString& root)> before; // before the watch starts
        std::function<void(const QString& root)> after;  // then, before the link is made
    };
    const auto make = [](const QString& root) { QDir(root).mkpath("serial/by-id"); };
    const auto move = [](const QString& from, const QString& to) {
        ASSERT_TRUE(QDir().rename(from, to)) << from.toStdString();
    };
    const Case cases[] = {
        {"missing two levels down at start", [](const QString&) {}, make},
        {"renamed away and made again", make,
         [&](const QString& root) {
             move(root + "/serial/by-id", root + "/old");
             make(root);
         }},
        {"made again above it", make,
         [&](const QString& root) {
             move(root + "/serial", root + "/old");
             make(root);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        appeared.clear();
        c.before(root.path());
        Watch(root.filePath("serial/by-id"));
        c.after(root.path());
        RunEventsFor(100); // the watcher finds the folder before the link is made
        Link("/dev/null", QFile::encodeName(root.filePath("serial/by-id/port")));
        EXPECT_TRUE(WaitFor([&] { return appeared.contains(root.filePath("serial/by-id/port")); }));
    }
}

} // namespace
