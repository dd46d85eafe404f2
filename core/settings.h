#pragma once
// The user's preferences kept in "Orvex.ini" in the start-up directory.
#include <string>

namespace orvex {

struct RunState;

struct Settings {
    std::string scriptEditor = "Notepad.exe";
    std::string pictureBrowser;
    std::string imagePrefix;
    int moveLevel = 20;
    int movePixels = 10000;
    int soundThreshold = 50;
};

inline constexpr const char* kSettingsFileName = "Orvex.ini";

// Reads the twelve keys; missing keys take their defaults. Never fails.
void loadSettings(const std::string& file, Settings& settings, RunState& run);
// Writes the twelve keys and keeps everything else in the file. False when it could not be written.
bool saveSettings(const std::string& file, const Settings& settings, const RunState& run);

} // namespace orvex
