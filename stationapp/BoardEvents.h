#pragma once

#include "StationEvents.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <mutex>
#include <optional>

class TileBoard;

// The station's events brought to the window: each is queued to the GUI thread, whatever
// thread it comes from, and shown on the tile board there, in the order they came. A run's
// progress and status come many times a second from many ports; only the latest of each port
// is kept, and a timer shows them a few times a second, so a busy line costs few repaints.
// What concerns the window rather than a tile comes out as signals, on the GUI thread.
class BoardEvents : public QObject, public StationEvents
{
    Q_OBJECT

public:
    static constexpr int kRepaintMs = 250;

    BoardEvents(TileBoard& board, QObject* parent = nullptr);

    // The downloads running now (counted on the GUI thread).
    int Running() const { return m_running; }

    // A try has ended and its row is written: called on the try's thread.
    void TryShown(const TryResult& result);

    void Status(const QString& port, const QString& text) override;
    void FileState(const QString& port, const QString& text) override;
    void Progress(const QString& port, const RunProgress& progress) override;
    void Message(const QString& port, const MessageBoxText& box) override;
    void Watching(const QString& folder, bool folderExists) override;
    void LeftAlone(const QString& port) override;
    void Plugged(const QString& port, const QString& serialNumber) override;
    void Started(const QString& port) override;
    void Ended(const TryResult& result, const StationCounts& counts) override;
    void Unplugged(const QString& port) override;
    void LineLost(const QString& port) override;
    void Stopped(const StationCounts& counts) override;

signals:
    void WatchingFolder(const QString& folder, bool folderExists);
    void PortEnded(const TryResult& result);
    void LineStopped(const StationCounts& counts);

private:
    struct Pending
    {
        std::optional<QString> status;
        std::optional<RunProgress> progress;
    };

    template <typename Show> void Post(Show show);
    // Keeps the latest status or progress of port until the timer shows it.
    template <typename Change> void Keep(const QString& port, Change change);
    // Shows what waits for port before an event that ends a try or a run: its last status,
    // but not a progress the end has overtaken.
    void SettlePending(const QString& port);
    void ShowPending();

    TileBoard& m_board;
    QTimer m_repaint;
    std::mutex m_mutex;
    std::map<QString, Pending> m_pending; // guarded by m_mutex
    int m_running = 0;
};
