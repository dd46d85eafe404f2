#pragma once
// A repeating timer whose ticks fall just after whole steps of its period: re-armed against the clock at
// each tick, so that no tick comes before its step and a late tick does not delay the ones after it.
#include <QTimer>

#include <chrono>
#include <functional>

namespace orvex {

class SteppedTimer {
  public:
    explicit SteppedTimer(std::function<void()> tick);

    // Started afresh, the steps are whole multiples of the period in the time of day (when the period
    // divides a second), so that a wait for a time of day ends just after it begins. Started again while it
    // runs, the steps count from now: the caller has just read the moment its waits count from.
    void start(unsigned periodMs);
    void stop() { timer_.stop(); }
    bool isActive() const { return timer_.isActive(); }

  private:
    void armNext();

    QTimer timer_;
    std::function<void()> tick_;
    std::chrono::nanoseconds period_{0};
    bool timeOfDay_ = false;
    std::chrono::steady_clock::time_point origin_;
};

} // namespace orvex
