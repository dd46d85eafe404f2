// The picture area draws a bottom-up frame the right way up, pixel for pixel without blending, black where
// the source rectangle leaves the frame, and the zoom area's outline on the very pixels it names.
#include "platform/qt/picture_area.h"

#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace orvex {
namespace {

// The picture's rows from the top, each one colour; none is the outline's red.
constexpr std::array<QRgb, 4> kRows = {qRgb(10, 20, 30), qRgb(40, 50, 60), qRgb(70, 80, 90),
                                       qRgb(100, 110, 120)};
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);

// 3 pixels wide, so that each row carries 3 bytes of padding; stored bottom-up, blue, green, red.
std::vector<std::uint8_t> bottomUpFrame() {
    std::vector<std::uint8_t> pixels(12 * 4, 0);
    for (int row = 0; row < 4; ++row) {
        const QRgb c = kRows[3 - row];
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = &pixels[row * 12 + x * 3];
            p[0] = qBlue(c), p[1] = qGreen(c), p[2] = qRed(c);
        }
    }
    return pixels;
}

TEST(PictureArea, DrawsRowsTopDownBlackOutsideAndTheOutline) {
    struct Pixel {
        int x, y;
        QRgb colour;
    };
    const struct {
        const char* name;
        int width, height;
        PixelRect source;
        std::optional<PixelRect> outline;
        std::vector<Pixel> expected;
    } cases[] = {
        {"one to one: the last row in memory is the top",
         3,
         4,
         {0, 0, 3, 4},
         std::nullopt,
         {{0, 0, kRows[0]}, {2, 0, kRows[0]}, {1, 1, kRows[1]}, {1, 2, kRows[2]}, {2, 3, kRows[3]}}},
        {"stretched: lines repeated, never blended",
         6,
         8,
         {0, 0, 3, 4},
         std::nullopt,
         {{0, 0, kRows[0]}, {5, 1, kRows[0]}, {0, 2, kRows[1]}, {3, 5, kRows[2]}, {5, 7, kRows[3]}}},
        {"a band beyond the frame is black there",
         3,
         6,
         {0, -1, 3, 6},
         std::nullopt,
         {{1, 0, kBlack}, {1, 1, kRows[0]}, {1, 4, kRows[3]}, {1, 5, kBlack}}},
        {"the outline's corners and sides, not its inside",
         9,
         8,
         {0, 0, 3, 4},
         PixelRect{2, 2, 3, 4},
         {{2, 2, kRed},
          {5, 2, kRed},
          {5, 6, kRed},
          {2, 6, kRed},
          {3, 2, kRed},
          {2, 4, kRed},
          {5, 5, kRed},
          {3, 3, kRows[1]},
          {4, 5, kRows[2]},
          {6, 6, kRows[3]},
          {1, 1, kRows[0]}}},
    };
    const std::vector<std::uint8_t> pixels = bottomUpFrame();
    for (const auto& c : cases) {
        PictureArea area(nullptr);
        area.resize(c.width, c.height);
        area.show({3, 4, 24, 12, pixels.data(), nullptr, 0, c.source, c.outline});
        const QImage shot = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), QSize(c.width, c.height)) << c.name;
        for (const Pixel& p : c.expected)
            EXPECT_EQ(shot.pixel(p.x, p.y), p.colour) << c.name << " at " << p.x << "," << p.y;
    }
}

} // namespace
} // namespace orvex
