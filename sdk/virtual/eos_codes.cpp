#include "sdk/virtual/eos_codes.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace orvex::virtualcam {
namespace {

// The EOS shutter-speed codes with their times as fractions of a second (numerator, denominator). Codes
// advance by eighths of a stop; the thirds and halves of a stop share some times.
constexpr std::pair<EdsUInt32, std::pair<std::uint32_t, std::uint32_t>> kShutterSpeeds[] = {
    {0x10, {30, 1}},   {0x13, {25, 1}},   {0x14, {20, 1}},   {0x15, {20, 1}},   {0x18, {15, 1}},
    {0x1B, {13, 1}},   {0x1C, {10, 1}},   {0x1D, {10, 1}},   {0x20, {8, 1}},    {0x23, {6, 1}},
    {0x24, {6, 1}},    {0x25, {5, 1}},    {0x28, {4, 1}},    {0x2B, {32, 10}},  {0x2C, {3, 1}},
    {0x2D, {25, 10}},  {0x30, {2, 1}},    {0x33, {16, 10}},  {0x34, {15, 10}},  {0x35, {13, 10}},
    {0x38, {1, 1}},    {0x3B, {8, 10}},   {0x3C, {7, 10}},   {0x3D, {6, 10}},   {0x40, {5, 10}},
    {0x43, {4, 10}},   {0x44, {3, 10}},   {0x45, {3, 10}},   {0x48, {1, 4}},    {0x4B, {1, 5}},
    {0x4C, {1, 6}},    {0x4D, {1, 6}},    {0x50, {1, 8}},    {0x53, {1, 10}},   {0x54, {1, 10}},
    {0x55, {1, 13}},   {0x58, {1, 15}},   {0x5B, {1, 20}},   {0x5C, {1, 20}},   {0x5D, {1, 25}},
    {0x60, {1, 30}},   {0x63, {1, 40}},   {0x64, {1, 45}},   {0x65, {1, 50}},   {0x68, {1, 60}},
    {0x6B, {1, 80}},   {0x6C, {1, 90}},   {0x6D, {1, 100}},  {0x70, {1, 125}},  {0x73, {1, 160}},
    {0x74, {1, 180}},  {0x75, {1, 200}},  {0x78, {1, 250}},  {0x7B, {1, 320}},  {0x7C, {1, 350}},
    {0x7D, {1, 400}},  {0x80, {1, 500}},  {0x83, {1, 640}},  {0x84, {1, 750}},  {0x85, {1, 800}},
    {0x88, {1, 1000}}, {0x8B, {1, 1250}}, {0x8C, {1, 1500}}, {0x8D, {1, 1600}}, {0x90, {1, 2000}},
    {0x93, {1, 2500}}, {0x94, {1, 3000}}, {0x95, {1, 3200}}, {0x98, {1, 4000}}, {0x9B, {1, 5000}},
    {0x9C, {1, 6000}}, {0x9D, {1, 6400}}, {0xA0, {1, 8000}},
};

constexpr EdsUInt32 kImageTypeJpeg = 1, kImageTypeCrw = 2, kImageTypeCr2 = 6;

} // namespace

std::optional<std::uint64_t> shutterMicroseconds(EdsUInt32 tvCode) {
    for (const auto& [code, time] : kShutterSpeeds)
        if (code == tvCode) return std::uint64_t{time.first} * 1000000u / time.second;
    return std::nullopt;
}

unsigned isoNumber(EdsUInt32 isoCode) {
    static constexpr std::pair<EdsUInt32, unsigned> kIso[] = {
        {0x28, 6},     {0x30, 12},    {0x38, 25},    {0x40, 50},    {0x48, 100},    {0x4B, 125},
        {0x4D, 160},   {0x50, 200},   {0x53, 250},   {0x55, 320},   {0x58, 400},    {0x5B, 500},
        {0x5D, 640},   {0x60, 800},   {0x63, 1000},  {0x65, 1250},  {0x68, 1600},   {0x6B, 2000},
        {0x6D, 2500},  {0x70, 3200},  {0x73, 4000},  {0x75, 5000},  {0x78, 6400},   {0x7B, 8000},
        {0x7D, 10000}, {0x80, 12800}, {0x88, 25600}, {0x90, 51200}, {0x98, 102400},
    };
    for (const auto& [code, iso] : kIso)
        if (code == isoCode) return iso;
    return 100;
}

std::optional<unsigned> burstIntervalMs(EdsUInt32 driveMode) {
    switch (driveMode) {
    case 1: // continuous: 5 frames a second
        return 200;
    case 4: // high-speed continuous
        return 125;
    case 5: // low-speed continuous
        return 333;
    default:
        return std::nullopt;
    }
}

bool isKnownDriveMode(EdsUInt32 driveMode) {
    return driveMode == 0 || burstIntervalMs(driveMode).has_value();
}

std::optional<QualityFiles> decodeQuality(EdsUInt32 code, bool legacyProtocol) {
    // Bits 31..24 size, 23..20 image type, 19..16 compression of the first picture; the low half the same
    // for the second one.
    const EdsUInt32 size = code >> 24, type = (code >> 20) & 0xF, compression = (code >> 16) & 0xF;
    const EdsUInt32 second = code & 0xFFFF;
    if (size > 2) return std::nullopt;
    QualityFiles files;
    files.jpegSize = static_cast<int>(size);
    if (type == kImageTypeJpeg) {
        if (compression != 2 && compression != 3) return std::nullopt;
        files.fine = compression == 3;
    } else if (type == (legacyProtocol ? kImageTypeCrw : kImageTypeCr2)) {
        files.primary = legacyProtocol ? FileKind::Crw : FileKind::Cr2;
        files.jpegSize = 0;
    } else {
        return std::nullopt;
    }
    const EdsUInt32 none = legacyProtocol ? 0x0000 : 0xFF0F;
    if (second == none) return files;
    // A second picture is a JPEG beside a RAW.
    const EdsUInt32 secondSize = second >> 8, secondType = (second >> 4) & 0xF,
                    secondCompression = second & 0xF;
    if (files.primary == FileKind::Jpeg || secondSize > 2 || secondType != kImageTypeJpeg ||
        (secondCompression != 2 && secondCompression != 3))
        return std::nullopt;
    files.jpegToo = true;
    files.jpegSize = static_cast<int>(secondSize);
    files.fine = secondCompression == 3;
    return files;
}

std::vector<EdsUInt32> standardShutterCodes(bool fastest8000) {
    // Bulb, then 30 s to 1/4000 or 1/8000 s in thirds of a stop, as the bodies list them.
    std::vector<EdsUInt32> codes = {kTvBulb, 0x10, 0x13, 0x15, 0x18, 0x1B, 0x1D, 0x20, 0x23, 0x25, 0x28,
                                    0x2B,    0x2D, 0x30, 0x33, 0x35, 0x38, 0x3B, 0x3D, 0x40, 0x43, 0x45,
                                    0x48,    0x4B, 0x4D, 0x50, 0x53, 0x55, 0x58, 0x5B, 0x5D, 0x60, 0x63,
                                    0x65,    0x68, 0x6B, 0x6D, 0x70, 0x73, 0x75, 0x78, 0x7B, 0x7D, 0x80,
                                    0x83,    0x85, 0x88, 0x8B, 0x8D, 0x90, 0x93, 0x95, 0x98};
    if (fastest8000) codes.insert(codes.end(), {0x9B, 0x9D, 0xA0});
    return codes;
}

std::vector<EdsUInt32> apertureCodesFrom(EdsUInt32 widest) {
    // f/1.4 to f/22 in thirds of a stop; a lens offers those from its widest opening on.
    static const std::vector<EdsUInt32> thirds = {0x10, 0x13, 0x15, 0x18, 0x1B, 0x1D, 0x20, 0x23, 0x25,
                                                  0x28, 0x2B, 0x2D, 0x30, 0x33, 0x35, 0x38, 0x3B, 0x3D,
                                                  0x40, 0x43, 0x45, 0x48, 0x4B, 0x4D, 0x50};
    std::vector<EdsUInt32> codes;
    std::copy_if(thirds.begin(), thirds.end(), std::back_inserter(codes),
                 [&](EdsUInt32 c) { return c >= widest; });
    return codes;
}

std::vector<EdsUInt32> standardIsoCodes() {
    // Auto, then ISO 100 to 6400 in thirds of a stop.
    return {0x00, 0x48, 0x4B, 0x4D, 0x50, 0x53, 0x55, 0x58, 0x5B, 0x5D,
            0x60, 0x63, 0x65, 0x68, 0x6B, 0x6D, 0x70, 0x73, 0x75, 0x78};
}

std::vector<EdsUInt32> fullStopIsoCodes() {
    // Bodies of the older protocol: ISO 100, 200, 400, 800 and 1600.
    return {0x48, 0x50, 0x58, 0x60, 0x68};
}

} // namespace orvex::virtualcam
