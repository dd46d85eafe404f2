#include "platform/headless/virtual_clock.h"

#include <algorithm>

namespace orvex {
VirtualClock::VirtualClock(CivilTime localStart, int utcOffsetMinutes, std::uint32_t startTick)
    : startTick_(startTick), tick_(startTick), localStartMs_(msFromCivil(localStart)),
      utcOffsetMinutes_(utcOffsetMinutes) {}

std::int64_t VirtualClock::universalMs() const {
    return localStartMs_ + static_cast<std::int64_t>(elapsed_) - utcOffsetMinutes_ * 60000LL;
}

CivilTime VirtualClock::localTime() const {
    const std::int64_t universal = universalMs();
    return civilFromMs(universal + utcOffsetMinutesAt(universal) * 60000LL);
}

CivilTime VirtualClock::universalTime() const {
    return civilFromMs(universalMs());
}

int VirtualClock::utcOffsetMinutesAt(std::int64_t universalMs) const {
    return offsetChange_ && universalMs >= offsetChange_->first ? offsetChange_->second : utcOffsetMinutes_;
}

void VirtualClock::sleep(unsigned ms) {
    elapsed_ += ms;
    tick_ += ms;
}

namespace {

template <typename DuePtr> bool later(const DuePtr& a, const DuePtr& b) {
    return a->moment != b->moment ? a->moment > b->moment : a->order > b->order;
}

} // namespace

int VirtualClock::push(std::unique_ptr<Due> due) {
    const int id = due->id;
    due_.push_back(std::move(due));
    std::push_heap(due_.begin(), due_.end(), later<std::unique_ptr<Due>>);
    return id;
}

void VirtualClock::advance(std::uint64_t ms) {
    const std::uint64_t target = elapsed_ + ms;
    while (!due_.empty() && due_.front()->moment <= std::max(target, elapsed_.load())) {
        std::pop_heap(due_.begin(), due_.end(), later<std::unique_ptr<Due>>);
        std::unique_ptr<Due> owned = std::move(due_.back());
        due_.pop_back();
        Due* const next = owned.get();
        // An action that slept has moved time on already; never step backwards.
        const std::uint64_t moment = std::max(next->moment, elapsed_.load());
        tick_ += static_cast<std::uint32_t>(moment - elapsed_);
        elapsed_ = moment;
        if (next->repeats) {
            next->moment = moment + next->period;
            next->order = nextOrder_++;
            push(std::move(owned));
        }
        ++next->running;
        next->action();
        if (--next->running == 0 && next->cancelled)
            std::erase_if(cancelledWhileRunning_, [next](const auto& d) { return d.get() == next; });
    }
    if (elapsed_ < target) {
        tick_ += static_cast<std::uint32_t>(target - elapsed_);
        elapsed_ = target;
    }
}

int VirtualClock::schedule(unsigned delayMs, std::function<void()> action) {
    const int id = nextId_++;
    return push(
        std::make_unique<Due>(Due{elapsed_ + delayMs, nextOrder_++, id, false, 0, std::move(action)}));
}

int VirtualClock::scheduleEvery(unsigned periodMs, std::function<void()> action) {
    const int id = nextId_++;
    return push(
        std::make_unique<Due>(Due{elapsed_ + periodMs, nextOrder_++, id, true, periodMs, std::move(action)}));
}

void VirtualClock::cancel(int id) {
    const auto it = std::find_if(due_.begin(), due_.end(), [id](const auto& d) { return d->id == id; });
    if (it == due_.end()) return;
    // A timer that stops itself is still inside its action.
    if ((*it)->running > 0) {
        (*it)->cancelled = true;
        cancelledWhileRunning_.push_back(std::move(*it));
    }
    due_.erase(it);
    std::make_heap(due_.begin(), due_.end(), later<std::unique_ptr<Due>>);
}

} // namespace orvex
