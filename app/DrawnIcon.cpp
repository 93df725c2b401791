#include "DrawnIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <utility>

namespace {

class DrawnIconEngine : public QIconEngine
{
public:
    DrawnIconEngine(IconPainter paint, QList<int> sides)
        : m_paint(std::move(paint)), m_sides(std::move(sides))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const int side = std::min(rect.width(), rect.height());
        QImage image = m_paint(qRound(side * ratio));
        image.setDevicePixelRatio(ratio);
        painter->drawImage(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2, image);
    }

    // QIcon asks for device pixels: the size at the display's scale.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return QPixmap::fromImage(m_paint(std::min(size.width(), size.height())));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : m_sides)
            sizes.append(QSize(side, side));
        return sizes;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(m_paint, m_sides); }

private:
    IconPainter m_paint;
    QList<int> m_sides;
};

} // namespace

QIcon DrawnIcon(IconPainter paint, const QList<int>& sides)
{
    return QIcon(new DrawnIconEngine(std::move(paint), sides));
}
