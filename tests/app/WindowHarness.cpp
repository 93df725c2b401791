#include "WindowHarness.h"

#include "StatusPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
QString DeviceOf(int16_t port)
{
    return port == 1 ? QStringLiteral("/dev/ttyTEST1") : QString();
}

QSettings UserSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NorvaneProg"));
}
} // namespace

WindowHarness::WindowHarness(SerialPort& port, Host& host)
{
    const FrmMainServices services{host,
                                   port,
                                   messages,
                                   fileDialog,
                                   shell,
                                   DeviceOf,
                                   [this] { ++endProgramCalls; },
                                   programDir.path()};
    m_window = std::make_unique<FrmMain>(services);
}

QString WindowHarness::Panel(int number) const
{
    const auto* panel = Control<StatusPanel>(QStringLiteral("Panel") + QString::number(number));
    return panel != nullptr ? panel->text() : QStringLiteral("<no panel>");
}

void WindowHarness::InstallHelp()
{
    QDir(programDir.path()).mkpath(QStringLiteral("Help"));
    QFile document(programDir.path() + QStringLiteral("/Help/Upgrader_Help_Contents.htm"));
    ASSERT_TRUE(document.open(QIODevice::WriteOnly));
    document.write("<html><body>help</body></html>");
}

void WhenPortDialogShown(std::function<void(ComSelect&)> answer)
{
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* dialog = qobject_cast<ComSelect*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "no port dialog is shown";
        answer(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the port dialog was left open";
            dialog->reject();
        }
    });
}

QWidgetList TabSequence(QWidget* first)
{
    QWidgetList sequence{first};
    for (QWidget* widget = first->nextInFocusChain(); widget != first;
         widget = widget->nextInFocusChain()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() != nullptr)
            continue;
        QWidget* parent = widget->parentWidget();
        QWidget* shown = parent != nullptr && parent->focusProxy() == widget ? parent : widget;
        if (shown != first)
            sequence.append(shown);
    }
    return sequence;
}

void ClearSettings()
{
    QSettings settings = UserSettings();
    settings.clear();
    settings.sync();
}

void StoreSetting(const QString& key, const QVariant& value)
{
    QSettings settings = UserSettings();
    settings.setValue(QStringLiteral("Settings/") + key, value);
    settings.sync();
}

QString StoredSetting(const QString& key)
{
    return UserSettings().value(QStringLiteral("Settings/") + key).toString();
}

QString SettingsFilePath()
{
    return UserSettings().fileName();
}
