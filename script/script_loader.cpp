#include "script/script_loader.h"

#include "core/catalogue.h"
#include "core/text_scan.h"
#include "platform/ascii_case.h"
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
    Loader(Script& s, const ValueTables& t, Window& w) : s_(s), t_(t), w_(w) {}

    // Returns the message number of the first error, 0 when the line is good.
    int exposureLine(std::string_view text, int number) {
        const auto columns = splitColumns(text);
        if (equalsIgnoringCase(columns.text[0], "Loop")) {
            s_.hasLoopMarker = true;
            return 0;
        }
        try {
            s_.lines.emplace_back();
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        ScriptLine& line = s_.lines.back();
        line.fileLine = number;
        const auto column = [&](int i) -> std::optional<std::string_view> {
            if (i < columns.count) return columns.text[i];
            return std::nullopt;
        };

        if (!parseDelay(columns.text[0], line)) return kBadDelay;
        if (line.kind == TriggerKind::Move) s_.hasMove = true;

        if (const auto f = column(1)) {
            line.aperture = findByName(t_.aperture, *f);
            if (line.aperture < 0) return kBadAperture;
        }

        const auto numerator = column(2), denominator = column(3);
        if (numerator && !numerator->empty() && !denominator) return kBadSpeed;
        if (denominator && !(numerator->empty() && denominator->empty())) {
            const auto x = scanDecimal(*numerator), y = scanDecimal(*denominator);
            if (!x || !y || *y == 0) return kBadSpeed;
            const double seconds = *x / *y;
            if (!(seconds >= kShortestExposure && seconds <= kLongestExposure)) return kBadSpeed;
            line.shutter = findNearestShutter(t_.shutter, seconds);
            line.exposureMs = static_cast<std::uint32_t>(seconds * 1000);
            if (line.exposureMs >= kLongExposureMs) s_.hasLongExposure = true;
        }

        if (const auto iso = column(4)) {
            line.iso = findByName(t_.iso, *iso);
            if (line.iso < 0) return kBadIso;
        }
        if (const auto quality = column(5)) {
            line.quality = findByName(t_.quality, *quality);
            if (line.quality < 0) return kBadQuality;
        }
        if (const auto burst = column(6); burst && !burst->empty()) {
            // A burst holds the cable for that many seconds: zero or less cannot be honoured, nor more than
            // the run's millisecond count of an exposure holds (49 days).
            const auto seconds = scanWhole(*burst);
            if (!seconds || *seconds <= 0 || *seconds > std::numeric_limits<std::uint32_t>::max() / 1000)
                return kBadBurst;
            line.burst = static_cast<std::int32_t>(*seconds);
        }
        if (line.burst != 0) {
            if (line.exposureMs > 1000) return kBurstTooLong;
            s_.hasBurst = true;
            w_.listSelectIndex(kSaveToList, 0);
        }
        return 0;
    }

  private:
    Script& s_;
    const ValueTables& t_;
    Window& w_;
};

bool fail(Script& s, int language, Window& w, const std::string& text) {
    s.lines.clear();
    w.messageBox(text, messageText(language, 54), BoxIcon::Error, BoxButtons::Ok);
    return false;
}

} // namespace

bool readScript(Script& s, const ValueTables& tables, int language, Window& w, const std::string& path) {
    s.hasBurst = s.hasLongExposure = s.hasMove = s.hasLoopMarker = false;
    s.path = path;
    s.loaded = false;
    s.refusedLine = 0;
    w.setTitle(messageText(language, 188));
    s.lines.clear();

    std::ifstream in;
    // A FIFO or a device would block the read or never end it: only a regular file can be a script.
    if (fileExists(path)) in.open(path, std::ios::binary);
    if (!in.is_open()) return fail(s, language, w, std::string(messageText(language, 57)) + " " + path);

    Loader loader(s, tables, w);
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
    // A read the disk refused part way is no end of the script: its lines so far are not the whole of it.
    const bool unreadable = in.bad();
    in.close();

    if (unreadable) return fail(s, language, w, std::string(messageText(language, 57)) + " " + path);
    if (error != 0) {
        s.refusedLine = number;
        return fail(s, language, w, formatMessage(language, error, number));
    }
    if (s.lines.empty()) return fail(s, language, w, std::string("\r") + messageText(language, 50));

    s.lastWrite = lastWriteTime(path);
    w.setTitle(std::string(messageText(language, 188)) + " - " + stemOf(path));
    s.loaded = true;
    s.directory = directoryOf(path);
    const std::string base = s.directory + stemOf(path);
    w.enableItem(kNextScriptButton, fileExists(base + ".next"));
    w.enableItem(kPrevScriptButton, fileExists(base + ".prev"));
    return true;
}

} // namespace orvex
