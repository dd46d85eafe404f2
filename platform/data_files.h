#pragma once
// Files Orvex ships with (the mode icons, the manuals). They are looked for in the start-up directory first,
// as a user may keep their own copies there; an installed program finds them beside it or in its data
// folders.
#include <string>
#include <vector>

namespace orvex {

// The folders searched after the start-up directory, each with a trailing separator: the program's own
// folder (a build folder holds everything there), then <prefix>/share/orvex/ and <prefix>/share/doc/orvex/
// of the installation the program runs from.
std::vector<std::string> dataFolders();

// The path of `name` in the first of the start-up directory and dataFolders() that holds it as a regular
// file; empty when none does.
std::string findDataFile(const std::string& startupDirectory, const std::string& name);

// The same search over the given folders, each with a trailing separator.
std::string findFileIn(const std::vector<std::string>& folders, const std::string& name);

} // namespace orvex
