#pragma once
// The user's preferences kept in "Orvex.ini" in the start-up directory.
#include <atomic>
#include <string>
#include <string_view>

namespace orvex {

struct RunSettings;

struct Settings {
    std::string scriptEditor = "Notepad.exe";
    std::string pictureBrowser;
    std::string imagePrefix;
    int moveLevel = 20;
    int movePixels = 10000;
    // Read by the sound input's thread at each buffer: a change made during a Sound wait applies at once.
    std::atomic<int> soundThreshold{50};
};

inline constexpr const char* kSettingsFileName = "Orvex.ini";

// Reads the twelve keys; missing keys take their defaults. Never fails.
void loadSettings(const std::string& file, Settings& settings, RunSettings& run);
// Every picture's name starts with the prefix: a separator or a drive letter's colon would send the pictures
// out of their folder, and a control character (a tab, a line break) would split the night log's rows.
bool prefixAllowed(std::string_view prefix);
// Writes the twelve keys and keeps everything else in the file. False when it could not be written.
bool saveSettings(const std::string& file, const Settings& settings, const RunSettings& run);

} // namespace orvex
