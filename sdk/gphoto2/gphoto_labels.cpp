#include "sdk/gphoto2/gphoto_labels.h"

#include <cstdio>
#include <deque>
#include <span>
#include <vector>

namespace orvex::gphoto {
namespace {

struct Row {
    const char* label;
    EdsUInt32 code;
};

// Copied from libgphoto2 2.5.30, camlibs/ptp2/config.c. Where two codes share a label, the one the
// program's value tables name first comes first, so that a label reads back as that code.
constexpr Row kAperture[] = {
    {"1", 0x08},   {"1.1", 0x0B}, {"1.2", 0x0C}, {"1.2", 0x0D}, {"1.4", 0x10}, {"1.6", 0x13}, {"1.8", 0x14},
    {"1.8", 0x15}, {"2", 0x18},   {"2.2", 0x1B}, {"2.5", 0x1C}, {"2.5", 0x1D}, {"2.8", 0x20}, {"3.2", 0x23},
    {"3.5", 0x24}, {"3.5", 0x25}, {"4", 0x28},   {"4.5", 0x2B}, {"4.5", 0x2C}, {"5", 0x2D},   {"5.6", 0x30},
    {"6.3", 0x33}, {"6.7", 0x34}, {"7.1", 0x35}, {"8", 0x38},   {"9", 0x3B},   {"9.5", 0x3C}, {"10", 0x3D},
    {"11", 0x40},  {"13", 0x43},  {"13", 0x44},  {"14", 0x45},  {"16", 0x48},  {"18", 0x4B},  {"19", 0x4C},
    {"20", 0x4D},  {"22", 0x50},  {"25", 0x53},  {"27", 0x54},  {"29", 0x55},  {"32", 0x58},  {"36", 0x5B},
    {"38", 0x5C},  {"40", 0x5D},  {"45", 0x60},  {"51", 0x63},  {"54", 0x64},  {"57", 0x65},  {"64", 0x68},
    {"72", 0x6B},  {"76", 0x6C},  {"81", 0x6D},  {"91", 0x70},
};

constexpr Row kShutter[] = {
    {"bulb", 0x0C},   {"30", 0x10},     {"25", 0x13},     {"20.3", 0x14},   {"20", 0x15},
    {"15", 0x18},     {"13", 0x1B},     {"10", 0x1C},     {"10.3", 0x1D},   {"8", 0x20},
    {"6.3", 0x23},    {"6", 0x24},      {"5", 0x25},      {"4", 0x28},      {"3.2", 0x2B},
    {"3", 0x2C},      {"2.5", 0x2D},    {"2", 0x30},      {"1.6", 0x33},    {"1.5", 0x34},
    {"1.3", 0x35},    {"1", 0x38},      {"0.8", 0x3B},    {"0.7", 0x3C},    {"0.6", 0x3D},
    {"0.5", 0x40},    {"0.4", 0x43},    {"0.3", 0x44},    {"0.3", 0x45},    {"1/4", 0x48},
    {"1/5", 0x4B},    {"1/6", 0x4C},    {"1/6", 0x4D},    {"1/8", 0x50},    {"1/10", 0x53},
    {"1/10", 0x54},   {"1/13", 0x55},   {"1/15", 0x58},   {"1/20", 0x5B},   {"1/20", 0x5C},
    {"1/25", 0x5D},   {"1/30", 0x60},   {"1/40", 0x63},   {"1/45", 0x64},   {"1/50", 0x65},
    {"1/60", 0x68},   {"1/80", 0x6B},   {"1/90", 0x6C},   {"1/100", 0x6D},  {"1/125", 0x70},
    {"1/160", 0x73},  {"1/180", 0x74},  {"1/200", 0x75},  {"1/250", 0x78},  {"1/320", 0x7B},
    {"1/350", 0x7C},  {"1/400", 0x7D},  {"1/500", 0x80},  {"1/640", 0x83},  {"1/750", 0x84},
    {"1/800", 0x85},  {"1/1000", 0x88}, {"1/1250", 0x8B}, {"1/1500", 0x8C}, {"1/1600", 0x8D},
    {"1/2000", 0x90}, {"1/2500", 0x93}, {"1/3000", 0x94}, {"1/3200", 0x95}, {"1/4000", 0x98},
    {"1/5000", 0x9B}, {"1/6000", 0x9C}, {"1/6400", 0x9D}, {"1/8000", 0xA0},
};

constexpr Row kIso[] = {
    {"Auto", 0x00},  {"6", 0x28},      {"12", 0x30},     {"25", 0x38},     {"50", 0x40},     {"64", 0x43},
    {"80", 0x45},    {"100", 0x48},    {"125", 0x4B},    {"160", 0x4D},    {"200", 0x50},    {"250", 0x53},
    {"320", 0x55},   {"400", 0x58},    {"500", 0x5B},    {"640", 0x5D},    {"800", 0x60},    {"1000", 0x63},
    {"1250", 0x65},  {"1600", 0x68},   {"2000", 0x6B},   {"2500", 0x6D},   {"3200", 0x70},   {"4000", 0x73},
    {"5000", 0x75},  {"6400", 0x78},   {"8000", 0x7B},   {"10000", 0x7D},  {"12800", 0x80},  {"16000", 0x83},
    {"20000", 0x85}, {"25600", 0x88},  {"32000", 0x8B},  {"40000", 0x8D},  {"51200", 0x90},  {"64000", 0x93},
    {"80000", 0x95}, {"102400", 0x98}, {"204800", 0xA0}, {"409600", 0xA8}, {"819200", 0xB0},
};

constexpr Row kAeMode[] = {
    {"P", 0},
    {"TV", 1},
    {"AV", 2},
    {"Manual", 3},
    {"Bulb", 4},
    {"A_DEP", 5},
    {"DEP", 6},
    {"Custom", 7},
    {"Lock", 8},
    {"Green", 9},
    {"Night Portrait", 10},
    {"Sports", 11},
    {"Portrait", 12},
    {"Landscape", 13},
    {"Closeup", 14},
    {"Flash Off", 15},
    {"C2", 16},
    {"C3", 17},
    {"Creative Auto", 19},
    {"Movie", 20},
    {"Auto", 22},
    {"Handheld Night Scene", 23},
    {"HDR Backlight Control", 24},
    {"SCN", 25},
    {"Food", 27},
};

constexpr Row kDriveMode[] = {
    {"Single", 0x00},
    {"Continuous", 0x01},
    {"Video", 0x02},
    {"Continuous high speed", 0x04},
    {"Continuous low speed", 0x05},
    {"Single: Silent shooting", 0x06},
    {"Continuous timer", 0x07},
    {"Timer 10 sec", 0x10},
    {"Timer 2 sec", 0x11},
    {"Super high speed continuous shooting", 0x12},
    {"Single silent", 0x13},
    {"Continuous silent", 0x14},
    {"Silent HS continuous", 0x15},
    {"Silent LS continuous", 0x16},
};

constexpr Row kFocusMode[] = {{"One Shot", 0}, {"AI Servo", 1}, {"AI Focus", 2}, {"Manual", 3}};

// The library keeps the capture target in its own settings, by these labels.
constexpr Row kCaptureTarget[] = {{"Memory card", kEdsSaveTo_Camera}, {"Internal RAM", kEdsSaveTo_Host}};

// Image quality: the SDK's code tells size, kind and compression of each picture (bits 31..16 the first,
// 15..0 the second, 0xFF0F for none); the library names the same choices in words.
std::vector<Row> makeQuality() {
    struct Jpeg {
        const char* words;
        EdsUInt32 half; // size << 8 | JPEG << 4 | compression
    };
    static constexpr Jpeg jpegs[] = {
        {"Large Fine JPEG", 0x0013},    {"Large Normal JPEG", 0x0012}, {"Medium Fine JPEG", 0x0113},
        {"Medium Normal JPEG", 0x0112}, {"Small Fine JPEG", 0x0213},   {"Small Normal JPEG", 0x0212},
        {"Smaller JPEG", 0x0E13},       {"Tiny JPEG", 0x0F13},
    };
    struct Raw {
        const char* words;
        EdsUInt32 half; // size << 8 | RAW << 4 | lossless
    };
    static constexpr Raw raws[] = {{"RAW", 0x0064}, {"mRAW", 0x0164}, {"sRAW", 0x0264}};
    std::vector<Row> rows;
    static std::deque<std::string> names; // the combined labels, for the program's lifetime
    for (const Raw& raw : raws) rows.push_back({raw.words, raw.half << 16 | 0xFF0F});
    for (const Jpeg& jpeg : jpegs) rows.push_back({jpeg.words, jpeg.half << 16 | 0xFF0F});
    for (const Raw& raw : raws)
        for (const Jpeg& jpeg : jpegs) {
            names.push_back(std::string(raw.words) + " + " + jpeg.words);
            rows.push_back({names.back().c_str(), raw.half << 16 | jpeg.half});
        }
    return rows;
}

std::span<const Row> rowsOf(EdsPropertyID property) {
    switch (property) {
    case kEdsPropID_Av:
        return kAperture;
    case kEdsPropID_Tv:
        return kShutter;
    case kEdsPropID_ISOSpeed:
        return kIso;
    case kEdsPropID_AEMode:
        return kAeMode;
    case kEdsPropID_DriveMode:
        return kDriveMode;
    case kEdsPropID_AFMode:
        return kFocusMode;
    case kEdsPropID_SaveTo:
        return kCaptureTarget;
    case kEdsPropID_ImageQuality: {
        static const std::vector<Row> quality = makeQuality();
        return quality;
    }
    default:
        return {};
    }
}

// Where the library's codes are Canon's own, it shows a code it has no label for as "Unknown value 00xx",
// and takes that text back.
bool canonCodes(EdsPropertyID property) {
    return property != kEdsPropID_ImageQuality && property != kEdsPropID_SaveTo;
}

} // namespace

const char* labelWidget(EdsPropertyID property) {
    switch (property) {
    case kEdsPropID_Av:
        return "aperture";
    case kEdsPropID_Tv:
        return "shutterspeed";
    case kEdsPropID_ISOSpeed:
        return "iso";
    case kEdsPropID_ImageQuality:
        return "imageformat";
    case kEdsPropID_AEMode:
        return "autoexposuremode";
    case kEdsPropID_DriveMode:
        return "drivemode";
    case kEdsPropID_AFMode:
        return "focusmode";
    case kEdsPropID_SaveTo:
        return "capturetarget";
    default:
        return nullptr;
    }
}

std::optional<EdsUInt32> codeOfLabel(EdsPropertyID property, std::string_view label) {
    for (const Row& row : rowsOf(property))
        if (label == row.label) return row.code;
    unsigned code = 0;
    char tail = 0;
    const std::string text(label);
    if (canonCodes(property) && std::sscanf(text.c_str(), "Unknown value %4x%c", &code, &tail) == 1)
        return code;
    return std::nullopt;
}

std::optional<std::string> labelOfCode(EdsPropertyID property, EdsUInt32 code) {
    for (const Row& row : rowsOf(property))
        if (row.code == code) return row.label;
    if (!canonCodes(property) || code > 0xFFFF) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "Unknown value %04x", static_cast<unsigned>(code));
    return text;
}

} // namespace orvex::gphoto
