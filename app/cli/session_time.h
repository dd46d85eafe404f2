#pragma once
// The time an orvex-cli session runs on: a rehearsal's virtual clock, or the computer's own clocks.
#include "platform/clock.h"
#include "platform/scheduler.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace orvex::cli {

class SessionTime {
  public:
    virtual ~SessionTime() = default;
    // What the program and the camera read: ticks, local and universal time.
    virtual Clock& clock() = 0;
    // Where the virtual body times its exposures and pictures; its actions may run on another thread.
    virtual Scheduler& cameraTimers() = 0;
    // Where the window's timers run: always on the thread that calls pass().
    virtual TimerScheduler& windowTimers() = 0;
    // Lets some time pass, running the window timers that fall due meanwhile.
    virtual void pass() = 0;
    virtual std::uint64_t elapsedMs() const = 0;
};

// Starts at `localStart` (default: the computer's local time now) and moves one run tick at each pass(), as
// fast as the program computes. `utcOffsetMinutes` defaults to +00:00 with a start given, otherwise to the
// computer's offset.
std::unique_ptr<SessionTime> rehearsalTime(std::optional<CivilTime> localStart,
                                           std::optional<int> utcOffsetMinutes);
// The computer's clocks, read afresh at each read as the desktop program reads them, so that a process that
// was stopped or slowed sees, names and stamps the real moments.
std::unique_ptr<SessionTime> realTime();

} // namespace orvex::cli
