#pragma once
// PARAMETER_DIALOG: the settings that are not on the main window. OK checks every entry in a fixed order,
// stores them and writes the settings file.
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/clock.h"
#include "platform/window.h"

#include <string>

namespace orvex {

// What the dialog shows and changes, where it stores them, and the clock its "current time" button reads.
struct ParameterRecords {
    Settings& settings;
    RunSettings& runSettings;
    int& language;
    const std::string& startupDirectory;
    const Clock& clock;
};

void parametersProcedure(const ParameterRecords& records, Window& dialog, const DialogMessage& message);

} // namespace orvex
