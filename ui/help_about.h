#pragma once
// The ? menu: the manual in the user's language, and the version box.
#include "platform/shell.h"
#include "platform/window.h"
#include <string>

namespace orvex {

// Opens the manual of the current language, looked for in the start-up directory first, then among the
// installed program's files; "No help available" when there is none or nothing can open it.
void showHelp(const std::string& startupDirectory, Shell* shell, int language, Window& window);
void showAbout(int language, Window& window);
// The day the program was built, as "Jan 21 2016".
const char* buildDate();
// The version, as the package names it.
const char* programVersion();

} // namespace orvex
