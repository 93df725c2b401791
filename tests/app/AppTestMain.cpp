// The window's tests: one QApplication for all of them, and per-user settings kept in a
// private folder so no test reads or writes the real ones.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // Also when the test list is read at build time, without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir settingsDir;
    if (!settingsDir.isValid())
        return 1;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
