#include "liveview/frame_decoder.h"

#include <turbojpeg.h>

#include <memory>
#include <type_traits>

namespace orvex {
namespace {

// A frame far beyond any viewfinder's is a damaged header: it would only cost memory.
constexpr int kLargestSide = 8192;

struct DecoderDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decoder = std::unique_ptr<std::remove_pointer_t<tjhandle>, DecoderDeleter>;

// One decoder per thread, made on first use: frames come one at a time on the thread that fetches them.
tjhandle decoder() {
    thread_local const Decoder handle{tjInitDecompress()};
    return handle.get();
}

void fillGreyTable(std::vector<std::uint32_t>& table) {
    table.resize(256);
    for (std::uint32_t i = 0; i < 256; ++i) table[i] = i << 16 | i << 8 | i;
}

} // namespace

bool decodeFrame(const unsigned char* jpeg, std::size_t size, Frame& frame) {
    tjhandle handle = decoder();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (handle == nullptr || jpeg == nullptr || size == 0 ||
        tjDecompressHeader3(handle, jpeg, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colourspace) != 0)
        return false;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return false;
    // Four-colour JPEGs have no conversion to blue, green, red in the decoder: such a frame is dropped.
    if (colourspace == TJCS_CMYK || colourspace == TJCS_YCCK) return false;
    const bool grey = colourspace == TJCS_GRAY;
    const int bitsPerPixel = grey ? 8 : 24;
    // Row padding must be zero. The decoder writes every pixel, so a frame of the layout before keeps the
    // zeros it had; any other layout starts from a zeroed buffer, within the capacity already there.
    const bool sameLayout =
        frame.width == width && frame.height == height && frame.bitsPerPixel == bitsPerPixel;
    frame.width = width;
    frame.height = height;
    frame.bitsPerPixel = bitsPerPixel;
    if (grey)
        fillGreyTable(frame.colourTable);
    else
        frame.colourTable.clear();
    const int stride = frame.stride();
    const std::size_t bytes = static_cast<std::size_t>(stride) * height;
    if (!sameLayout || frame.pixels.size() != bytes) frame.pixels.assign(bytes, 0);
    return tjDecompress2(handle, jpeg, static_cast<unsigned long>(size), frame.pixels.data(), width, stride,
                         height, grey ? TJPF_GRAY : TJPF_BGR, TJFLAG_BOTTOMUP) == 0;
}

} // namespace orvex
