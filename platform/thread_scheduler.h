#pragma once
// The Scheduler on real time: one timer thread runs every action when its moment comes, in order of moment
// and, for equal moments, of scheduling. Used where the program runs on the computer's own clock (the
// desktop program, `orvex-cli run`); tests use VirtualClock instead.
#include "platform/scheduler.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace orvex {

class ThreadScheduler final : public Scheduler {
  public:
    ThreadScheduler();
    // Drops the actions still waiting and joins the timer thread after the running one, if any, returns.
    // Must not be called from one of its own actions.
    ~ThreadScheduler() override;
    ThreadScheduler(const ThreadScheduler&) = delete;
    ThreadScheduler& operator=(const ThreadScheduler&) = delete;

    // May be called from any thread, also from inside an action. An action that throws is abandoned; the
    // others still run.
    int schedule(unsigned delayMs, std::function<void()> action) override;
    // Once this returns, the action will not start; when it is running on the timer thread at that moment,
    // this waits for it to end, unless called from the timer thread itself (an action cancelling itself
    // or another). So the caller must not hold a lock that the action takes.
    void cancel(int id) override;

  private:
    using Moment = std::chrono::steady_clock::time_point;
    void run();

    std::mutex lock_;
    std::condition_variable wake_;     // the timer thread: something new, or time to stop
    std::condition_variable finished_; // cancel(): the running action has ended
    std::multimap<std::pair<Moment, int>, std::function<void()>> due_;
    int nextId_ = 1;
    int runningId_ = 0;
    bool stopping_ = false;
    std::thread thread_; // last: it starts once everything above is ready
};

} // namespace orvex
