#include "platform/profile/profile_file.h"

#include "platform/files.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvex {

ProfileFileText readProfileFile(const std::string& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return {ProfileFileText::Missing, {}};
    // Reading a FIFO would block; a folder or device is no settings file.
    if (status.type() != std::filesystem::file_type::regular) return {ProfileFileText::Unreadable, {}};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {ProfileFileText::Unreadable, {}};
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return {ProfileFileText::Unreadable, {}};
    return {ProfileFileText::Loaded, std::move(text)};
}

std::optional<std::string> getProfileString(const std::string& path, std::string_view section,
                                            std::string_view key) {
    const ProfileFileText file = readProfileFile(path);
    if (file.status != ProfileFileText::Loaded) return std::nullopt;
    return profileValue(file.text, section, key);
}

bool writeProfileStrings(const std::string& path, std::string_view section,
                         const std::vector<ProfileEntry>& entries) {
    const ProfileFileText file = readProfileFile(path);
    if (file.status == ProfileFileText::Unreadable) return false;
    const std::optional<std::string> text = withProfileValues(file.text, section, entries);
    if (!text) return false;
    if (file.status == ProfileFileText::Loaded && *text == file.text) return true;
    return writeFileAtomically(path, *text);
}

bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    return writeProfileStrings(path, section, {{std::string(key), std::string(value)}});
}

} // namespace orvex
