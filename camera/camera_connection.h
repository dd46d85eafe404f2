#pragma once
// Choosing, connecting and losing the camera.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

// The main window's user message that says camera events wait for EdsGetEvent.
inline constexpr int kUserCameraEvent = 4001;
inline constexpr int kTimerBattery = 5;

// At SDK initialisation: every camera event that waits makes the window receive the camera-event user
// message, on its own thread, which then calls deliverCameraEvents.
void installCameraEventPump(Window& window);
// Before that window goes, unless EdsTerminateSDK came first: a camera event must never post to a window
// that is gone. Does nothing when the pump posts to another window.
void removeCameraEventPump(Window& window);
// The Connect button while not connected: simulation, or the camera chosen in CONNECT_DIALOG.
void connectCamera(Program& program, Window& window);
// "-connect=": the first camera whose session opens, or the one with the wanted body id.
void autoConnect(Program& program, Window& window);
void disconnectCamera(Program& program, Window& window);
// Timer 5, while cameraReady.
void batteryWatch(Program& program, Window& window);
// Delivers the camera events that wait (the camera-event user message).
void deliverCameraEvents(Program& program, Window& window);

} // namespace orvex
