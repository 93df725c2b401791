// Icons are drawn at the size and display scale they are shown at, never a smaller picture
// enlarged: window icons in sharp blocks of their 32 x 32 grid, message icons smoothed.
#include "AppIcons.h"
#include "MessageIcons.h"

#include <QPixmap>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct IconRow
{
    const char* name;
    QIcon icon;
    std::function<QImage(int)> draw;
};

QImage Argb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(DrawnIconTest, EveryScaleGetsAPictureDrawnAtItsDevicePixels)
{
    const IconRow rows[] = {
        {"Application", ApplicationIcon(), DrawApplicationIcon},
        {"PortDialog", PortDialogIcon(), DrawPortDialogIcon},
        {"Warning", MessageIcon(QMessageBox::Warning),
         [](int side) { return DrawMessageIcon(QMessageBox::Warning, side); }},
    };
    for (const IconRow& row : rows) {
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(ratio));
            const QPixmap pixmap = row.icon.pixmap(QSize(32, 32), ratio);
            const int side = qRound(32 * ratio);
            EXPECT_EQ(pixmap.size(), QSize(side, side));
            EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), ratio);
            EXPECT_EQ(Argb(pixmap.toImage()), Argb(row.draw(side)));
        }
    }
}

TEST(DrawnIconTest, WindowIconsAtTwiceTheirGridAreSharpBlocks)
{
    for (const auto draw : {DrawApplicationIcon, DrawPortDialogIcon})
        EXPECT_EQ(Argb(draw(64)),
                  Argb(draw(32).scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    // A window manager is offered the large sizes too, for its scaled title bars and switcher.
    EXPECT_TRUE(ApplicationIcon().availableSizes().contains(QSize(128, 128)));
}

} // namespace
