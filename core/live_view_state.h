#pragma once
// The live view record: the frames on their way from the camera to the move detection.
#include "platform/window.h"
#include "sdk/sdk.h"

#include <cstdint>
#include <vector>

namespace orvex {

// One decoded viewfinder picture, laid out as the move detection counts it: rows bottom-up (the picture's
// last row first), each padded with zero bytes to a multiple of 4. Colour frames are 24 bits, blue, green,
// red; a grey frame is 8 bits with a grey colour table.
struct Frame {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint32_t> colourTable; // 0x00RRGGBB by index; empty for colour frames

    int stride() const { return ((width * bitsPerPixel + 31) / 32) * 4; }
};

// A frame slot that holds a frame or none, with the zoom and zoom position the camera showed it at.
// Dropping a frame keeps its buffers for the next one, so that a running live view allocates nothing from
// frame to frame.
struct FrameSlot {
    Frame frame;
    bool held = false;
    EdsUInt32 zoom = 0;
    EdsPoint zoomPosition{0, 0};
};

struct LiveViewState {
    bool wanted = false;          // its frames are fetched on timer 4
    Window* window = nullptr;     // the live view window while it is open
    bool windowShown = false;     // not minimised
    bool rearmFrameTimer = false; // the next tick puts timer 4 back to the frame rate
    int framesPerSecond = 3;
    bool afAvailable = false; // the lens is not switched to manual focus
    bool afEngaged = false;
    FrameSlot pending;   // decoded, not yet consumed
    FrameSlot reference; // the frame before, kept while a movement wait is armed
    // What the camera said of the last frame.
    EdsUInt32 evfZoom = 0;
    EdsSize coordinateSystem{0, 0};
    EdsPoint zoomPosition{0, 0};
};

} // namespace orvex
