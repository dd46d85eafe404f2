#include "platform/qt/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orvex {
namespace {

// A reflex camera seen from the front, on a 64-unit grid.
QPixmap drawCamera(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(Qt::NoPen);

    const QColor body(0x37, 0x47, 0x4f);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(4, 20, 56, 36), 6, 6);
    QPolygonF prism;
    prism << QPointF(20, 21) << QPointF(25, 10) << QPointF(39, 10) << QPointF(44, 21);
    outline.addPolygon(prism);
    painter.setBrush(body);
    painter.drawPath(outline.simplified());

    painter.setBrush(QColor(0xe5, 0x39, 0x35));
    painter.drawRoundedRect(QRectF(47, 15, 9, 5), 1.5, 1.5);

    const QPointF centre(32, 38);
    painter.setBrush(QColor(0xcf, 0xd8, 0xdc));
    painter.drawEllipse(centre, 14, 14);
    painter.setBrush(QColor(0x1e, 0x3a, 0x5f));
    painter.drawEllipse(centre, 10, 10);
    painter.setBrush(QColor(0x5c, 0x8d, 0xc4));
    painter.drawEllipse(centre, 5, 5);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QPointF(28, 34), 2.5, 2.5);
    return pixmap;
}

} // namespace

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(drawCamera(size));
    return icon;
}

} // namespace orvex
