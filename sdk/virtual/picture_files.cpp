#include "sdk/virtual/picture_files.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace orvex::virtualcam {
namespace {

// ---- TIFF, little-endian, as the EXIF block of a JPEG and as the RAW files are made of ----

constexpr std::uint16_t kAscii = 2, kShort = 3, kLong = 4, kRational = 5;

void putLe(Bytes& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

struct Field {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    Bytes value; // little-endian, as stored
};

class Ifd {
  public:
    void ascii(std::uint16_t tag, const std::string& text) {
        Bytes v(text.begin(), text.end());
        v.push_back(0);
        fields_.push_back({tag, kAscii, static_cast<std::uint32_t>(v.size()), v});
    }
    void shorts(std::uint16_t tag, const std::vector<std::uint16_t>& values) {
        Bytes v;
        for (std::uint16_t s : values) putLe(v, s, 2);
        fields_.push_back({tag, kShort, static_cast<std::uint32_t>(values.size()), v});
    }
    void longValue(std::uint16_t tag, std::uint32_t value) {
        Bytes v;
        putLe(v, value, 4);
        fields_.push_back({tag, kLong, 1, v});
    }
    void setLong(std::uint16_t tag, std::uint32_t value) {
        for (Field& f : fields_)
            if (f.tag == tag) {
                f.value.clear();
                putLe(f.value, value, 4);
            }
    }
    void rational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) {
        Bytes v;
        putLe(v, numerator, 4);
        putLe(v, denominator, 4);
        fields_.push_back({tag, kRational, 1, v});
    }

    // Bytes this IFD takes: entry count, entries, next-IFD link, then the values that do not fit an entry.
    std::size_t size() const {
        std::size_t n = 2 + 12 * fields_.size() + 4;
        for (const Field& f : fields_)
            if (f.value.size() > 4) n += (f.value.size() + 1) & ~std::size_t{1};
        return n;
    }

    // Appends the IFD at the end of `out`; the offsets it writes count from the start of `out`.
    void write(Bytes& out, std::uint32_t nextIfd) {
        // Readers look entries up by binary search: they must be in tag order.
        std::stable_sort(fields_.begin(), fields_.end(),
                         [](const Field& a, const Field& b) { return a.tag < b.tag; });
        const std::size_t start = out.size();
        std::size_t data = start + 2 + 12 * fields_.size() + 4;
        putLe(out, static_cast<std::uint32_t>(fields_.size()), 2);
        for (const Field& f : fields_) {
            putLe(out, f.tag, 2);
            putLe(out, f.type, 2);
            putLe(out, f.count, 4);
            if (f.value.size() <= 4) {
                Bytes inline4 = f.value;
                inline4.resize(4, 0);
                out.insert(out.end(), inline4.begin(), inline4.end());
            } else {
                putLe(out, static_cast<std::uint32_t>(data), 4);
                data += (f.value.size() + 1) & ~std::size_t{1};
            }
        }
        putLe(out, nextIfd, 4);
        for (const Field& f : fields_)
            if (f.value.size() > 4) {
                out.insert(out.end(), f.value.begin(), f.value.end());
                if (f.value.size() % 2) out.push_back(0);
            }
    }

  private:
    std::vector<Field> fields_;
};

std::string exifDate(const EdsTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u:%02u:%02u %02u:%02u:%02u", t.year % 10000, t.month % 100,
                  t.day % 100, t.hour % 100, t.minute % 100, t.second % 100);
    return text;
}

// The tags every file of the body carries: who made it and when.
void describe(Ifd& ifd0, const PictureFacts& facts) {
    ifd0.ascii(0x010F, "Canon");
    ifd0.ascii(0x0110, facts.model);
    ifd0.ascii(0x0132, exifDate(facts.taken));
    if (!facts.owner.empty()) ifd0.ascii(0x013B, facts.owner);
}

Ifd exifIfd(const PictureFacts& facts) {
    Ifd exif;
    // Microseconds would overflow the rational after 71 minutes; a bulb that long is counted in milliseconds.
    const bool longExposure = facts.exposureMicroseconds >= 1000000;
    std::uint32_t numerator = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        longExposure ? facts.exposureMicroseconds / 1000 : facts.exposureMicroseconds, 0xFFFFFFFFu));
    std::uint32_t denominator = longExposure ? 1000 : 1000000;
    const std::uint32_t common = std::gcd(numerator, denominator);
    if (common > 1) numerator /= common, denominator /= common;
    exif.rational(0x829A, numerator, denominator);
    exif.shorts(0x8827, {static_cast<std::uint16_t>(std::min(facts.iso, 65535u))});
    exif.ascii(0x9003, exifDate(facts.taken));
    char sub[8];
    std::snprintf(sub, sizeof sub, "%03u", facts.taken.milliseconds % 1000);
    exif.ascii(0x9291, sub);
    if (!facts.bodyId.empty()) exif.ascii(0xA431, facts.bodyId);
    return exif;
}

// A TIFF holding IFD0 (with the optional preview strip) and the EXIF IFD. `headerExtra` goes between the
// TIFF header and IFD0, as the CR2 marker does.
Bytes tiff(Ifd ifd0, Ifd exif, const Bytes& headerExtra, const Bytes* strip) {
    Bytes out = {'I', 'I', 42, 0};
    const std::uint32_t ifd0At = static_cast<std::uint32_t>(8 + headerExtra.size());
    putLe(out, ifd0At, 4);
    out.insert(out.end(), headerExtra.begin(), headerExtra.end());
    // The pointers are in place before IFD0's size is counted, so the layout below holds once they are set.
    ifd0.longValue(0x8769, 0);
    if (strip) ifd0.longValue(0x0111, 0);
    const std::uint32_t exifAt = static_cast<std::uint32_t>(ifd0At + ifd0.size());
    const std::uint32_t stripAt = static_cast<std::uint32_t>(exifAt + exif.size());
    ifd0.setLong(0x8769, exifAt);
    if (strip) ifd0.setLong(0x0111, stripAt);
    ifd0.write(out, 0);
    exif.write(out, 0);
    if (strip) out.insert(out.end(), strip->begin(), strip->end());
    return out;
}

// ---- Drawing ----

// Digits 0–9, five columns by seven rows, one byte per row with the leftmost column in bit 4.
constexpr std::uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};

void drawNumber(Bytes& rgb, int width, int height, unsigned number) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u", number);
    const int digits = static_cast<int>(std::char_traits<char>::length(text));
    // As large as fits across half the picture.
    const int scale = std::max(1, width / 2 / (digits * 6));
    const int x0 = (width - digits * 6 * scale) / 2, y0 = (height - 7 * scale) / 2;
    for (int d = 0; d < digits; ++d)
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col) {
                if (!(kDigits[text[d] - '0'][row] & (0x10 >> col))) continue;
                for (int y = y0 + row * scale; y < y0 + (row + 1) * scale; ++y)
                    for (int x = x0 + (d * 6 + col) * scale; x < x0 + (d * 6 + col + 1) * scale; ++x) {
                        if (x < 0 || y < 0 || x >= width || y >= height) continue;
                        std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                        p[0] = p[1] = p[2] = 255;
                    }
            }
}

Bytes gradientPicture(int width, int height, unsigned number) {
    Bytes rgb(static_cast<std::size_t>(width) * height * 3);
    // Each picture its own tint, so that two files of different shots are told apart at a glance.
    const auto tint = static_cast<std::uint8_t>(number * 47 % 256);
    // The red ramp and the tint are the same on every row, and green is the same along one: worked out once
    // each, a long rehearsal does not spend most of its time dividing.
    Bytes row(static_cast<std::size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        row[static_cast<std::size_t>(x) * 3] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
        row[static_cast<std::size_t>(x) * 3 + 2] = tint;
    }
    for (int y = 0; y < height; ++y) {
        const auto green = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
        for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x) * 3 + 1] = green;
        std::copy(row.begin(), row.end(), rgb.begin() + static_cast<std::ptrdiff_t>(row.size()) * y);
    }
    drawNumber(rgb, width, height, number);
    return rgb;
}

std::uint32_t hash(std::int64_t x, std::int64_t y) {
    auto h = static_cast<std::uint32_t>(x * 73856093 ^ y * 19349663);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

// The height of the hills' ridge above a column of the sensor.
double hillAt(const LiveViewShot& s, double x) {
    return s.sensorHeight * (0.72 + 0.06 * std::sin(x / s.sensorWidth * 9.0) + 0.03 * std::sin(x / 97.0));
}

// The scene behind the object at a point of the sensor, under the ridge `hill` of its column: a night sky, a
// row of hills and a focus target.
void sceneColour(const LiveViewShot& s, double x, double y, double hill, std::uint8_t* out) {
    const double h = s.sensorHeight;
    if (y > hill) {
        out[0] = 20, out[1] = static_cast<std::uint8_t>(60 + 40 * (y - hill) / h), out[2] = 25;
        return;
    }
    // A checkered square in the middle gives zoomed views something to focus on.
    const double cx = x - s.sensorWidth / 2.0, cy = y - h / 2.0;
    if (std::abs(cx) < h / 12 && std::abs(cy) < h / 12) {
        const bool light =
            (static_cast<int>(std::floor(cx / 24)) + static_cast<int>(std::floor(cy / 24))) % 2 == 0;
        out[0] = out[1] = out[2] = light ? 230 : 30;
        return;
    }
    constexpr int kCell = 64;
    const std::int64_t gx = static_cast<std::int64_t>(std::floor(x / kCell)),
                       gy = static_cast<std::int64_t>(std::floor(y / kCell));
    const std::uint32_t star = hash(gx, gy);
    if (star % 23 == 0) {
        const double sx = gx * kCell + 32, sy = gy * kCell + 32;
        if ((x - sx) * (x - sx) + (y - sy) * (y - sy) < 100) {
            out[0] = out[1] = out[2] = static_cast<std::uint8_t>(180 + star % 70);
            return;
        }
    }
    const double sky = y / hill;
    out[0] = static_cast<std::uint8_t>(10 + 30 * sky);
    out[1] = static_cast<std::uint8_t>(15 + 40 * sky);
    out[2] = static_cast<std::uint8_t>(50 + 80 * sky);
}

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};

Bytes withExif(const Bytes& jpeg, const Bytes& tiffBlock) {
    // After the JFIF segment, when there is one, which must stay first.
    std::size_t at = 2;
    if (jpeg.size() > 6 && jpeg[2] == 0xFF && jpeg[3] == 0xE0) at = 4 + (jpeg[4] << 8 | jpeg[5]);
    const std::size_t length = 2 + 6 + tiffBlock.size();
    if (length > 0xFFFF) throw std::length_error("EXIF block too large");
    Bytes out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(at));
    out.insert(out.end(),
               {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), {'E', 'x', 'i', 'f', 0, 0});
    out.insert(out.end(), tiffBlock.begin(), tiffBlock.end());
    out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(at), jpeg.end());
    return out;
}

} // namespace

Bytes encodeJpeg(const Bytes& rgb, int width, int height, int quality) {
    const std::unique_ptr<void, TjDeleter> handle(tjInitCompress());
    if (!handle) throw std::runtime_error("JPEG encoder unavailable");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(handle.get(), rgb.data(), width, 0, height, TJPF_RGB, &buffer, &size,
                                   TJSAMP_420, quality, 0);
    const std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(buffer,
                                                                         [](unsigned char* b) { tjFree(b); });
    if (result != 0) throw std::runtime_error("JPEG encoding failed");
    return Bytes(buffer, buffer + size);
}

Bytes makeJpegPicture(const PictureFacts& facts, int width, int height, bool fine) {
    Ifd ifd0;
    describe(ifd0, facts);
    const Bytes jpeg =
        encodeJpeg(gradientPicture(width, height, facts.number), width, height, fine ? 92 : 75);
    return withExif(jpeg, tiff(ifd0, exifIfd(facts), {}, nullptr));
}

Bytes makeRawPicture(const PictureFacts& facts, bool cr2) {
    constexpr int kWidth = 160, kHeight = 120;
    const Bytes strip = gradientPicture(kWidth, kHeight, facts.number);
    Ifd ifd0;
    describe(ifd0, facts);
    ifd0.longValue(0x0100, kWidth);
    ifd0.longValue(0x0101, kHeight);
    ifd0.shorts(0x0102, {8, 8, 8});
    ifd0.shorts(0x0103, {1}); // uncompressed
    ifd0.shorts(0x0106, {2}); // RGB
    ifd0.shorts(0x0112, {1});
    ifd0.shorts(0x0115, {3});
    ifd0.longValue(0x0116, kHeight);
    ifd0.longValue(0x0117, static_cast<std::uint32_t>(strip.size()));
    // "CR", version 2.0, and the offset of the RAW IFD, which this small file does not have.
    const Bytes marker = cr2 ? Bytes{'C', 'R', 2, 0, 0, 0, 0, 0} : Bytes{};
    return tiff(ifd0, exifIfd(facts), marker, &strip);
}

Bytes renderLiveView(const LiveViewShot& shot) {
    double columns[kLiveViewWidth];
    for (int x = 0; x < kLiveViewWidth; ++x) columns[x] = shot.left + (x + 0.5) * shot.width / kLiveViewWidth;
    const auto rowY = [&](int y) { return shot.top + (y + 0.5) * shot.height / kLiveViewHeight; };
    // A Move line's long wait draws the same view many times a second, and only the object moves in it: the
    // scene behind is drawn once a view (and a thread).
    thread_local LiveViewShot view;
    thread_local Bytes scene;
    if (scene.empty() || view.sensorWidth != shot.sensorWidth || view.sensorHeight != shot.sensorHeight ||
        view.left != shot.left || view.top != shot.top || view.width != shot.width ||
        view.height != shot.height) {
        view = shot;
        scene.resize(static_cast<std::size_t>(kLiveViewWidth) * kLiveViewHeight * 3);
        double hills[kLiveViewWidth];
        for (int x = 0; x < kLiveViewWidth; ++x) hills[x] = hillAt(shot, columns[x]);
        for (int y = 0; y < kLiveViewHeight; ++y)
            for (int x = 0; x < kLiveViewWidth; ++x)
                sceneColour(shot, columns[x], rowY(y), hills[x],
                            &scene[(static_cast<std::size_t>(y) * kLiveViewWidth + x) * 3]);
    }
    Bytes rgb = scene;
    const double radius2 = shot.objectRadius * shot.objectRadius;
    for (int y = 0; y < kLiveViewHeight; ++y) {
        const double dy = rowY(y) - shot.objectY;
        if (dy * dy > radius2) continue;
        for (int x = 0; x < kLiveViewWidth; ++x) {
            const double dx = columns[x] - shot.objectX;
            if (dx * dx + dy * dy > radius2) continue;
            std::uint8_t* out = &rgb[(static_cast<std::size_t>(y) * kLiveViewWidth + x) * 3];
            out[0] = 250, out[1] = 240, out[2] = 220;
        }
    }
    // An object standing still, or out of the view, gives the frame before again.
    thread_local Bytes lastRgb, lastFrame;
    if (rgb != lastRgb) {
        lastFrame = encodeJpeg(rgb, kLiveViewWidth, kLiveViewHeight, 80);
        lastRgb = std::move(rgb);
    }
    return lastFrame;
}

} // namespace orvex::virtualcam
