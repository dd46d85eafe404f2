#pragma once
// Where the camera's zoom area goes, and how a frame maps onto the picture area.
#include "platform/window.h"
#include "sdk/sdk.h"

#include <optional>

namespace orvex {

// The zoom area, a fifth of each dimension, moved by (dx, dy) and kept inside the coordinate system; a move
// of (0, 0) centres it.
EdsPoint movedZoomArea(EdsSize coordinates, EdsPoint position, int dx, int dy);

// The part of a frame that fills the picture area: the whole frame in fit view (zoom 1); zoomed, a 3:2 band
// of the frame's width placed five sixths of the way down the spare height.
PixelRect frameSource(int frameWidth, int frameHeight, EdsUInt32 zoom);

// The outline of the zoom area over a fit view of `area`; none when zoomed or before a frame has told the
// coordinate system.
std::optional<PixelRect> zoomOutline(PixelRect area, EdsUInt32 zoom, EdsSize coordinates, EdsPoint position);

} // namespace orvex
