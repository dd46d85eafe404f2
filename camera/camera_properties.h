#pragma once
// The small camera operations of a run.
#include "camera/program_errors.h"
#include "core/program.h"
#include "platform/window.h"

#include <cstdint>
#include <string>

namespace orvex {

// A 4-byte property of the connected camera; the SDK code of the call.
EdsError readUInt32(const Program& program, EdsPropertyID property, EdsInt32 param, EdsUInt32& value);
EdsError writeUInt32(const Program& program, EdsPropertyID property, EdsUInt32 value);

// True when the camera's mirror lock-up setting agrees with `wanted`, or cannot be known.
bool mirrorLockupMatches(Program& program, bool wanted);
bool isLensAttached(Program& program);
// Sends the lock only when it changes; returns the SDK code, 0 when nothing was sent.
EdsError setCameraUiLock(Program& program, bool locked);
// The body id as a whole number: an EOS serial number has 12 digits. The SDK code, or
// kErrorBodyIdNotANumber.
std::int32_t readBodyNumber(Program& program, std::uint64_t& out);
// Opens or closes the shutter by the first method the camera offers; records its location in errorLocation.
// Returns the SDK code, 7 (not supported) when the camera offers none.
EdsError driveShutterButton(Program& program, bool open);
void setLiveViewOutput(Program& program, Window& window, bool on);
void releaseLiveViewOutput(Program& program);
// What the camera's own software said of its last failed call, in its words; empty when it said nothing.
std::string cameraExplanation(const Program& program);

} // namespace orvex
