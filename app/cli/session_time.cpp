#include "app/cli/session_time.h"

#include "platform/headless/virtual_clock.h"
#include "platform/loop_scheduler.h"
#include "platform/system_clock.h"
#include "platform/thread_scheduler.h"
#include "run/run_controller.h"

#include <chrono>
#include <cmath>

namespace orvex::cli {
namespace {

class Rehearsal final : public SessionTime {
  public:
    Rehearsal(CivilTime localStart, int utcOffsetMinutes) : clock_(localStart, utcOffsetMinutes) {}
    Clock& clock() override { return clock_; }
    Scheduler& cameraTimers() override { return clock_; }
    TimerScheduler& windowTimers() override { return clock_; }
    void pass() override { clock_.advance(kTickMs); }
    // As the timeline counts it: a body that sleeps (a slow release, a long connection) moves the clock on
    // too, and --until is that long on the rehearsal's clock.
    std::uint64_t elapsedMs() const override { return (clock_.microseconds() - startUs_) / 1000; }

  private:
    VirtualClock clock_;
    std::uint64_t startUs_ = clock_.microseconds();
};

class RealTime final : public SessionTime {
  public:
    Clock& clock() override { return clock_; }
    Scheduler& cameraTimers() override { return cameraTimers_; }
    TimerScheduler& windowTimers() override { return windowTimers_; }
    void pass() override {
        // Camera events and Ctrl-C are seen between timers: never wait long for the next one.
        windowTimers_.waitForNext(std::chrono::milliseconds(5));
        windowTimers_.runDue();
    }
    std::uint64_t elapsedMs() const override {
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_)
                .count());
    }

  private:
    SystemClock clock_;
    ThreadScheduler cameraTimers_;
    LoopScheduler windowTimers_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

} // namespace

std::unique_ptr<SessionTime> rehearsalTime(std::optional<CivilTime> localStart,
                                           std::optional<int> utcOffsetMinutes) {
    if (localStart) return std::make_unique<Rehearsal>(*localStart, utcOffsetMinutes.value_or(0));
    const SystemClock computer;
    const CivilTime local = computer.localTime();
    // The two reads lie microseconds apart: the offset is their difference to the nearest minute.
    const double apart = static_cast<double>(msFromCivil(local) - msFromCivil(computer.universalTime()));
    return std::make_unique<Rehearsal>(
        local, utcOffsetMinutes.value_or(static_cast<int>(std::lround(apart / 60000))));
}

std::unique_ptr<SessionTime> realTime() {
    return std::make_unique<RealTime>();
}

} // namespace orvex::cli
