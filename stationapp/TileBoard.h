#pragma once

#include <QScrollArea>
#include <QString>
#include <QVector>

class PortTile;
class QGridLayout;
struct RunProgress;
struct TryResult;

// The tiles of the line's ports in a grid that reflows: as many columns as the width allows,
// the tiles in the order their ports were first seen, each of the size its font needs; with
// more ports than fit it scrolls vertically. Every call on the GUI thread; a port not seen
// before gets its tile at the first event that names it.
class TileBoard : public QScrollArea
{
public:
    explicit TileBoard(QWidget* parent = nullptr);

    void Clear();
    void LeftAlone(const QString& port);
    void Plugged(const QString& port, const QString& serialNumber);
    void Started(const QString& port);
    void Status(const QString& port, const QString& text);
    void Progress(const QString& port, const RunProgress& progress);
    void TryEnded(const TryResult& result); // every try; not the last one: "retrying"
    void Ended(const TryResult& result);    // the port's run is over for good
    void Unplugged(const QString& port);
    void LineLost(const QString& port);
    void SetLinkNote(const QString& port, const QString& note);

    // Null for a port not seen.
    PortTile* Tile(const QString& port) const;
    int Columns() const { return m_columns; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    PortTile& TileOf(const QString& port);
    void Reflow(bool force);

    QWidget* m_grid;
    QGridLayout* m_layout;
    QVector<PortTile*> m_tiles; // in the order first seen
    int m_columns = 0;
};
