#include "script/script_loader.h"

#include "core/text_scan.h"
#include "platform/files.h"
#include "resources/main_dialog.h"
#include "script/line_reader.h"

#include <array>
#include <fstream>
#include <limits>
#include <new>
#include <optional>
#include <string_view>

namespace orvex {
namespace {

constexpr int kLineLimit = 100;
constexpr int kColumns = 7;
constexpr double kShortestExposure = 1.0 / 9000;
constexpr double kLongestExposure = 30000;
constexpr std::uint32_t kLongExposureMs = 30000;

enum Message {
    kLineTooLong = 91,
    kBadHeader = 77,
    kOutOfMemory = 126,
    kBadDelay = 74,
    kBadAperture = 72,
    kBadSpeed = 83,
    kBadIso = 82,
    kBadQuality = 81,
    kBadBurst = 73,
    kBurstTooLong = 24
};

struct Columns {
    std::array<std::string_view, kColumns> text;
    int count = 0;
};

// Only the first seven columns count; a seventh tab ends the line.
Columns splitColumns(std::string_view line) {
    Columns columns;
    std::size_t start = 0;
    while (columns.count < kColumns) {
        const auto tab = line.find('\t', start);
        columns.text[columns.count++] =
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    return columns;
}

bool parseDelay(std::string_view text, ScriptLine& line) {
    if (text.empty()) return true;
    if (equalsIgnoringCase(text, "Move")) {
        line.kind = TriggerKind::Move;
        return true;
    }
    if (equalsIgnoringCase(text, "Sound")) {
        line.kind = TriggerKind::Sound;
        return true;
    }
    if (text.find(':') != std::string_view::npos) {
        const auto t = scanClock(text);
        if (!t || t->hour < 0 || t->hour > 23 || t->minute < 0 || t->minute > 59 || t->second < 0 ||
            t->second > 59)
            return false;
        line.kind = TriggerKind::TimeOfDay;
        line.timeOfDay = static_cast<std::int32_t>(t->hour * 3600 + t->minute * 60 + t->second);
        return true;
    }
    if (isBlank(text)) return true;
    const auto tenths = scanWhole(text);
    // The run counts delays in milliseconds: a negative delay or one beyond a 32-bit count cannot be
    // honoured.
    if (!tenths || *tenths < 0 || *tenths > std::numeric_limits<std::int32_t>::max() / 100) return false;
    line.delay = static_cast<std::int32_t>(*tenths);
    return true;
}

class Loader {
  public:
    Loader(Program& p, Window& w) : p_(p), w_(w) {}

    // Returns the message number of the first error, 0 when the line is good.
    int exposureLine(std::string_view text, int number) {
        const auto columns = splitColumns(text);
        if (equalsIgnoringCase(columns.text[0], "Loop")) {
            p_.run.settings.loopEnabled = true;
            p_.run.settings.loopInfinite = true;
            p_.script.hasLoopMarker = true;
            return 0;
        }
        try {
            p_.script.lines.emplace_back();
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        ScriptLine& line = p_.script.lines.back();
        line.fileLine = number;
        const auto column = [&](int i) -> std::optional<std::string_view> {
            if (i < columns.count) return columns.text[i];
            return std::nullopt;
        };

        if (!parseDelay(columns.text[0], line)) return kBadDelay;
        if (line.kind == TriggerKind::Move) p_.script.hasMove = true;

        if (const auto f = column(1)) {
            line.aperture = findByName(p_.tables.aperture, *f);
            if (line.aperture < 0) return kBadAperture;
        }

        const auto numerator = column(2), denominator = column(3);
        if (numerator && !numerator->empty() && !denominator) return kBadSpeed;
        if (denominator && !(numerator->empty() && denominator->empty())) {
            const auto x = scanDecimal(*numerator), y = scanDecimal(*denominator);
            if (!x || !y || *y == 0) return kBadSpeed;
            const double seconds = *x / *y;
            if (!(seconds >= kShortestExposure && seconds <= kLongestExposure)) return kBadSpeed;
            line.shutter = findNearestShutter(p_.tables.shutter, seconds);
            line.exposureMs = static_cast<std::uint32_t>(seconds * 1000);
            if (line.exposureMs >= kLongExposureMs) p_.script.hasLongExposure = true;
        }

        if (const auto iso = column(4)) {
            line.iso = findByName(p_.tables.iso, *iso);
            if (line.iso < 0) return kBadIso;
        }
        if (const auto quality = column(5)) {
            line.quality = findByName(p_.tables.quality, *quality);
            if (line.quality < 0) return kBadQuality;
        }
        if (const auto burst = column(6); burst && !burst->empty()) {
            // A burst holds the cable for that many seconds: zero or less cannot be honoured.
            const auto seconds = scanWhole(*burst);
            if (!seconds || *seconds <= 0 || *seconds > std::numeric_limits<std::int32_t>::max())
                return kBadBurst;
            line.burst = static_cast<std::int32_t>(*seconds);
        }
        if (line.burst != 0) {
            if (line.exposureMs > 1000) return kBurstTooLong;
            p_.script.hasBurst = true;
            p_.options.saveToHost = true;
            w_.listSelectIndex(kSaveToList, 0);
        }
        return 0;
    }

  private:
    Program& p_;
    Window& w_;
};

bool fail(Program& p, Window& w, const std::string& text) {
    p.script.lines.clear();
    w.messageBox(text, p.text(54), BoxIcon::Error, BoxButtons::Ok);
    return false;
}

} // namespace

bool readScript(Program& p, Window& w, const std::string& path) {
    Script& s = p.script;
    s.hasBurst = s.hasLongExposure = s.hasMove = s.hasLoopMarker = false;
    s.path = path;
    s.loaded = false;
    s.refusedLine = 0;
    w.setTitle(p.text(188));
    s.lines.clear();

    std::ifstream in;
    // A FIFO or a device would block the read or never end it: only a regular file can be a script.
    if (fileExists(path)) in.open(path, std::ios::binary);
    if (!in.is_open()) return fail(p, w, std::string(p.text(57)) + " " + path);

    Loader loader(p, w);
    std::string text;
    int error = 0, number = 0;
    for (int n; error == 0 && (n = readLine(in, text, kLineLimit)) >= 0;) {
        ++number;
        if (n == kLineLimit)
            error = kLineTooLong;
        else if (number == 1)
            error = upperAscii(text).rfind(kScriptHeader, 0) == 0 ? 0 : kBadHeader;
        else
            error = loader.exposureLine(text, number);
    }
    in.close();

    if (error != 0) {
        s.refusedLine = number;
        return fail(p, w, formatMessage(p.language, error, number));
    }
    if (s.lines.empty()) return fail(p, w, std::string("\r") + p.text(50));

    s.lastWrite = lastWriteTime(path);
    w.setTitle(std::string(p.text(188)) + " - " + stemOf(path));
    s.loaded = true;
    s.directory = directoryOf(path);
    const std::string base = s.directory + stemOf(path);
    w.enableItem(kNextScriptButton, fileExists(base + ".next"));
    w.enableItem(kPrevScriptButton, fileExists(base + ".prev"));
    return true;
}

} // namespace orvex
