// The settings file written and read back over any existing file: every setting comes back as the reader
// is meant to see it, and every other value in the file stays as it was.
#include "core/catalogue.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "core/text_scan.h"
#include "fuzz/fuzz_files.h"
#include "platform/profile/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace orvex;

// Says which property broke before stopping, so that a finding explains itself.
#define CHECK(condition)                                                                                     \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "settings round trip broken: %s\n", #condition);                            \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// What the reader gives back for a written text: its first line, without blanks around it, at most 99
// bytes cut before a character, and no blank left at the end of a cut.
std::string readBack(std::string_view written) {
    using namespace std::string_view_literals;
    const std::string_view v = trimmed(written.substr(0, written.find_first_of("\r\n\0"sv)));
    if (v.size() <= 99) return std::string(v);
    return std::string(trimmed(cutAtCharacter(std::string(v), 99)));
}

// A program's path reads back whole.
std::string pathReadBack(std::string_view written) {
    using namespace std::string_view_literals;
    return std::string(trimmed(written.substr(0, written.find_first_of("\r\n\0"sv))));
}

// A prefix Parameters would refuse reads as none.
std::string prefixReadBack(std::string_view written) {
    const std::string v = readBack(written);
    return prefixAllowed(v) ? v : "";
}

// Section and key names the file may hold, whatever the reader makes of them.
void collectNames(std::string_view text, std::set<std::string>& sections, std::set<std::string>& keys) {
    while (!text.empty() && sections.size() + keys.size() < 64) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.starts_with('[') && line.find(']') != std::string_view::npos)
            sections.emplace(trimmed(line.substr(1, line.find(']') - 1)));
        else if (line.find('=') != std::string_view::npos)
            keys.emplace(trimmed(line.substr(0, line.find('='))));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Settings s;
    RunSettings run;
    s.scriptEditor = in.ConsumeRandomLengthString(128);
    s.pictureBrowser = in.ConsumeRandomLengthString(128);
    s.imagePrefix = in.ConsumeRandomLengthString(128);
    run.loopInfinite = in.ConsumeBool();
    run.universalTime = in.ConsumeBool();
    run.loopCount = in.ConsumeIntegral<int>();
    // Parameters and -start give a time of the day only, and one outside it is not read back.
    run.startHour = in.ConsumeIntegralInRange(0, 23);
    run.startMinute = in.ConsumeIntegralInRange(0, 59);
    run.startSecond = in.ConsumeIntegralInRange(0, 59);
    s.moveLevel = in.ConsumeIntegral<int>();
    s.soundThreshold = in.ConsumeIntegralInRange(1, 100);
    s.movePixels = in.ConsumeIntegral<int>();
    const std::string before = in.ConsumeRemainingBytesAsString();

    const std::string file =
        fuzz::scratchFile("Orvex.ini", reinterpret_cast<const std::uint8_t*>(before.data()), before.size());
    CHECK(saveSettings(file, s, run));
    const std::string after = readProfileFile(file).text;
    Settings back;
    RunSettings runBack;
    loadSettings(file, back, runBack);
    CHECK(back.scriptEditor == pathReadBack(s.scriptEditor) &&
          back.pictureBrowser == pathReadBack(s.pictureBrowser) &&
          back.imagePrefix == prefixReadBack(s.imagePrefix));
    CHECK(runBack.loopInfinite == run.loopInfinite && runBack.universalTime == run.universalTime &&
          runBack.loopCount == run.loopCount && runBack.startHour == run.startHour &&
          runBack.startMinute == run.startMinute && runBack.startSecond == run.startSecond);
    CHECK(back.moveLevel == s.moveLevel && back.soundThreshold == s.soundThreshold &&
          back.movePixels == s.movePixels);

    // Writing the same settings again changes nothing.
    CHECK(saveSettings(file, s, run) && readProfileFile(file).text == after);

    std::set<std::string> sections{englishText(188)}, keys, written;
    collectNames(before, sections, keys);
    for (int key : {161, 136, 58, 70, 104, 67, 111, 165, 193, 137, 138, 177})
        written.insert(lower(englishText(key)));
    for (const std::string& section : sections)
        for (const std::string& key : keys) {
            if (lower(section) == lower(englishText(188)) && written.count(lower(key))) continue;
            CHECK(profileValue(before, section, key) == profileValue(after, section, key));
        }
    return 0;
}
