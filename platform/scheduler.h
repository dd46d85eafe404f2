#pragma once
// Actions at a later moment of the program's clock: the virtual camera times its exposures and picture
// processing with it, on the virtual clock in tests and rehearsals, on a real timer thread otherwise.
#include <functional>

namespace orvex {

class Scheduler {
  public:
    virtual ~Scheduler() = default;
    // Runs the action once `delayMs` has passed; returns an id for cancel(). The action may run on another
    // thread than the caller's.
    virtual int schedule(unsigned delayMs, std::function<void()> action) = 0;
    virtual void cancel(int id) = 0;
};

// A scheduler whose actions all run on one thread, which also keeps a window's timers: an action that comes
// back every period without being scheduled again at each turn, which a run does 72 000 times an hour.
class TimerScheduler : public Scheduler {
  public:
    // Runs the action every `periodMs` until cancel(id); each turn counts from the moment the last one fell
    // due, and is scheduled again before the action runs, as the action itself would have done it.
    virtual int scheduleEvery(unsigned periodMs, std::function<void()> action) = 0;
};

} // namespace orvex
