#pragma once
// Which icon file shows which AE mode. The files are shipped beside the program.
#include <map>
#include <span>
#include <string>

namespace orvex {

inline constexpr const char* kUnknownModeIconFile = "Mode_Unknown.ico";

// The icon file of an AE mode code; the unknown-mode icon for a code without one of its own (7, 8, 16 to
// 18, 21, 25, 29 and above, or a negative value for a mode that could not be read).
const char* aeModeIconFile(int aeMode);
// Every icon file, the unknown-mode icon first, then in AE mode order, each once.
std::span<const char* const> aeModeIconFiles();
// Each icon file's path, found at start in the start-up directory, else among the installed program's
// files; a file found nowhere is left out, and its modes show no icon.
std::map<std::string, std::string> loadAeModeIcons(const std::string& startupDirectory);

} // namespace orvex
