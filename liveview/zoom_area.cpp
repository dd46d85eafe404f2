#include "liveview/zoom_area.h"

#include <algorithm>

namespace orvex {

EdsPoint movedZoomArea(EdsSize c, EdsPoint position, int dx, int dy) {
    if (dx == 0 && dy == 0) return {2 * c.width / 5, 2 * c.height / 5};
    // The lower limit first: a coordinate system too small for an area keeps it at 0.
    const auto limit = [](EdsInt32 v, EdsInt32 upper) { return std::min(std::max(v, 0), upper); };
    return {limit(position.x + dx, 4 * c.width / 5), limit(position.y + dy, 4 * c.height / 5)};
}

PixelRect frameSource(int width, int height, EdsUInt32 zoom) {
    if (zoom == 1) return {0, 0, width, height};
    const int band = width * 10 / 15;
    return {0, (height - band) * 10 / 12, width, band};
}

std::optional<PixelRect> zoomOutline(PixelRect area, EdsUInt32 zoom, EdsSize c, EdsPoint position) {
    if (zoom != 1 || c.width == 0 || c.height == 0) return std::nullopt;
    return PixelRect{area.width * position.x / c.width, area.height * position.y / c.height, area.width / 5,
                     area.height / 5};
}

} // namespace orvex
