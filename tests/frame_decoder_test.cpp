// Live view JPEGs become bottom-up frames with padded rows; a damaged one is dropped and the next one
// decodes.
#include "liveview/frame_decoder.h"
#include "sdk/virtual/picture_files.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <tuple>

namespace orvex::test {
namespace {

using virtualcam::Bytes;

// 5 pixels wide, so that rows need padding; the top 8 rows red, the bottom 8 blue.
Bytes redOverBlue() {
    Bytes rgb(5 * 16 * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        const bool top = i < rgb.size() / 2;
        rgb[i] = top ? 255 : 0;
        rgb[i + 2] = top ? 0 : 255;
    }
    return virtualcam::encodeJpeg(rgb, 5, 16, 95);
}

Bytes greyJpeg(int width, int height, std::uint8_t level) {
    const std::vector<unsigned char> grey(static_cast<std::size_t>(width) * height, level);
    tjhandle h = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(h, grey.data(), width, 0, height, TJPF_GRAY, &out, &size, TJSAMP_GRAY, 95, 0);
    Bytes jpeg(out, out + size);
    tjFree(out);
    tjDestroy(h);
    return jpeg;
}

Bytes white(int width, int height, bool grey) {
    return grey ? greyJpeg(width, height, 255)
                : virtualcam::encodeJpeg(Bytes(static_cast<std::size_t>(width) * height * 3, 255), width,
                                         height, 95);
}

bool near(int value, int wanted) {
    return std::abs(value - wanted) <= 8;
}

// A damaged frame in between is dropped, and the next one decodes into the same buffer.
TEST(FrameDecoder, ColourFramesAreBlueGreenRedBottomUpWithZeroPaddingAndSurviveADamagedOne) {
    const Bytes jpeg = redOverBlue();
    Frame f;
    ASSERT_TRUE(decodeFrame(jpeg.data(), jpeg.size(), f));
    const std::uint8_t* buffer = f.pixels.data();
    const Bytes damaged[] = {Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), Bytes(100, 0x5A), Bytes{}};
    for (const Bytes& d : damaged) EXPECT_FALSE(decodeFrame(d.data(), d.size(), f)) << d.size() << " bytes";
    ASSERT_TRUE(decodeFrame(jpeg.data(), jpeg.size(), f)) << "live view goes on";
    EXPECT_EQ(f.pixels.data(), buffer) << "no allocation from frame to frame";
    ASSERT_EQ(
        std::tuple(f.width, f.height, f.bitsPerPixel, f.stride(), f.pixels.size(), f.colourTable.empty()),
        std::tuple(5, 16, 24, 16, 16u * 16, true));
    const std::uint8_t* first = f.pixels.data();        // the picture's last row: blue
    const std::uint8_t* last = first + 15 * f.stride(); // its first row: red
    EXPECT_TRUE(near(first[0], 255) && near(first[1], 0) && near(first[2], 0));
    EXPECT_TRUE(near(last[0], 0) && near(last[1], 0) && near(last[2], 255));
    for (int row = 0; row < 16; ++row) EXPECT_EQ(f.pixels[row * 16 + 15], 0) << "padding of row " << row;
}

TEST(FrameDecoder, GreyFramesKeepEightBitsWithAGreyTable) {
    const Bytes jpeg = greyJpeg(5, 3, 200);
    Frame f;
    ASSERT_TRUE(decodeFrame(jpeg.data(), jpeg.size(), f));
    ASSERT_EQ(std::tuple(f.bitsPerPixel, f.stride(), f.pixels.size(), f.colourTable.size()),
              std::tuple(8, 8, 24u, 256u));
    EXPECT_TRUE(near(f.pixels[0], 200));
    EXPECT_EQ(f.pixels[5], 0) << "padding";
    EXPECT_EQ(std::tuple(f.colourTable[0], f.colourTable[128], f.colourTable[255]),
              std::tuple(0u, 0x808080u, 0xFFFFFFu));
}

// A frame of another layout whose buffer has the same length as the last one's: the rows the last frame
// filled to the end must not leave their bytes in the new padding.
TEST(FrameDecoder, ANewLayoutOfTheSameLengthGetsCleanPadding) {
    const struct {
        int width, height;
        bool grey;
        int nextWidth, nextHeight;
        bool nextGrey;
    } cases[] = {{4, 4, false, 3, 4, false},
                 {12, 4, true, 3, 4, false},
                 {4, 4, false, 9, 4, true},
                 {4, 3, false, 3, 3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.width << "x" << c.height << " then " << c.nextWidth << "x" << c.nextHeight);
        Frame f;
        const Bytes first = white(c.width, c.height, c.grey),
                    next = white(c.nextWidth, c.nextHeight, c.nextGrey);
        ASSERT_TRUE(decodeFrame(first.data(), first.size(), f));
        const std::size_t length = f.pixels.size();
        ASSERT_TRUE(decodeFrame(next.data(), next.size(), f) && f.pixels.size() == length);
        const int used = c.nextWidth * f.bitsPerPixel / 8;
        for (int row = 0; row < f.height; ++row)
            for (int k = used; k < f.stride(); ++k)
                EXPECT_EQ(f.pixels[static_cast<std::size_t>(row) * f.stride() + k], 0) << "row " << row;
    }
}

} // namespace
} // namespace orvex::test
