#pragma once
// The user's preferences kept in "Orvex.ini" in the start-up directory.
#include <atomic>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvex {

struct RunSettings;

// The twelve keys with their values as written to the file, in its order.
using SettingsText = std::vector<std::pair<std::string, std::string>>;

struct Settings {
    std::string scriptEditor = "Notepad.exe";
    std::string pictureBrowser;
    std::string imagePrefix;
    int moveLevel = 20;
    int movePixels = 10000;
    // Read by the sound input's thread at each buffer: a change made during a Sound wait applies at once.
    std::atomic<int> soundThreshold{50};
    // The values before changes that could not be written to the file: the next save writes those changes
    // too, though the user does not make them again. Empty when the file has every change.
    SettingsText beforeUnsaved;
};

inline constexpr const char* kSettingsFileName = "Orvex.ini";

// Reads the twelve keys; missing keys take their defaults. Never fails.
void loadSettings(const std::string& file, Settings& settings, RunSettings& run);
// Every picture's name starts with the prefix: a separator or a drive letter's colon would send the pictures
// out of their folder, and a control character (a tab, a line break) would split the night log's rows.
bool prefixAllowed(std::string_view prefix);
SettingsText settingsText(const Settings& settings, const RunSettings& run);
// Writes the twelve keys and keeps everything else in the file. Given what they held before the user changed
// them, writes only the keys that changed and those the file lacks: another Orvex started in the same folder
// keeps what it saved meanwhile and this one's user left alone. False when it could not be written.
bool saveSettings(const std::string& file, const Settings& settings, const RunSettings& run,
                  const SettingsText* before = nullptr);

} // namespace orvex
