#include "core/settings.h"

#include "core/catalogue.h"
#include "core/run_state.h"
#include "core/text_scan.h"
#include "platform/ascii_case.h"
#include "platform/profile/profile_file.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace orvex {
namespace {

enum Key {
    kEditor = 161,
    kBrowser = 136,
    kPrefix = 58,
    kInfinite = 70,
    kCount = 104,
    kHours = 67,
    kMinutes = 111,
    kSeconds = 165,
    kUt = 193,
    kLevel = 137,
    kPixels = 138,
    kThreshold = 177
};

const std::string& section() {
    static const std::string name = englishText(188);
    return name;
}

struct Reader {
    const std::string& file;
    // A program's path is read whole: cut, it would name another file, or none, and the user's choice of an
    // existing program would be lost.
    std::string path(int key, const char* fallback) const {
        return profileValue(file, section(), englishText(key)).value_or(fallback);
    }
    std::string text(int key, const char* fallback) const {
        std::string v = path(key, fallback);
        if (v.size() > 99) {
            v = cutAtCharacter(std::move(v), 99);
            // The prefix goes into picture names: a cut must not leave a blank at their end.
            while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.pop_back();
        }
        return v;
    }
    bool yes(int key) const { return equalsIgnoringCase(text(key, "NO"), "YES"); }
    // A text that does not begin with a number leaves the value as it was.
    void number(int key, const char* fallback, int& value) const {
        if (const auto n = scanWhole(text(key, fallback)))
            value = static_cast<int>(std::clamp<long long>(*n, INT32_MIN, INT32_MAX));
    }
    // Nor does a delayed start time outside the day: the run would wait for another time than the one it
    // counts down, a count whose milliseconds overflow for a few hundred hours.
    void timeField(int key, int last, int& value) const {
        if (const auto n = scanWhole(text(key, "0")); n && *n >= 0 && *n <= last)
            value = static_cast<int>(*n);
    }
};

} // namespace

bool prefixAllowed(std::string_view prefix) {
    return std::none_of(prefix.begin(), prefix.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F || std::string_view("/\\:*?<>|").find(c) != std::string_view::npos;
    });
}

void loadSettings(const std::string& file, Settings& s, RunSettings& run) {
    // A missing or unreadable file reads as empty: every key takes its default.
    const ProfileFileText stored = readProfileFile(file);
    const Reader r{stored.text};
    s.scriptEditor = r.path(kEditor, "Notepad.exe");
    s.pictureBrowser = r.path(kBrowser, "");
    // A prefix edited by hand that Parameters would refuse is not used: it takes its default, as a number
    // that cannot be read does.
    const std::string prefix = r.text(kPrefix, "");
    s.imagePrefix = prefixAllowed(prefix) ? prefix : "";
    run.loopInfinite = r.yes(kInfinite);
    r.number(kCount, "10", run.loopCount);
    r.timeField(kHours, 23, run.startHour);
    r.timeField(kMinutes, 59, run.startMinute);
    r.timeField(kSeconds, 59, run.startSecond);
    run.universalTime = r.yes(kUt);
    r.number(kLevel, "20", s.moveLevel);
    r.number(kPixels, "10000", s.movePixels);
    int threshold = 50;
    r.number(kThreshold, "50", threshold);
    // A hand-edited file must not lead to a division by zero in the sound detector. The move detector takes
    // any Level and Pixels: 0 pixels is a movement at every frame, a level over 100 % never one.
    s.soundThreshold = std::clamp(threshold, 1, 100);
}

SettingsText settingsText(const Settings& s, const RunSettings& run) {
    const auto yesNo = [](bool b) { return std::string(b ? "YES" : "NO"); };
    SettingsText entries;
    const auto put = [&](int key, std::string value) {
        entries.emplace_back(englishText(key), std::move(value));
    };
    put(kEditor, s.scriptEditor);
    put(kBrowser, s.pictureBrowser);
    put(kPrefix, s.imagePrefix);
    put(kInfinite, yesNo(run.loopInfinite));
    put(kCount, std::to_string(run.loopCount));
    put(kHours, std::to_string(run.startHour));
    put(kMinutes, std::to_string(run.startMinute));
    put(kSeconds, std::to_string(run.startSecond));
    put(kUt, yesNo(run.universalTime));
    put(kLevel, std::to_string(s.moveLevel));
    put(kPixels, std::to_string(s.movePixels));
    put(kThreshold, std::to_string(s.soundThreshold.load()));
    return entries;
}

bool saveSettings(const std::string& file, const Settings& s, const RunSettings& run,
                  const SettingsText* before) {
    const auto now = settingsText(s, run);
    const ProfileFileText stored = before ? readProfileFile(file) : ProfileFileText{};
    std::vector<ProfileEntry> entries;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const auto& [key, value] = now[i];
        if (!before || i >= before->size() || (*before)[i].second != value ||
            !profileValue(stored.text, section(), key))
            entries.push_back({key, value});
    }
    // An existing file that cannot be read is left alone rather than replaced by our twelve keys.
    return writeProfileStrings(file, section(), entries);
}

} // namespace orvex
