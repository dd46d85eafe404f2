#pragma once
// The Scheduler of a loop on the computer's monotonic clock: actions run on the thread that calls runDue(),
// one at a time, in order of moment and, for equal moments, of scheduling. orvex-cli's headless window
// keeps its timers here, so that the window procedure runs on one thread as a desktop window's does.
#include "platform/scheduler.h"

#include <chrono>
#include <functional>
#include <map>
#include <utility>

namespace orvex {

class LoopScheduler final : public TimerScheduler {
  public:
    using Moment = std::chrono::steady_clock::time_point;

    // Only from the loop's own thread. The delay counts from now, from inside an action too: a timer set
    // again there (the run's, once its origin has been read) counts from that moment. A repeating action's
    // next turn counts from the moment of its last, so that it keeps its phase; when that moment has passed
    // (the process was stopped), whole periods are skipped, as a late window timer fires once and not once
    // per lost period.
    int schedule(unsigned delayMs, std::function<void()> action) override;
    int scheduleEvery(unsigned periodMs, std::function<void()> action) override;
    void cancel(int id) override;

    // Runs every action whose moment has come, including those that fall due meanwhile.
    void runDue();
    // Sleeps until the next action is due, but no longer than `atMost`.
    void waitForNext(std::chrono::milliseconds atMost) const;

  private:
    struct Action {
        int id; // stays the same across the turns of a repeating action
        bool repeats;
        unsigned period;
        std::function<void()> run;
    };
    // Schedules `delayMs` after `from`, or after now; returns the action's id.
    int arm(unsigned delayMs, Action action, const Moment* from = nullptr);
    int nextOrder();

    std::multimap<std::pair<Moment, int>, Action> due_; // (moment, order of scheduling) → action
    int nextOrder_ = 1;
};

} // namespace orvex
