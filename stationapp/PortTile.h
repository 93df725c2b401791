#pragma once

#include "RunResult.h"
#include "TileState.h"

#include <QFrame>
#include <QString>

class QLabel;
class QProgressBar;
class StateIcon;

struct RunProgress;

// One port of the line, read from two metres: the adapter's serial number (the whole link
// as tool tip), the state in words, colour and an icon, the progress and times while it runs,
// the outcome and the download's time when it has ended, and a line for a note on the link's
// quality. A tile that has ended (done, failed, stopped, line lost) keeps its state until the
// device is unplugged; a device plugged in again starts afresh.
//
// Object names: the tile "tile:" + port; its children "Serial", "State", "Icon", "Detail",
// "Progress", "Percent", "Times" and "LinkNote".
class PortTile : public QFrame
{
public:
    PortTile(const QString& port, QWidget* parent);

    const QString& Port() const { return m_port; }
    TileState State() const { return m_state; }

    void LeftAlone();
    void Plugged(const QString& serialNumber);
    void Started();
    void Status(const QString& text);
    void Progress(const RunProgress& progress);
    // Every try of the run; a failed one that is not the last is followed by another.
    void TryEnded(const TryResult& result);
    // The last try: the run is over.
    void Ended(const TryResult& result);
    void Unplugged();
    void LineLost();
    void SetLinkNote(const QString& note);

private:
    void Show(TileState state, const QString& words);
    void ShowDetail(const QString& text);
    void ShowAdapter(const QString& serialNumber);

    QString m_port;
    TileState m_state = TileState::Waiting;
    int m_tryNumber = 1;
    int m_serialRoom = 0; // pixels
    QLabel* m_serial;
    StateIcon* m_icon;
    QLabel* m_stateWords;
    QLabel* m_detail;
    QProgressBar* m_bar;
    QLabel* m_percent;
    QLabel* m_times;
    QLabel* m_linkNote;
};
