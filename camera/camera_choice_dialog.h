#pragma once
// CONNECT_DIALOG: the cameras the SDK lists, one line each, and the one the user picks.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

// Leaves the list in program.camera.cameraList (released when no camera was listed) and, once a camera is
// chosen, its handle in program.camera.camera and its number in program.camera.cameraNumber. Ends the
// dialog with kOkCommand or kCancelCommand and clears the dialog guard either way.
void cameraChoiceProcedure(Program& program, Window& dialog, const DialogMessage& message);

} // namespace orvex
