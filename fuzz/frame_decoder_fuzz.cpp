// The live view decoder on any bytes, as a body's frame or a user's file may hold them: a frame laid out as
// the move detection counts it, or a refusal. The frame before, of another layout and with no byte at zero,
// is decoded over, as live view does from frame to frame.
#include "liveview/frame_decoder.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Says which property broke before stopping, so that a finding explains itself.
#define CHECK(condition)                                                                                     \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "decoded frame broken: %s\n", #condition);                                  \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

void checkLayout(const orvex::Frame& f) {
    CHECK(f.width > 0 && f.height > 0 && f.width <= 8192 && f.height <= 8192);
    CHECK(f.bitsPerPixel == 24 || f.bitsPerPixel == 8);
    CHECK(f.colourTable.size() == (f.bitsPerPixel == 8 ? 256u : 0u));
    CHECK(f.pixels.size() == static_cast<std::size_t>(f.stride()) * static_cast<std::size_t>(f.height));
    const int used = f.width * f.bitsPerPixel / 8;
    for (int row = 0; row < f.height; ++row)
        for (int k = used; k < f.stride(); ++k)
            CHECK(f.pixels[static_cast<std::size_t>(row) * f.stride() + k] == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvex::Frame f;
    if (size > 0) {
        // The first byte shapes the frame before; the same bytes are the picture, whose first byte a JPEG
        // needs anyway.
        f.width = 1 + data[0] % 16;
        f.height = 1 + data[0] / 16;
        f.bitsPerPixel = data[0] % 2 ? 8 : 24;
        f.pixels.assign(static_cast<std::size_t>(f.stride()) * f.height, 0xA5);
    }
    if (!orvex::decodeFrame(data, size, f)) return 0;
    checkLayout(f);
    // The same picture again, over itself: the buffer is reused and the frame comes out the same.
    const orvex::Frame first = f;
    CHECK(orvex::decodeFrame(data, size, f));
    CHECK(f.pixels == first.pixels && f.width == first.width && f.height == first.height);
    return 0;
}
