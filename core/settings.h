#pragma once
// The user's preferences kept in "Orvex.ini" in the start-up directory.
#include <atomic>
#include <string>

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
// Writes the twelve keys and keeps everything else in the file. False when it could not be written.
bool saveSettings(const std::string& file, const Settings& settings, const RunSettings& run);

} // namespace orvex
