#pragma once
// Settings files read and written as profile strings: one key read, one key or a set of keys written, and
// every byte of the file that is not written stays as it was.
#include "platform/profile/profile_text.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

struct ProfileFileText {
    enum Status { Loaded, Missing, Unreadable } status = Missing;
    std::string text;
};

// The file's bytes; empty unless Loaded. A folder or device under that name is Unreadable.
ProfileFileText readProfileFile(const std::string& path);

// Nothing when the file, the section or the key is missing, or the file cannot be read.
std::optional<std::string> getProfileString(const std::string& path, std::string_view section,
                                            std::string_view key);

// Writes the entries in order and replaces the file atomically, creating it when missing. An existing file
// that cannot be read is never replaced. False when the file was not written or a name cannot be stored.
bool writeProfileStrings(const std::string& path, std::string_view section,
                         const std::vector<ProfileEntry>& entries);
bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

} // namespace orvex
