#pragma once

#include "ArmedLine.h"
#include "LineFigures.h"
#include "PortRun.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <atomic>
#include <memory>

class BoardEvents;
class FiguresBar;
class FileDialogService;
class MessageBoxService;
class OperatorLock;
class QLabel;
class QPushButton;
class QScrollArea;
class QSettings;
class SetupPanel;
class ShellOpenService;
class SupervisorPrompts;
class TileBoard;
struct StationCounts;

// What the station window works with: its settings (group "Station"), the boxes and dialogs
// it shows (tests answer them), the serial ports of the runs, and its help document.
struct StationWindowServices
{
    QSettings& settings;
    MessageBoxService& messages;
    FileDialogService& fileDialog;
    ShellOpenService& shell;
    SupervisorPrompts& prompts;
    PortRun::PortFactory makePort;
    QString helpFile;
};

// The window of a production line: the line's figures at the top, a tile per port in the
// middle, the set-up panel beside them (hidden while the operator lock holds), Start and Stop,
// and a status bar for the line's state and the record's warnings.
class StationWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit StationWindow(const StationWindowServices& services);
    ~StationWindow() override;

    bool Armed() const { return m_armed; }
    // The devices being downloaded now.
    int RunningDownloads() const;

    // Arms the line with the set-up shown: the watcher and the station start.
    void Start();
    // The runs stop at their next step and the watcher stops; the status bar says how many
    // were stopped once the station has finished.
    void Stop();
    void StartOrStop();
    void ShowHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    QWidget* BuildCentre();
    // The set-up panel shows unless the lock holds or the supervisor has folded it away.
    void ShowSetupPanel();
    void UpdateControls();
    void SaveSetup();

    void LineFinished();
    void ShowStopped(const StationCounts& counts);
    void ShowWatching(const QString& folder, bool folderExists);
    void ShowWarning(const QString& warning);
    void RefreshFigures();
    // Ends the record of the last line: its rows get up to deliverMs to get where they belong.
    // False when its sender could not be ended (see RetireLine).
    bool RetireLine(int deliverMs);

    StationWindowServices m_services;
    SetupPanel* m_setup;
    QScrollArea* m_setupArea;
    QAction* m_setupShown;
    FiguresBar* m_figuresBar;
    TileBoard* m_board;
    QPushButton* m_start;
    QPushButton* m_stop;
    QLabel* m_statusText;
    QLabel* m_warningText;
    OperatorLock* m_lock;
    BoardEvents* m_events;

    LineFigures m_figures;
    QElapsedTimer m_clock;
    QTimer m_tick; // the figures that change with time alone, once a second

    std::atomic<bool> m_stopRequested{false};
    std::unique_ptr<ArmedLine> m_line; // the line armed last; kept after Stop for its record
    bool m_armed = false;
    bool m_closeWhenStopped = false;
};
