#include "AppIcons.h"

#include "DrawnIcon.h"

#include <QPainter>

namespace {

// The 16-colour palette the icons keep to.
const QColor kBlack(0, 0, 0);
const QColor kDarkGrey(128, 128, 128);
const QColor kLightGrey(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kCyan(0, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kOlive(128, 128, 0);

// Paints on a 32 x 32 grid whatever the image's size, without smoothing, so each shape stays
// on whole pixels of the palette: at twice the size each grid square is a sharp 2 x 2 block.
QImage Canvas(int size, QPainter& painter)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.scale(size / 32.0, size / 32.0);
    return image;
}

void Bevel(QPainter& p, const QRect& r, const QColor& face)
{
    p.fillRect(r, face);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), kWhite);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), kWhite);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), kBlack);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), kBlack);
}

// A component standing upright, with its pins on both long sides.
void Chip(QPainter& p, const QRect& body)
{
    for (int y = body.top() + 3; y < body.bottom() - 1; y += 4) {
        p.fillRect(QRect(body.left() - 2, y, 2, 1), kLightGrey);
        p.fillRect(QRect(body.right() + 1, y, 2, 1), kLightGrey);
    }
    p.fillRect(body, kBlack);
    p.fillRect(body.adjusted(1, 1, -1, -1), QColor(64, 64, 64));
    p.fillRect(QRect(body.center().x(), body.top() + 1, 2, 1), kDarkGrey);
}

} // namespace

QImage DrawApplicationIcon(int size)
{
    QPainter p;
    QImage image = Canvas(size, p);

    // The computer: a monitor with a screen, on a stand and a keyboard.
    Bevel(p, QRect(1, 3, 18, 15), kLightGrey);
    p.fillRect(QRect(3, 5, 14, 10), kNavy);
    p.fillRect(QRect(4, 6, 8, 1), kCyan);
    p.fillRect(QRect(4, 8, 11, 1), kCyan);
    p.fillRect(QRect(4, 10, 6, 1), kCyan);
    p.fillRect(QRect(4, 12, 9, 1), kCyan);
    p.fillRect(QRect(7, 18, 6, 2), kDarkGrey);
    Bevel(p, QRect(2, 20, 16, 5), kLightGrey);
    for (int x = 4; x < 16; x += 2)
        p.fillRect(QRect(x, 22, 1, 1), kDarkGrey);

    // The cable from the computer to the device.
    p.fillRect(QRect(18, 23, 5, 1), kBlack);
    p.fillRect(QRect(22, 19, 1, 5), kBlack);

    // The device: a small box with a display and two lamps.
    Bevel(p, QRect(20, 9, 11, 11), kTeal);
    p.fillRect(QRect(22, 11, 7, 3), kOlive);
    p.fillRect(QRect(23, 12, 5, 1), kYellow);
    p.fillRect(QRect(22, 16, 2, 2), kGreen);
    p.fillRect(QRect(26, 16, 2, 2), kRed);

    p.end();
    return image;
}

QImage DrawPortDialogIcon(int size)
{
    QPainter p;
    QImage image = Canvas(size, p);

    // Two components; each pin of the one is joined to a pin of the other.
    const QRect left(3, 5, 7, 22);
    const QRect right(22, 5, 7, 22);
    for (int y = left.top() + 3; y < left.bottom() - 1; y += 4)
        p.fillRect(QRect(left.right() + 3, y, right.left() - left.right() - 5, 1), kNavy);
    Chip(p, left);
    Chip(p, right);

    p.end();
    return image;
}

namespace {
// From the smallest title bar icon to a large task switcher's, at the display scales in use.
const QList<int> kWindowIconSides = {16, 24, 32, 48, 64, 96, 128};
} // namespace

QIcon ApplicationIcon()
{
    return DrawnIcon(DrawApplicationIcon, kWindowIconSides);
}

QIcon PortDialogIcon()
{
    return DrawnIcon(DrawPortDialogIcon, kWindowIconSides);
}
