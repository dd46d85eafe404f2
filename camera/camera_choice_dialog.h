#pragma once
// CONNECT_DIALOG: the cameras the SDK lists, one line each, and the one the user picks.
#include "core/camera_session.h"
#include "platform/window.h"

namespace orvex {

// Leaves the list in the session's cameraList (released when no camera was listed) and, once a camera is
// chosen, its handle in its camera and its number in its cameraNumber. Ends the dialog with kOkCommand or
// kCancelCommand and clears the dialog guard either way.
void cameraChoiceProcedure(CameraSession& session, int language, Window& dialog,
                           const DialogMessage& message);

} // namespace orvex
