#include "RefDataIcon.h"

#include <QPainter>
#include <QPixmap>

namespace {

QPixmap paintIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 64, 160));
    painter.drawEllipse(QRectF(1, 1, 30, 30));
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(16, 12), QPointF(16, 27));
    painter.drawLine(QPointF(11, 27), QPointF(21, 27));
    painter.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= 2; ++ring) {
        const double r = 3.5 * ring;
        const QRectF box(16 - r, 12 - r, 2 * r, 2 * r);
        painter.drawArc(box, 30 * 16, 120 * 16);
    }
    return pixmap;
}

} // namespace

namespace RefDataIcon {

QIcon icon()
{
    QIcon result;
    for (const int size : {16, 32, 48})
        result.addPixmap(paintIcon(size));
    return result;
}

} // namespace RefDataIcon
