#pragma once
// The script editor, the picture browser and other programs named in the settings.
#include "platform/shell.h"
#include "platform/window.h"

#include <string>
#include <vector>

namespace orvex {

// "Notepad.exe" is the desktop's text editor, "Excel.exe" and "Scalc.exe" a spreadsheet program,
// "Explorer.exe" and the empty name the file manager (letter case aside); any other name is a program.
ProgramKind programKind(const std::string& storedName);

// Starts the program with the arguments through the shell, when there is one; when it cannot be started,
// shows "Cannot execute" and the stored name (Explorer.exe for the empty one). True when it started.
bool runExternalProgram(Shell* shell, int language, Window& window, const std::string& storedName,
                        const std::vector<std::string>& arguments);

} // namespace orvex
