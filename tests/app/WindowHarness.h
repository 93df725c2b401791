#pragma once

#include "ComSelect.h"
#include "FrmMain.h"
#include "RecordingShell.h"
#include "ScriptedFileDialog.h"
#include "ScriptedMessageBoxes.h"

#include <QLabel>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A FrmMain with every outside service replaced: message boxes and the file dialog answered
// by the test, shell open recorded, the end of the program counted, and the program's
// folder a private one (with or without its Help folder).
class WindowHarness
{
public:
    WindowHarness(SerialPort& port, Host& host);

    FrmMain& Window() { return *m_window; }
    // Runs Form_Load; the port dialog, if it comes, is answered by WhenPortDialogShown.
    void Start() { m_window->Form_Load(); }

    template <class Widget> Widget* Control(const QString& name) const
    {
        return m_window->findChild<Widget*>(name);
    }
    QString Panel(int number) const;

    // Puts the help document where the program looks for it.
    void InstallHelp();

    ScriptedMessageBoxes messages;
    ScriptedFileDialog fileDialog;
    RecordingShell shell;
    int endProgramCalls = 0;
    QTemporaryDir programDir;

private:
    std::unique_ptr<FrmMain> m_window;
};

// Answers the next port dialog once it is shown modally: `answer` acts on it and must close
// it; a dialog left open is cancelled so that the test cannot hang, and reported.
void WhenPortDialogShown(std::function<void(ComSelect&)> answer);

// The widgets that Tab visits from `first` round to `first` again, in order; a widget that
// passes its focus on to a child (an editable combo box) stands for that child.
QWidgetList TabSequence(QWidget* first);

// Per-user settings of the tests.
void ClearSettings();
void StoreSetting(const QString& key, const QVariant& value); // group "Settings"
QString StoredSetting(const QString& key);
QString SettingsFilePath();
