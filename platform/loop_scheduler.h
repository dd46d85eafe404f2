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

class LoopScheduler final : public Scheduler {
  public:
    using Moment = std::chrono::steady_clock::time_point;

    // Only from the loop's own thread. From inside an action the delay counts from that action's moment,
    // so a timer that re-arms itself keeps its phase; when that moment has passed (the process was
    // stopped), whole delays are skipped, as a late window timer fires once and not once per lost period.
    int schedule(unsigned delayMs, std::function<void()> action) override;
    void cancel(int id) override;

    // Runs every action whose moment has come, including those that fall due meanwhile.
    void runDue();
    // Sleeps until the next action is due, but no longer than `atMost`.
    void waitForNext(std::chrono::milliseconds atMost) const;

  private:
    std::multimap<std::pair<Moment, int>, std::function<void()>> due_;
    int nextId_ = 1;
    const Moment* running_ = nullptr; // the moment of the action being run
};

} // namespace orvex
