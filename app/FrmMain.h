#pragma once

#include "ComSelect.h"
#include "DownloadEngine.h"
#include "DownloadView.h"
#include "EndingAwareHost.h"
#include "Twips.h"
#include "WindowRecord.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class FileDialogService;
class MessageBoxService;
class QAction;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class SerialPort;
class ShellOpenService;
class StatusPanel;

// What the window uses from the world outside it, so that tests can stand in for each part.
struct FrmMainServices
{
    Host& host;       // clock and event dispatch while a download waits
    SerialPort& port; // the port the device hangs on
    MessageBoxService& messages;
    FileDialogService& fileDialog;
    ShellOpenService& shell;
    ComSelect::DeviceLookup deviceOf; // which device a COM number reaches
    std::function<void()> endProgram; // leaves the event loop; the program then exits with 0
    QString programDir;               // the folder that holds the program
};

// The program's one window: the firmware file, the Download and Cancel buttons, the progress
// bar, the four-panel status bar and the File and Help menus. It owns the download engine
// and shows what a download does.
class FrmMain : public QMainWindow, public DownloadView
{
    Q_OBJECT

public:
    explicit FrmMain(const FrmMainServices& services, QWidget* parent = nullptr);

    // Start-up: run once before the window is first shown.
    void Form_Load();
    // Closing: asks first while a download runs; cancel set to 1 keeps the program running.
    void Form_Unload(int16_t& cancel);

    void mnuComPort_Click();
    void mnuExit_Click();
    void mnuContents_Click();
    void mnuVandryWeb_Click();
    void mnuAbout_Click();
    void Form_KeyDown(int keyCode);

    void CmdBrowse_Click();
    void TxtFileName_Change();
    void TxtFileName_KeyPress(int keyAscii);

    QString GetLastFilename() const;
    void SaveLastFilename(const QString& fname);

    DownloadEngine& Engine() { return m_engine; }
    const QString& HelpFile() const { return m_sHelpFile; }
    // The design in twips as this window lays it out for its font.
    const Twips& Layout() const { return m_layout; }

    // DownloadView
    void ShowStatus(const QString& text) override;
    void ShowFileState(const QString& text) override;
    void ShowPercent(const QString& text) override;
    void SetProgressVisible(bool visible) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressValue(int value) override;
    void SetCancelVisible(bool visible) override;
    void SetDownloadEnabled(bool enabled) override;
    void FocusDownload() override;
    Answer Ask(const MessageBoxText& message) override;

signals:
    // Every text written to the status line, in order.
    void StatusShown(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();
    void CreateStatusBar();
    Twips FittingLayout() const;
    int PanelWidth(std::size_t panel) const;
    void LayOut();
    void ConnectControls();

    void StartupFailure(int16_t port);
    void UpdatePortIndication();
    void FocusFirstControl();
    void CmdDownload_Click();
    void CmdCancel_Click();
    bool ReopenLostPort();
    bool DropFirmwareFile(QDropEvent* event);
    void EndProgram();

    FrmMainServices m_services;
    EndingAwareHost m_host;
    WindowRecord m_record; // before the engine, which downloads through its port
    DownloadEngine m_engine;
    QString m_sHelpFile;
    Twips m_layout{QFont()};
    // When the Download button was clicked to start the run in progress; none when Enter in
    // the file box started it.
    std::optional<int32_t> m_runClickTick;
    // Cancel had the focus when it was hidden: Download takes it once it is enabled.
    bool m_focusBackToDownload = false;

    QWidget* m_client = nullptr;
    QLabel* m_label = nullptr;
    QLineEdit* m_txtFileName = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QPushButton* m_cmdDownload = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    std::array<StatusPanel*, 4> m_panels{};
};
