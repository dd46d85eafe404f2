#pragma once
// Chains of scripts: link files "name.next" and "name.prev" beside a script name the one that follows it
// and the one before it.
#include "core/script.h"
#include "platform/window.h"

#include <optional>
#include <string>

namespace orvex {

// The script that the loaded script's link file (extension ".next" or ".prev") names. Nothing for a script
// not named "*.txt", and nothing after a message box when the link file cannot be read or is empty.
std::optional<std::string> linkedScript(const Script& script, int language, Window& window,
                                        const char* extension);
// True when the file's last-write time can be read and differs from the one remembered at load.
bool scriptModifiedSinceLoad(const Script& script);

} // namespace orvex
