#pragma once
// What a picture folder holds besides its pictures: the night logs of the runs that filled it.
#include <filesystem>
#include <string>

namespace orvex::test {

inline bool isNightLog(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    return name.starts_with("night_") && name.ends_with(".tsv");
}

} // namespace orvex::test
