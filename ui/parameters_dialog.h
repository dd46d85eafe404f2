#pragma once
// PARAMETER_DIALOG: the settings that are not on the main window. OK checks every entry in a fixed order,
// stores them, writes the settings file and raises program.languageChanged when the language changed.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

void parametersProcedure(Program& program, Window& dialog, const DialogMessage& message);

} // namespace orvex
