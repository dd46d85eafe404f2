#pragma once
// The small camera operations of a run.
#include "camera/program_errors.h"
#include "core/camera_session.h"
#include "platform/window.h"

#include <cstdint>
#include <string>

namespace orvex {

// A 4-byte property of the connected camera; the SDK code of the call.
EdsError readUInt32(const CameraSession& camera, EdsPropertyID property, EdsInt32 param, EdsUInt32& value);
EdsError writeUInt32(const CameraSession& camera, EdsPropertyID property, EdsUInt32 value);

// True when the camera's mirror lock-up setting agrees with `wanted`, or cannot be known.
bool mirrorLockupMatches(const CameraSession& camera, bool wanted);
bool isLensAttached(const CameraSession& camera);
// Sends the lock only when it changes; returns the SDK code, 0 when nothing was sent.
EdsError setCameraUiLock(CameraSession& camera, bool locked);
// The body id as a whole number: an EOS serial number has 12 digits. The SDK code, or
// kErrorBodyIdNotANumber.
std::int32_t readBodyNumber(const CameraSession& camera, std::uint64_t& out);
// Opens or closes the shutter by the first method the camera offers; records its location in `location`.
// Returns the SDK code, 7 (not supported) when the camera offers none.
EdsError driveShutterButton(const CameraSession& camera, int& location, bool open);
void setLiveViewOutput(CameraSession& camera, Window& window, bool on);
// Leaves the live view pictures, and so the raised mirror, to a mirror lock-up under way, which gives them
// back once its shot is in (releaseLiveViewOutput), as pictures it borrowed itself.
void lendLiveViewOutputToLockup(CameraSession& camera, bool& borrowedForLockup);
// Gives back the live view pictures a mirror lock-up borrowed, unless the live view window wants them.
void releaseLiveViewOutput(CameraSession& camera, bool& borrowedForLockup, bool liveViewWanted);
// What the camera's own software said of its last failed call, in its words; empty when it said nothing.
std::string cameraExplanation(const CameraSession& camera);

} // namespace orvex
