#include "BoardEvents.h"

#include "LinkQuality.h"
#include "TileBoard.h"

#include <QMetaObject>

BoardEvents::BoardEvents(TileBoard& board, QObject* parent) : QObject(parent), m_board(board)
{
    m_repaint.setInterval(kRepaintMs);
    m_repaint.setSingleShot(true);
    connect(&m_repaint, &QTimer::timeout, this, &BoardEvents::ShowPending);
}

template <typename Show> void BoardEvents::Post(Show show)
{
    QMetaObject::invokeMethod(this, std::move(show), Qt::QueuedConnection);
}

void BoardEvents::TryShown(const TryResult& result)
{
    Post([this, result] {
        SettlePending(result.port);
        m_board.TryEnded(result);
        m_board.SetLinkNote(result.port, LateRepliesNote(result.link));
    });
}

void BoardEvents::Status(const QString& port, const QString& text)
{
    if (port.isEmpty())
        return; // the shared load stage: the set-up panel has shown the file
    Keep(port, [&text](Pending& pending) { pending.status = text; });
}

void BoardEvents::FileState(const QString&, const QString&)
{
    // The file is the same for every port; the set-up panel shows it.
}

void BoardEvents::Progress(const QString& port, const RunProgress& progress)
{
    Keep(port, [&progress](Pending& pending) { pending.progress = progress; });
}

template <typename Change> void BoardEvents::Keep(const QString& port, Change change)
{
    bool firstPending = false;
    {
        const std::lock_guard lock(m_mutex);
        firstPending = m_pending.empty();
        change(m_pending[port]);
    }
    // The timer belongs to the GUI thread: started there, once for all that comes until it
    // fires.
    if (firstPending)
        Post([this] {
            if (!m_repaint.isActive())
                m_repaint.start();
        });
}

void BoardEvents::Message(const QString&, const MessageBoxText&)
{
    // A run answers its own boxes; what they said is in the try's outcome on the tile.
}

void BoardEvents::Watching(const QString& folder, bool folderExists)
{
    Post([this, folder, folderExists] { emit WatchingFolder(folder, folderExists); });
}

void BoardEvents::LeftAlone(const QString& port)
{
    Post([this, port] { m_board.LeftAlone(port); });
}

void BoardEvents::Plugged(const QString& port, const QString& serialNumber)
{
    Post([this, port, serialNumber] { m_board.Plugged(port, serialNumber); });
}

void BoardEvents::Started(const QString& port)
{
    Post([this, port] {
        ++m_running;
        m_board.Started(port);
    });
}

void BoardEvents::Ended(const TryResult& result, const StationCounts&)
{
    Post([this, result] {
        --m_running;
        SettlePending(result.port);
        m_board.Ended(result);
        emit PortEnded(result);
    });
}

void BoardEvents::Unplugged(const QString& port)
{
    Post([this, port] {
        SettlePending(port);
        m_board.Unplugged(port);
    });
}

void BoardEvents::LineLost(const QString& port)
{
    Post([this, port] {
        SettlePending(port);
        m_board.LineLost(port);
    });
}

void BoardEvents::Stopped(const StationCounts& counts)
{
    Post([this, counts] { emit LineStopped(counts); });
}

void BoardEvents::SettlePending(const QString& port)
{
    std::optional<QString> status;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_pending.find(port);
        if (found == m_pending.end())
            return;
        status = found->second.status;
        m_pending.erase(found);
    }
    if (status)
        m_board.Status(port, *status);
}

void BoardEvents::ShowPending()
{
    std::map<QString, Pending> pending;
    {
        const std::lock_guard lock(m_mutex);
        pending.swap(m_pending);
    }
    for (const auto& [port, shown] : pending) {
        if (shown.status)
            m_board.Status(port, *shown.status);
        if (shown.progress)
            m_board.Progress(port, *shown.progress);
    }
}
