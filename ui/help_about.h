#pragma once
// The ? menu: the manual in the user's language, and the version box.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

// Opens the manual of the current language, looked for in the start-up directory first, then among the
// installed program's files; "No help available" when there is none or nothing can open it.
void showHelp(Program& program, Window& window);
void showAbout(const Program& program, Window& window);
// The day the program was built, as "Jan 21 2016".
const char* buildDate();

} // namespace orvex
