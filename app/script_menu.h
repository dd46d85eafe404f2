#pragma once
// The Script menu's ways to a script file: Load, Modify, Edit, and files dropped on the main window.
#include "platform/window.h"
#include "run/program.h"

#include <string>
#include <vector>

namespace orvex {

// What a new script holds: the header line.
std::string newScriptText();

void loadScriptFromDialog(Program& program, Window& window);
// Opens the current script in the script editor.
void editCurrentScript(Program& program, Window& window);
// Asks for a script, creates it from the header when the user wants a new one, and opens it in the editor.
void editOrCreateScript(Program& program, Window& window);
// Loads the first of the files.
void loadDroppedScript(Program& program, Window& window, const std::vector<std::string>& files);
// Builds a chain of scripts in SCRIPT_CHAIN_DIALOG.
void chainScripts(Program& program, Window& window);

} // namespace orvex
