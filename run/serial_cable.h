#pragma once
// The shutter-release cable on a serial port, and the mirror lock-up sequence.
#include "platform/window.h"
#include "run/program.h"

namespace orvex {

// The steps of a mirror lock-up sequence, and the start or end of a burst or a cable bulb exposure.
enum class CablePhase {
    kPlain = -1,
    kMirrorUp = 1,
    kMirrorUpRelease = 2,
    kShutter = 3,
    kShutterRelease = 4,
};

// The Lockup choice: 0 for Off, 1000 to 10000 ms, -1 for Manu or any other text.
int lockupTime(const Program& program, const Window& window);
bool openCable(Program& program, Window& window);
// One step of a cable or lock-up sequence. False when it failed; the run has then been stopped.
bool cablePhase(Program& program, Window& window, bool press, CablePhase phase);
void startLockup(Program& program, Window& window, int delayMs);

} // namespace orvex
