#pragma once
// How a run ends: stopped, with its end messages, or on an error with its box; and whether the line in hand
// is its last.
#include "platform/window.h"
#include "run/program.h"

#include <cstdint>
#include <string>

namespace orvex {

// Ends the run; the caller sets the final state.
void stopRun(Program& program, Window& window);
// The pictures of a run that failed to come over, or stayed on the card, after its stop had told its own:
// told now, once, as the stop tells them.
void tellPicturesLeftBehind(Program& program, Window& window);
// Ends the run on an error: state "Error" and one modal box captioned with the location. The box says the
// error's text, or `text` when given, and what the camera's own software said of a camera code.
void reportError(Program& program, Window& window, std::int32_t code, int location);
void reportError(Program& program, Window& window, std::int32_t code, int location, const std::string& text);

// The current line is the run's last: its script's last, on the last pass.
bool runEndsAfterThisLine(const Program& program);

} // namespace orvex
