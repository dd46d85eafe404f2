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
enum class Connection { kNone, kSimulation, kBody };
// Simulation, or the camera chosen in CONNECT_DIALOG; says what is connected now.
Connection openCamera(Program& program, Window& window);
// The first camera whose session opens, or the one with the wanted body id; true when one is connected.
bool openWantedCamera(Program& program, Window& window);
// The first step of a disconnection: a body still there takes back the settings it had at connection.
// From then on the program takes it as not connected.
void giveBackCameraSettings(Program& program);
// The last step: the session closed, the body's events no longer heard, the field says "not connected".
void closeCamera(Program& program, Window& window);
// Timer 5, while cameraReady.
void batteryWatch(Program& program, Window& window);
// Delivers the camera events that wait; true when the body shut down meanwhile (its events are no longer
// heard, and it is to be disconnected).
bool deliverEvents(Program& program);

} // namespace orvex
