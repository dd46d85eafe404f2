#include "platform/qt/stepped_timer.h"

namespace orvex {

SteppedTimer::SteppedTimer(std::function<void()> tick) : tick_(std::move(tick)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    // Armed again before the tick is delivered, so that a start from inside the tick counts from now.
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        armNext();
        tick_();
    });
}

void SteppedTimer::start(unsigned periodMs) {
    using namespace std::chrono;
    timeOfDay_ = !timer_.isActive() && milliseconds(1000) % milliseconds(periodMs) == nanoseconds(0);
    period_ = milliseconds(periodMs);
    origin_ = steady_clock::now();
    armNext();
}

void SteppedTimer::armNext() {
    using namespace std::chrono;
    const nanoseconds sinceOrigin = timeOfDay_ ? nanoseconds(system_clock::now().time_since_epoch())
                                               : nanoseconds(steady_clock::now() - origin_);
    const nanoseconds untilStep = period_ - sinceOrigin % period_;
    // Whole milliseconds, rounded up: the timer never fires before the step.
    timer_.start(static_cast<int>(ceil<milliseconds>(untilStep).count()));
}

} // namespace orvex
