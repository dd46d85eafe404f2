#include "platform/headless/virtual_clock.h"

#include <algorithm>

namespace orvex {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

} // namespace

CivilTime civilFromMs(std::int64_t ms) {
    std::int64_t days = ms / 86400000, rest = ms % 86400000;
    if (rest < 0) rest += 86400000, --days;
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    CivilTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

std::int64_t msFromCivil(const CivilTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400000 + t.hour * 3600000LL + t.minute * 60000LL +
           t.second * 1000LL + t.millisecond;
}

VirtualClock::VirtualClock(CivilTime localStart, int utcOffsetMinutes, std::uint32_t startTick)
    : tick_(startTick), localStartMs_(msFromCivil(localStart)), utcOffsetMinutes_(utcOffsetMinutes) {}

CivilTime VirtualClock::localTime() const {
    return civilFromMs(localStartMs_ + static_cast<std::int64_t>(elapsed_));
}

CivilTime VirtualClock::universalTime() const {
    return civilFromMs(localStartMs_ + static_cast<std::int64_t>(elapsed_) - utcOffsetMinutes_ * 60000LL);
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
    while (!due_.empty() && due_.front()->moment <= std::max(target, elapsed_)) {
        std::pop_heap(due_.begin(), due_.end(), later<std::unique_ptr<Due>>);
        std::unique_ptr<Due> owned = std::move(due_.back());
        due_.pop_back();
        Due* const next = owned.get();
        // An action that slept has moved time on already; never step backwards.
        const std::uint64_t moment = std::max(next->moment, elapsed_);
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
