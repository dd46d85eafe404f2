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

    // Only from the loop's own thread. From inside an action the delay counts from that action's moment,
    // so a timer that re-arms itself keeps its phase; when that moment has passed (the process was
    // stopped), whole delays are skipped, as a late window timer fires once and not once per lost period.
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
    // Schedules `delayMs` after the moment of the running action, or after now; returns the action's id.
    int arm(unsigned delayMs, Action action);
    int nextOrder();

    std::multimap<std::pair<Moment, int>, Action> due_; // (moment, order of scheduling) → action
    int nextOrder_ = 1;
    const Moment* running_ = nullptr; // the moment of the action being run
};

} // namespace orvex
