#include "platform/loop_scheduler.h"

#include <algorithm>
#include <climits>
#include <thread>

namespace orvex {

int LoopScheduler::nextOrder() {
    const int order = nextOrder_;
    nextOrder_ = nextOrder_ == INT_MAX ? 1 : nextOrder_ + 1;
    return order;
}

int LoopScheduler::arm(unsigned delayMs, Action action, const Moment* from) {
    const Moment now = std::chrono::steady_clock::now();
    const std::chrono::milliseconds delay(delayMs);
    Moment when = (from ? *from : now) + delay;
    if (when < now && delay.count() > 0)
        when += (now - when + delay - std::chrono::nanoseconds(1)) / delay * delay;
    const int order = nextOrder();
    if (action.id == 0) action.id = order;
    const int id = action.id;
    due_.emplace(std::make_pair(when, order), std::move(action));
    return id;
}

int LoopScheduler::schedule(unsigned delayMs, std::function<void()> action) {
    return arm(delayMs, {0, false, 0, std::move(action)});
}

int LoopScheduler::scheduleEvery(unsigned periodMs, std::function<void()> action) {
    return arm(periodMs, {0, true, periodMs, std::move(action)});
}

void LoopScheduler::cancel(int id) {
    const auto it = std::find_if(due_.begin(), due_.end(), [id](const auto& d) { return d.second.id == id; });
    if (it != due_.end()) due_.erase(it);
}

void LoopScheduler::runDue() {
    while (!due_.empty() && due_.begin()->first.first <= std::chrono::steady_clock::now()) {
        auto node = due_.extract(due_.begin());
        const Moment moment = node.key().first;
        Action& action = node.mapped();
        if (action.repeats) arm(action.period, action, &moment);
        action.run();
    }
}

void LoopScheduler::waitForNext(std::chrono::milliseconds atMost) const {
    Moment until = std::chrono::steady_clock::now() + atMost;
    if (!due_.empty()) until = std::min(until, due_.begin()->first.first);
    std::this_thread::sleep_until(until);
}

} // namespace orvex
