#pragma once
// Connecting and losing the camera as the main window does it: the camera layer opens and closes the body,
// then the run stops and the window shows the new state.
#include "platform/window.h"
#include "run/program.h"

namespace orvex {

// The Connect button while not connected: simulation, or the camera chosen in CONNECT_DIALOG.
void connectCamera(Program& program, Window& window);
// "-connect=": the first camera whose session opens, or the one with the wanted body id.
void autoConnect(Program& program, Window& window);
void disconnectCamera(Program& program, Window& window);
// Delivers the camera events that wait (the camera-event user message); a body that shut down is
// disconnected.
void deliverCameraEvents(Program& program, Window& window);

} // namespace orvex
