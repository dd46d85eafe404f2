#pragma once
#include <ostream>
#include <string>

namespace orvex {

// Loads the script as the desktop program would and prints what it understood, one line per exposure.
// Returns the exit code: 0 loaded, 1 refused (the message on `err`).
int checkScript(const std::string& path, int language, std::ostream& out, std::ostream& err);

} // namespace orvex
