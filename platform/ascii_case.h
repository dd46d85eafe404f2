#pragma once
// Letter case of ASCII letters only. The C library's toupper and tolower follow the locale, which the desktop
// program takes from the user: in a Turkish one 'i' and 'I' are not each other's case, and names read from
// files or bodies ("ISO", "Mark III") would no longer match the program's own.
#include <algorithm>
#include <string>
#include <string_view>

namespace orvex {

constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline std::string upperAscii(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}
inline std::string lowerAscii(std::string text) {
    for (char& c : text) c = lowerAscii(c);
    return text;
}
// Inline: the script loader asks it of table rows for every column of every line.
inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

} // namespace orvex
