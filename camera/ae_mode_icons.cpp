#include "camera/ae_mode_icons.h"

#include "platform/data_files.h"

#include <array>

namespace orvex {
namespace {

// By AE mode code 0 to 28; null where the unknown-mode icon stands in.
constexpr std::array<const char*, 29> kIconByMode = {
    "Mode_Program.ico",      // 0
    "Mode_Tv.ico",           // 1
    "Mode_Av.ico",           // 2
    "Mode_Manual.ico",       // 3
    "Mode_Bulb.ico",         // 4
    "Mode_ADEP.ico",         // 5
    "Mode_DEP.ico",          // 6
    nullptr,                 // 7
    nullptr,                 // 8
    "Mode_Auto.ico",         // 9
    "Mode_NightPort.ico",    // 10
    "Mode_Sport.ico",        // 11
    "Mode_Port.ico",         // 12
    "Mode_Land.ico",         // 13
    "Mode_CloseUp.ico",      // 14
    "Mode_FlashOff.ico",     // 15
    nullptr,                 // 16
    nullptr,                 // 17
    nullptr,                 // 18
    "Mode_CreativeAuto.ico", // 19
    "Mode_Movie.ico",        // 20
    nullptr,                 // 21
    "Mode_SceneIntel.ico",   // 22
    "Mode_NightScene.ico",   // 23
    "Mode_BackLit.ico",      // 24
    nullptr,                 // 25
    "Mode_Child.ico",        // 26
    "Mode_Food.ico",         // 27
    "Mode_Candle.ico",       // 28
};

constexpr auto kAllFiles = [] {
    std::array<const char*, 23> files{};
    std::size_t n = 0;
    files[n++] = kUnknownModeIconFile;
    for (const char* file : kIconByMode)
        if (file) files[n++] = file;
    return files;
}();

} // namespace

const char* aeModeIconFile(int aeMode) {
    if (aeMode < 0 || aeMode >= static_cast<int>(kIconByMode.size())) return kUnknownModeIconFile;
    const char* file = kIconByMode[static_cast<std::size_t>(aeMode)];
    return file ? file : kUnknownModeIconFile;
}

std::span<const char* const> aeModeIconFiles() {
    return kAllFiles;
}

std::map<std::string, std::string> loadAeModeIcons(const std::string& startupDirectory) {
    std::map<std::string, std::string> icons;
    for (const char* file : aeModeIconFiles())
        if (std::string path = findDataFile(startupDirectory, file); !path.empty())
            icons[file] = std::move(path);
    return icons;
}

} // namespace orvex
