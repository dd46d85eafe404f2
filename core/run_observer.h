#pragma once
// Someone who follows a run as it happens: orvex-cli prints the timeline from it.
#include "core/run_state.h"

#include <string>

namespace orvex {

class RunObserver {
  public:
    virtual ~RunObserver() = default;
    virtual void statusChanged(RunStatus status) = 0;
    // Also called from the transfer worker, for the further pictures of a shot.
    virtual void shotCounted(int shotCount, int fileLine, int pass) = 0;
    // The shutter opened for a shot of that line: one press, however many pictures a burst makes of it. After
    // a mirror lock-up, the press that opens the shutter.
    virtual void shutterReleased(int /*fileLine*/, int /*pass*/) {}
    // From the transfer worker: a picture stored under its final name.
    virtual void pictureStored(const std::string& path) = 0;
    // From the transfer worker: a picture of the shot that could not be downloaded, by the camera's name.
    virtual void downloadFailed(int /*shotCount*/, const std::string& /*fileName*/) {}
    // The run fell behind its schedule (a delay wait ended more than half a second late), or caught up.
    virtual void lateChanged(bool /*late*/) {}
    // A Move line's trigger fired on a live view frame, at this level of the level bar.
    virtual void moveDetected(int /*level*/) {}
    // A Sound line's trigger fired on a buffer of sound, at this level of the level bar. Called on the sound
    // input's thread.
    virtual void soundDetected(int /*level*/) {}
};

} // namespace orvex
