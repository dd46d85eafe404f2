#pragma once
// The run's state, remaining time and errors as the main window shows them.
#include "camera/error_texts.h"
#include "camera/program_errors.h"
#include "platform/window.h"
#include "run/program.h"

#include <cstdint>
#include <string>

namespace orvex {

// Sets the run state and shows its text; empties the Wait field.
void showStatus(Program& program, Window& window, RunStatus status);
// "s", "m:ss" or "h:mm:ss", rounded to the nearest second.
std::string formatRemaining(int ms);
void showRemaining(Window& window, int ms);
// The shot count, and the shots left on the card when pictures stay there.
void showShots(Program& program, Window& window);
} // namespace orvex
