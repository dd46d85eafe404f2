#pragma once
// Turns a script file into the records of the run, checking every line.
#include "core/script.h"
#include "core/value_tables.h"
#include "platform/window.h"

#include <string>

namespace orvex {

inline constexpr const char* kScriptHeader = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST";

// Fills the script from its file, values taken from the tables. On failure shows the first error and leaves
// no script loaded, even if one was loaded before. What the lines ask beyond the script (a loop marker, a
// burst) stays in its flags for the caller to act on, as far as the lines were read.
bool readScript(Script& script, const ValueTables& tables, int language, Window& window,
                const std::string& path);

} // namespace orvex
