#pragma once
// The main window's procedure: the initialisation sequence, and commands, timers and user messages by id.
#include "app/program.h"
#include "platform/window.h"

namespace orvex {

inline constexpr int kUserDetectionLevel = 1018;

void mainWindowProcedure(Program& program, Window& window, const DialogMessage& message);

} // namespace orvex
