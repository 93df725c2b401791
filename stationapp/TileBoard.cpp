#include "TileBoard.h"

#include "PortTile.h"
#include "RunResult.h"

#include <QGridLayout>
#include <QResizeEvent>

#include <algorithm>

TileBoard::TileBoard(QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("TileBoard"));
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid = new QWidget(this);
    m_grid->setObjectName(QStringLiteral("Tiles"));
    m_layout = new QGridLayout(m_grid);
    m_layout->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setWidget(m_grid);
}

void TileBoard::Clear()
{
    for (PortTile* tile : std::as_const(m_tiles)) {
        m_layout->removeWidget(tile);
        delete tile;
    }
    m_tiles.clear();
    m_columns = 0;
}

void TileBoard::LeftAlone(const QString& port)
{
    TileOf(port).LeftAlone();
}

void TileBoard::Plugged(const QString& port, const QString& serialNumber)
{
    TileOf(port).Plugged(serialNumber);
}

void TileBoard::Started(const QString& port)
{
    TileOf(port).Started();
}

void TileBoard::Status(const QString& port, const QString& text)
{
    if (!port.isEmpty()) // the shared load stage belongs to no tile
        TileOf(port).Status(text);
}

void TileBoard::Progress(const QString& port, const RunProgress& progress)
{
    TileOf(port).Progress(progress);
}

void TileBoard::TryEnded(const TryResult& result)
{
    TileOf(result.port).TryEnded(result);
}

void TileBoard::Ended(const TryResult& result)
{
    TileOf(result.port).Ended(result);
}

void TileBoard::Unplugged(const QString& port)
{
    TileOf(port).Unplugged();
}

void TileBoard::LineLost(const QString& port)
{
    TileOf(port).LineLost();
}

void TileBoard::SetLinkNote(const QString& port, const QString& note)
{
    TileOf(port).SetLinkNote(note);
}

PortTile* TileBoard::Tile(const QString& port) const
{
    const auto found = std::find_if(m_tiles.begin(), m_tiles.end(),
                                    [&port](const PortTile* tile) { return tile->Port() == port; });
    return found == m_tiles.end() ? nullptr : *found;
}

void TileBoard::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    Reflow(false);
}

PortTile& TileBoard::TileOf(const QString& port)
{
    if (PortTile* tile = Tile(port))
        return *tile;
    auto* tile = new PortTile(port, m_grid);
    m_tiles.append(tile);
    Reflow(true);
    return *tile;
}

// Tiles are all of one size: as many columns as fit the visible width, at least one.
void TileBoard::Reflow(bool force)
{
    if (m_tiles.isEmpty())
        return;
    const QMargins margins = m_layout->contentsMargins();
    const int room = viewport()->width() - margins.left() - margins.right();
    const int spacing = m_layout->horizontalSpacing();
    const int columns = std::max(1, (room + spacing) / (m_tiles.front()->width() + spacing));
    if (columns == m_columns && !force)
        return;
    m_columns = columns;
    for (PortTile* tile : std::as_const(m_tiles))
        m_layout->removeWidget(tile);
    for (int i = 0; i < m_tiles.size(); ++i)
        m_layout->addWidget(m_tiles[i], i / columns, i % columns);
}
