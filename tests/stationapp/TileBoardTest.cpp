// The board lays its tiles out in as many columns as its width takes, in the order the ports
// were first seen, and scrolls when they do not all fit.
#include "TileBoard.h"
#include "PortTile.h"

#include <QApplication>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

QString Port(int i)
{
    return QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A%1-if00-port0").arg(i);
}

TEST(TileBoard, ReflowsWithItsWidthAndScrolls)
{
    TileBoard board;
    constexpr int kPorts = 32;
    for (int i = 0; i < kPorts; ++i)
        board.Plugged(Port(i), QString());
    const int tileWidth = board.Tile(Port(0))->width();

    struct Width
    {
        int tiles; // as many tiles as fit beside each other, and a little more room
        int columns;
    };
    for (const Width width : {Width{1, 1}, Width{3, 3}, Width{5, 5}, Width{2, 2}}) {
        SCOPED_TRACE(width.tiles);
        board.resize(width.tiles * tileWidth + tileWidth / 2 + board.verticalScrollBar()->width(),
                     4 * tileWidth / 2);
        board.show();
        QApplication::processEvents();
        EXPECT_EQ(board.Columns(), width.columns);
        // In the order first seen: along each row, then down.
        for (int i = 1; i < kPorts; ++i) {
            const QPoint before = board.Tile(Port(i - 1))->pos();
            const QPoint at = board.Tile(Port(i))->pos();
            EXPECT_TRUE(i % width.columns == 0 ? at.y() > before.y() : at.x() > before.x()) << i;
        }
        EXPECT_GT(board.verticalScrollBar()->maximum(), 0);
    }
}

TEST(TileBoard, ClearForgetsEveryTile)
{
    TileBoard board;
    board.Plugged(Port(1), QStringLiteral("A1"));
    board.Clear();
    EXPECT_EQ(board.Tile(Port(1)), nullptr);
    EXPECT_TRUE(board.findChildren<PortTile*>().isEmpty());
}

} // namespace
