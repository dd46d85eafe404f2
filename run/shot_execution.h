#pragma once
// Turning the current script line into a shot: the camera's values set and checked, the shutter released.
#include "platform/window.h"
#include "run/program.h"

namespace orvex {

void executeLine(Program& program, Window& window);
// The shutter of the current line's shot has just opened.
void tellShutterReleased(Program& program);
// Follows the pictures of the shot; sets cameraReady once they are all in.
void watchTransfers(Program& program, Window& window);

} // namespace orvex
