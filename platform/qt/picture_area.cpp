#include "platform/qt/picture_area.h"

#include <QPainter>

namespace orvex {
namespace {

// The colour of the picture's pixel (x, y) counted from its top row; black outside it.
QRgb pixelAt(const Picture& p, int x, int y) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return qRgb(0, 0, 0);
    const std::uint8_t* row = p.pixels + static_cast<std::ptrdiff_t>(p.height - 1 - y) * p.stride;
    if (p.bitsPerPixel == 24) return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    const int index = row[x];
    return index < p.colourCount ? QRgb(0xFF000000u | p.colourTable[index]) : qRgb(0, 0, 0);
}

} // namespace

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureArea::show(const Picture& p) {
    const int w = width(), h = height();
    if (image_.size() != size()) image_ = QImage(w, h, QImage::Format_RGB32);
    // Each target pixel takes the source pixel it falls on: lines are dropped or repeated, never blended.
    const bool readable = p.bitsPerPixel == 24 || p.bitsPerPixel == 8;
    for (int ty = 0; ty < h; ++ty) {
        auto* out = reinterpret_cast<QRgb*>(image_.scanLine(ty));
        const int sy = p.source.y + static_cast<int>(static_cast<long long>(ty) * p.source.height / h);
        for (int tx = 0; tx < w; ++tx) {
            const int sx = p.source.x + static_cast<int>(static_cast<long long>(tx) * p.source.width / w);
            out[tx] = readable ? pixelAt(p, sx, sy) : qRgb(0, 0, 0);
        }
    }
    outline_ = p.outline;
    update();
}

void PictureArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (image_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, image_);
    if (!outline_) return;
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline_->x, outline_->y, outline_->width, outline_->height);
}

} // namespace orvex
