#pragma once
// The station window built for a test: settings in a file of the test's own folder, every box
// and dialog answered by the test, ports that the test makes.

#include "FileDialogService.h"
#include "MessageBoxService.h"
#include "PortRun.h"
#include "ShellOpenService.h"
#include "StationWindow.h"
#include "SupervisorPrompts.h"
#include "TempDir.h"

#include <QApplication>
#include <QSettings>
#include <QString>
#include <QTest>

#include <deque>
#include <memory>
#include <vector>

class TestBoxes : public MessageBoxService
{
public:
    int Show(const QString& text, int, const QString&, const QString&) override
    {
        shown.push_back(text);
        if (answers.empty())
            return kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<QString> shown;
    std::deque<int> answers;
};

class NoDialogs : public FileDialogService, public ShellOpenService, public SupervisorPrompts
{
public:
    std::optional<QString> GetOpenFileName(QWidget*, const OpenFileRequest&) override
    {
        return std::nullopt;
    }
    bool OpenDocument(const QString& path) override
    {
        opened.push_back(path);
        return true;
    }
    bool OpenAddress(const QString&) override { return false; }
    std::optional<QString> AskPassword() override { return std::nullopt; }
    std::optional<NewPasswordEntry> AskNewPassword() override { return std::nullopt; }
    void Tell(const QString&, const QString&) override {}

    std::vector<QString> opened;
};

class StationWindowHarness
{
public:
    explicit StationWindowHarness(const TempDir& dir, PortRun::PortFactory makePort = nullptr)
        : settings(QString::fromStdString((dir.path() / "NorvaneProg.conf").string()),
                   QSettings::IniFormat),
          m_makePort(std::move(makePort))
    {
    }

    // A window over the settings as they are now.
    StationWindow& Open()
    {
        window = std::make_unique<StationWindow>(StationWindowServices{
            settings, boxes, dialogs, dialogs, dialogs, m_makePort, QStringLiteral("help.htm")});
        window->show();
        // Shortcuts reach an active window only.
        QApplication::setActiveWindow(window.get());
        return *window;
    }

    template <typename T> T* Find(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    QSettings settings;
    TestBoxes boxes;
    NoDialogs dialogs;
    std::unique_ptr<StationWindow> window;

private:
    PortRun::PortFactory m_makePort;
};
