#pragma once
// Profile strings in the text of an initialisation file, found and changed the way the Windows profile
// functions do it, so that a hand-edited file keeps every byte nobody asked to change.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

struct ProfileEntry {
    std::string key;
    std::string value;
};

// The value of the first `key` in the first `section`, blanks around it removed; nothing when either is
// missing. Names are compared without regard to ASCII letter case, blanks around them ignored.
std::optional<std::string> profileValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// Whether a section or key name can be written so that it reads back as itself.
bool isStorableSectionName(std::string_view section);
bool isStorableKeyName(std::string_view key);

// The text with each entry written in turn: an existing key's value changes in place, a missing key goes
// at the end of its section, a missing section at the end of the text. A value ends at its first line break
// and is written without blanks around it, as it reads back.
// Nothing when a name cannot be stored.
std::optional<std::string> withProfileValues(std::string text, std::string_view section,
                                             const std::vector<ProfileEntry>& entries);

} // namespace orvex
