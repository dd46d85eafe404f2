#pragma once
// A clock that moves only when told: a three-hour script runs in milliseconds, every tick accounted for.
#include "platform/clock.h"
#include "platform/scheduler.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace orvex {

class VirtualClock : public Clock, public TimerScheduler {
  public:
    // `startTick` lets tests place the run just before the 32-bit counter wraps.
    explicit VirtualClock(CivilTime localStart = {}, int utcOffsetMinutes = 0, std::uint32_t startTick = 0);

    std::uint32_t tick() const override { return tick_.load(); }
    std::uint64_t microseconds() const override { return (startTick_ + elapsed_) * 1000; }
    CivilTime localTime() const override;
    CivilTime universalTime() const override;
    int utcOffsetMinutesAt(std::int64_t universalMs) const override;
    // Only moves time on, as a blocking sleep does: what falls due meanwhile runs once control is back in
    // advance(), in order. Running it from inside the sleep would re-enter whoever slept.
    void sleep(unsigned ms) override;
    // The computer's time set on or back, by hand or by NTP: the tick goes on undisturbed.
    void setTimeBy(std::int64_t ms) { localStartMs_ += ms; }
    // The zone goes to or from summer time at that moment (ms since 1970 in universal time): local time moves
    // by the difference of the offsets, universal time and the tick go on.
    void changeUtcOffsetAt(std::int64_t universalMs, int utcOffsetMinutes) {
        offsetChange_ = {universalMs, utcOffsetMinutes};
    }

    // Moves time forward, running each scheduled action when its moment comes, in order; an action that
    // slept past the target has the actions that fell due meanwhile run after it.
    void advance(std::uint64_t ms);
    // Runs the action on the caller of advance() when `delayMs` more milliseconds have passed.
    int schedule(unsigned delayMs, std::function<void()> action) override;
    int scheduleEvery(unsigned periodMs, std::function<void()> action) override;
    void cancel(int id) override;

  private:
    std::uint64_t startTick_;
    // The transfer worker reads both.
    std::atomic<std::uint64_t> elapsed_{0}; // since construction; never wraps
    std::atomic<std::uint32_t> tick_;
    std::int64_t localStartMs_;
    int utcOffsetMinutes_;
    std::optional<std::pair<std::int64_t, int>> offsetChange_;
    std::int64_t universalMs() const;
    // Actions due at the same moment run in the order they were (re)scheduled. A window timer takes a new
    // place at every turn: 64 bits never run out, where 32 would after a few years of rehearsed ticks.
    std::uint64_t nextOrder_ = 1;
    int nextId_ = 1;
    struct Due {
        std::uint64_t moment;
        std::uint64_t order;
        int id; // stays the same across the turns of a repeating action
        bool repeats;
        unsigned period;
        std::function<void()> action;
        int running = 0;        // how many calls of the action are under way
        bool cancelled = false; // while running: to be dropped once it returns
    };
    int push(std::unique_ptr<Due> due);
    // A heap with the earliest (moment, order) in front. A run's timer comes back at every tick: it stays
    // where it is and only its place in the heap moves.
    std::vector<std::unique_ptr<Due>> due_;
    std::vector<std::unique_ptr<Due>> cancelledWhileRunning_;
};

} // namespace orvex
