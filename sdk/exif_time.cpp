#include "sdk/exif_time.h"

#include <array>
#include <cstring>
#include <string>

namespace orvex::sdk::detail {
namespace {

constexpr std::uint16_t kTagDateTime = 0x0132;
constexpr std::uint16_t kTagExifIfd = 0x8769;
constexpr std::uint16_t kTagDateTimeOriginal = 0x9003;
constexpr std::uint16_t kTagSubSecTimeOriginal = 0x9291;
constexpr std::uint16_t kTypeAscii = 2;
constexpr std::uint16_t kTypeLong = 4;
// A real IFD has a few dozen entries; the bound keeps a corrupt count from making us read for ages.
constexpr std::uint16_t kMaxEntries = 1024;

class Tiff {
  public:
    Tiff(const ReadAt& read, std::uint64_t base, bool bigEndian)
        : read_(read), base_(base), big_(bigEndian) {}

    bool u16(std::uint64_t offset, std::uint16_t& out) const {
        std::array<std::uint8_t, 2> b{};
        if (!read_(base_ + offset, b.data(), b.size())) return false;
        out = big_ ? static_cast<std::uint16_t>(b[0] << 8 | b[1])
                   : static_cast<std::uint16_t>(b[1] << 8 | b[0]);
        return true;
    }

    bool u32(std::uint64_t offset, std::uint32_t& out) const {
        std::array<std::uint8_t, 4> b{};
        if (!read_(base_ + offset, b.data(), b.size())) return false;
        out = big_
                  ? (std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3])
                  : (std::uint32_t{b[3]} << 24 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[1]} << 8 | b[0]);
        return true;
    }

    // The entry of `tag` in the IFD at `ifd`: its type, count and the offset of its value field.
    bool find(std::uint32_t ifd, std::uint16_t tag, std::uint16_t& type, std::uint32_t& count,
              std::uint64_t& valueField) const {
        std::uint16_t entries = 0;
        if (ifd == 0 || !u16(ifd, entries) || entries > kMaxEntries) return false;
        for (std::uint16_t i = 0; i < entries; ++i) {
            const std::uint64_t entry = std::uint64_t{ifd} + 2 + 12u * i;
            std::uint16_t entryTag = 0;
            if (!u16(entry, entryTag)) return false;
            if (entryTag != tag) continue;
            valueField = entry + 8;
            return u16(entry + 2, type) && u32(entry + 4, count);
        }
        return false;
    }

    bool text(std::uint32_t ifd, std::uint16_t tag, std::string& out) const {
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        std::uint64_t field = 0;
        if (!find(ifd, tag, type, count, field) || type != kTypeAscii || count == 0 || count > 64)
            return false;
        std::uint64_t at = field;
        if (count > 4) {
            std::uint32_t offset = 0;
            if (!u32(field, offset)) return false;
            at = offset;
        }
        std::string bytes(count, '\0');
        if (!read_(base_ + at, bytes.data(), count)) return false;
        out = bytes.c_str();
        return true;
    }

    bool pointer(std::uint32_t ifd, std::uint16_t tag, std::uint32_t& out) const {
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        std::uint64_t field = 0;
        return find(ifd, tag, type, count, field) && type == kTypeLong && count == 1 && u32(field, out);
    }

  private:
    const ReadAt& read_;
    std::uint64_t base_;
    bool big_;
};

bool number(const std::string& s, std::size_t at, std::size_t digits, EdsUInt32& out) {
    out = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
        out = out * 10 + static_cast<EdsUInt32>(s[i] - '0');
    }
    return true;
}

// "YYYY:MM:DD HH:MM:SS"; a camera whose clock was never set writes blanks, which are no date.
bool parseExifDate(const std::string& s, EdsTime& t) {
    if (s.size() < 19 || s[4] != ':' || s[7] != ':' || s[10] != ' ' || s[13] != ':' || s[16] != ':')
        return false;
    t = EdsTime{};
    return number(s, 0, 4, t.year) && number(s, 5, 2, t.month) && number(s, 8, 2, t.day) &&
           number(s, 11, 2, t.hour) && number(s, 14, 2, t.minute) && number(s, 17, 2, t.second) &&
           t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 && t.minute <= 59 &&
           t.second <= 60;
}

// Fractions of a second as written ("5" is half a second), to whole milliseconds.
EdsUInt32 parseSubSeconds(const std::string& s) {
    EdsUInt32 ms = 0;
    std::size_t used = 0;
    for (char c : s) {
        if (c < '0' || c > '9' || used == 3) break;
        ms = ms * 10 + static_cast<EdsUInt32>(c - '0');
        ++used;
    }
    if (used == 0) return 0;
    for (; used < 3; ++used) ms *= 10;
    return ms;
}

// The moment the shutter opened, to the millisecond, as an IFD of EXIF tags holds it.
std::optional<EdsTime> originalTime(const Tiff& tiff, std::uint32_t ifd) {
    EdsTime t{};
    std::string text;
    if (!tiff.text(ifd, kTagDateTimeOriginal, text) || !parseExifDate(text, t)) return std::nullopt;
    if (tiff.text(ifd, kTagSubSecTimeOriginal, text)) t.milliseconds = parseSubSeconds(text);
    return t;
}

std::optional<EdsTime> tiffTime(const ReadAt& read, std::uint64_t base) {
    std::array<std::uint8_t, 4> head{};
    if (!read(base, head.data(), head.size())) return std::nullopt;
    const bool big = head[0] == 'M';
    const Tiff tiff(read, base, big);
    std::uint32_t ifd0 = 0;
    if (!tiff.u32(4, ifd0)) return std::nullopt;

    std::uint32_t exif = 0;
    if (tiff.pointer(ifd0, kTagExifIfd, exif))
        if (const auto t = originalTime(tiff, exif)) return t;
    // A CR3 keeps its EXIF tags in a TIFF of their own, as its first IFD.
    if (const auto t = originalTime(tiff, ifd0)) return t;
    EdsTime t{};
    std::string text;
    if (tiff.text(ifd0, kTagDateTime, text) && parseExifDate(text, t)) return t;
    return std::nullopt;
}

std::uint64_t bigEndian(const std::uint8_t* b, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | b[i];
    return v;
}

// An ISO media file's box: where its contents start, and where it ends.
struct Box {
    std::uint64_t contents, end;
};

// The first box of `type` among the boxes from `at` to `end`. The bound keeps a file of countless empty
// boxes from making us read for ages.
std::optional<Box> findBox(const ReadAt& read, std::uint64_t at, std::uint64_t end, const char* type) {
    constexpr int kMaxBoxes = 4096;
    for (int i = 0; i < kMaxBoxes && at <= end && end - at >= 8; ++i) {
        std::array<std::uint8_t, 16> h{};
        if (!read(at, h.data(), 8)) return std::nullopt;
        std::uint64_t size = bigEndian(h.data(), 4), header = 8;
        if (size == 1) {
            if (!read(at + 8, h.data() + 8, 8)) return std::nullopt;
            size = bigEndian(h.data() + 8, 8), header = 16;
        } else if (size == 0) {
            size = end - at; // up to the end of what holds it
        }
        if (size < header || size > end - at) return std::nullopt;
        if (std::memcmp(h.data() + 4, type, 4) == 0) return Box{at + header, at + size};
        at += size;
    }
    return std::nullopt;
}

// A CR3 (the RAW files of the newer bodies) keeps its tags in Canon's box among the movie's: the EXIF IFD in
// CMT2, the main IFD in CMT1, each a TIFF.
std::optional<EdsTime> cr3Time(const ReadAt& read) {
    constexpr std::uint8_t kCanonBox[16] = {0x85, 0xC0, 0xB6, 0x87, 0x82, 0x0F, 0x11, 0xE0,
                                            0x81, 0x11, 0xF4, 0xCE, 0x46, 0x2B, 0x6A, 0x48};
    const auto movie = findBox(read, 0, UINT64_MAX, "moov");
    if (!movie) return std::nullopt;
    for (std::uint64_t at = movie->contents;;) {
        const auto box = findBox(read, at, movie->end, "uuid");
        std::array<std::uint8_t, 16> id{};
        if (!box || !read(box->contents, id.data(), id.size())) return std::nullopt;
        if (std::memcmp(id.data(), kCanonBox, id.size()) == 0) {
            for (const char* tags : {"CMT2", "CMT1"})
                if (const auto cmt = findBox(read, box->contents + id.size(), box->end, tags))
                    if (const auto t = tiffTime(read, cmt->contents)) return t;
            return std::nullopt;
        }
        at = box->end;
    }
}

bool isTiffHeader(const std::array<std::uint8_t, 4>& h) {
    return (h[0] == 'I' && h[1] == 'I' && h[2] == 42 && h[3] == 0) ||
           (h[0] == 'M' && h[1] == 'M' && h[2] == 0 && h[3] == 42);
}

// Walks the JPEG's marker segments up to the image data, looking for the EXIF block.
std::optional<EdsTime> jpegTime(const ReadAt& read) {
    std::uint64_t at = 2;
    for (;;) {
        std::array<std::uint8_t, 4> marker{};
        if (!read(at, marker.data(), marker.size()) || marker[0] != 0xFF) return std::nullopt;
        if (marker[1] == 0xDA || marker[1] == 0xD9) return std::nullopt;
        const std::uint16_t length = static_cast<std::uint16_t>(marker[2] << 8 | marker[3]);
        if (length < 2) return std::nullopt;
        if (marker[1] == 0xE1 && length >= 2 + 6 + 8) {
            std::array<char, 6> name{};
            if (read(at + 4, name.data(), name.size()) && std::memcmp(name.data(), "Exif\0\0", 6) == 0) {
                std::array<std::uint8_t, 4> head{};
                if (read(at + 10, head.data(), head.size()) && isTiffHeader(head))
                    return tiffTime(read, at + 10);
            }
        }
        at += 2u + length;
    }
}

} // namespace

EdsError readShootingTime(const ReadAt& read, std::optional<EdsTime>& out) {
    out.reset();
    std::array<std::uint8_t, 4> head{};
    if (!read(0, head.data(), head.size())) return EDS_ERR_FILE_FORMAT_UNRECOGNIZED;
    if (isTiffHeader(head)) {
        out = tiffTime(read, 0);
        return EDS_ERR_OK;
    }
    if (head[0] == 0xFF && head[1] == 0xD8) {
        out = jpegTime(read);
        return EDS_ERR_OK;
    }
    std::array<char, 8> type{};
    if (read(4, type.data(), type.size()) && std::memcmp(type.data(), "ftypcrx ", 8) == 0) {
        out = cr3Time(read);
        return EDS_ERR_OK;
    }
    return EDS_ERR_FILE_FORMAT_UNRECOGNIZED;
}

} // namespace orvex::sdk::detail
