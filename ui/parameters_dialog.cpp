#include "ui/parameters_dialog.h"

#include "core/catalogue.h"
#include "core/text_scan.h"
#include "platform/files.h"
#include "resources/parameter_dialog.h"

#include <cstdio>
#include <limits>
#include <string>

namespace orvex {
namespace {

// The dialog reads at most this much of an entry, as the settings file keeps at most this much of a value
// (a program's path, which both take whole, excepted).
constexpr std::size_t kEntryLimit = 99;

enum Message {
    kTitle = 131,
    kEnglishName = 51,
    kFrenchName = 63,
    kInvalidCount = 79,
    kCountRange = 106,
    kInvalidPixels = 84,
    kInvalidPrefix = 76,
    kInvalidBrowser = 80,
    kBrowserTitle = 136,
    kExecutableFilter = 16,
};

std::string twoDigits(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

std::string entry(const Window& d, int id) {
    return cutAtCharacter(d.itemText(id), kEntryLimit);
}

std::string trimmed(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

void fillNumbers(Window& d, int list, int first, int last, bool percent) {
    d.listClear(list);
    for (int n = first; n <= last; ++n) d.listAdd(list, percent ? std::to_string(n) + "%" : twoDigits(n));
}

void selectTime(Window& d, const CivilTime& t) {
    d.listSelectPrefix(kHourList, twoDigits(t.hour));
    d.listSelectPrefix(kMinuteList, twoDigits(t.minute));
    d.listSelectPrefix(kSecondList, twoDigits(t.second));
}

// Selects the entry that is exactly the text; a prefix would take "10%" for 1.
void selectExactly(Window& d, int list, const std::string& text) {
    d.listSelectIndex(list, -1);
    for (int i = 0; i < d.listCount(list); ++i)
        if (d.listText(list, i) == text) d.listSelectIndex(list, i);
}

const char* text(const ParameterRecords& p, int number) {
    return messageText(p.language, number);
}

void initialise(const ParameterRecords& p, Window& d) {
    d.setTitle(text(p, kTitle));
    for (const ControlTemplate& c : PARAMETER_DIALOG.controls)
        if (c.message >= 0) d.setItemText(c.id, text(p, c.message));
    d.setItemText(kOkCommand, kParameterOkText);
    d.setItemText(kBrowseButton, kBrowseButtonText);

    const RunSettings& r = p.runSettings;
    fillNumbers(d, kHourList, 0, 23, false);
    fillNumbers(d, kMinuteList, 0, 59, false);
    fillNumbers(d, kSecondList, 0, 59, false);
    selectExactly(d, kHourList, twoDigits(r.startHour));
    selectExactly(d, kMinuteList, twoDigits(r.startMinute));
    selectExactly(d, kSecondList, twoDigits(r.startSecond));
    d.checkItem(kUtCheck, r.universalTime);
    d.checkItem(kInfiniteCheck, r.loopInfinite);
    d.setItemText(kCountEdit, std::to_string(r.loopCount));
    d.enableItem(kCountEdit, !r.loopInfinite);

    const Settings& s = p.settings;
    fillNumbers(d, kMoveLevelList, 1, 100, true);
    selectExactly(d, kMoveLevelList, std::to_string(s.moveLevel) + "%");
    d.setItemText(kPixelsEdit, std::to_string(s.movePixels));
    fillNumbers(d, kThresholdList, 1, 100, true);
    selectExactly(d, kThresholdList, std::to_string(s.soundThreshold.load()) + "%");
    d.setItemText(kBrowserEdit, s.pictureBrowser);
    d.setItemText(kPrefixEdit, s.imagePrefix);

    d.listClear(kEditorList);
    for (const char* editor : {"Notepad.exe", "Excel.exe", "Scalc.exe"}) d.listAdd(kEditorList, editor);
    d.listSelectIndex(kEditorList, -1);
    if (!s.scriptEditor.empty()) d.listSelectPrefix(kEditorList, s.scriptEditor);

    d.listClear(kLanguageList);
    d.listAdd(kLanguageList, text(p, kEnglishName));
    d.listAdd(kLanguageList, text(p, kFrenchName));
    d.listSelectIndex(kLanguageList, p.language == kFrench ? 1 : 0);
}

void browse(const ParameterRecords& p, Window& d) {
    const std::string& stored = p.settings.pictureBrowser;
    const auto chosen = d.openFileDialog(
        {text(p, kBrowserTitle), text(p, kExecutableFilter), directoryOf(stored), stored, true});
    if (chosen) d.setItemText(kBrowserEdit, *chosen);
}

bool refuse(const ParameterRecords& p, Window& d, int message) {
    d.messageBox(text(p, message), text(p, 54), BoxIcon::Error, BoxButtons::Ok);
    return false;
}

std::string selectedText(const Window& d, int list) {
    return d.listText(list, d.listSelection(list));
}

int listNumber(const Window& d, int list) {
    return static_cast<int>(scanWhole(selectedText(d, list)).value_or(0));
}

// The checks, in the order the user meets their messages; nothing is stored until all pass.
bool accept(const ParameterRecords& p, Window& d) {
    const bool infinite = d.isItemChecked(kInfiniteCheck);
    long long count = 0;
    if (!infinite) {
        const auto n = scanTypedWhole(entry(d, kCountEdit));
        if (!n) return refuse(p, d, kInvalidCount);
        if (*n < 2 || *n > 10000) return refuse(p, d, kCountRange);
        count = *n;
    }
    const auto pixels = scanTypedWhole(entry(d, kPixelsEdit));
    // A count past the settings' 32-bit numbers would be stored as a negative one.
    if (!pixels || *pixels <= 0 || *pixels > std::numeric_limits<int>::max())
        return refuse(p, d, kInvalidPixels);
    if (!prefixAllowed(entry(d, kPrefixEdit))) return refuse(p, d, kInvalidPrefix);
    // A path is taken whole: cut, it would name no program, and an existing one would be refused.
    const std::string browser = trimmed(d.itemText(kBrowserEdit));
    if (!browser.empty() && !fileExists(browser) && !isDirectory(browser))
        return refuse(p, d, kInvalidBrowser);

    Settings& s = p.settings;
    RunSettings& r = p.runSettings;
    const SettingsText before = s.beforeUnsaved.empty() ? settingsText(s, r) : s.beforeUnsaved;
    s.pictureBrowser = browser;
    s.imagePrefix = trimmed(entry(d, kPrefixEdit));
    // A hand-written editor that the list does not offer stays, rather than being lost to an empty name.
    if (d.listSelection(kEditorList) >= 0) s.scriptEditor = selectedText(d, kEditorList);
    r.loopInfinite = infinite;
    if (!infinite) r.loopCount = static_cast<int>(count);
    r.startHour = listNumber(d, kHourList);
    r.startMinute = listNumber(d, kMinuteList);
    r.startSecond = listNumber(d, kSecondList);
    r.universalTime = d.isItemChecked(kUtCheck);
    // An unselected level would be 0, which no detector can divide by: the stored level stays then.
    if (d.listSelection(kMoveLevelList) >= 0) s.moveLevel = d.listSelection(kMoveLevelList) + 1;
    s.movePixels = static_cast<int>(*pixels);
    if (d.listSelection(kThresholdList) >= 0) s.soundThreshold = d.listSelection(kThresholdList) + 1;

    const int language = selectedText(d, kLanguageList) == text(p, kEnglishName) ? kEnglish : kFrench;
    p.language = language;
    const std::string file = p.startupDirectory + kSettingsFileName;
    // The values are in use either way; the user must know that they will not survive a restart.
    if (saveSettings(file, s, r, &before)) {
        s.beforeUnsaved.clear();
    } else {
        s.beforeUnsaved = before;
        d.messageBox(std::string(text(p, 57)) + " " + file, text(p, 54), BoxIcon::Error, BoxButtons::Ok);
    }
    return true;
}

} // namespace

void parametersProcedure(const ParameterRecords& p, Window& d, const DialogMessage& m) {
    switch (m.kind) {
    case MessageKind::Init:
        initialise(p, d);
        break;
    case MessageKind::Command:
        switch (m.id) {
        case kOkCommand:
            if (accept(p, d)) d.endDialog(0);
            break;
        case kCancelCommand:
            d.endDialog(0);
            break;
        case kCurrentTimeButton:
            selectTime(d, d.isItemChecked(kUtCheck) ? p.clock.universalTime() : p.clock.localTime());
            break;
        case kBrowseButton:
            browse(p, d);
            break;
        case kInfiniteCheck:
            d.enableItem(kCountEdit, !d.isItemChecked(kInfiniteCheck));
            break;
        default:
            break;
        }
        break;
    case MessageKind::Close:
        d.endDialog(0);
        break;
    default:
        break;
    }
}

} // namespace orvex
