#pragma once
// What a picture folder holds besides its pictures: the night logs of the runs that filled it.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace orvex::test {

inline bool isNightLog(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    return name.starts_with("night_") && name.ends_with(".tsv");
}

// The text of the night log the folder holds; empty when it holds none or the folder is not there.
inline std::string nightLogIn(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const auto& file : std::filesystem::directory_iterator(folder, ec))
        if (isNightLog(file.path())) {
            std::ifstream in(file.path(), std::ios::binary);
            return {std::istreambuf_iterator<char>(in), {}};
        }
    return "";
}

} // namespace orvex::test
