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

} // namespace orvex
