#include "platform/loop_scheduler.h"

#include <algorithm>
#include <climits>
#include <thread>

namespace orvex {

int LoopScheduler::schedule(unsigned delayMs, std::function<void()> action) {
    const Moment now = std::chrono::steady_clock::now();
    const std::chrono::milliseconds delay(delayMs);
    Moment when = (running_ ? *running_ : now) + delay;
    if (when < now && delay.count() > 0)
        when += (now - when + delay - std::chrono::nanoseconds(1)) / delay * delay;
    const int id = nextId_;
    nextId_ = nextId_ == INT_MAX ? 1 : nextId_ + 1;
    due_.emplace(std::make_pair(when, id), std::move(action));
    return id;
}

void LoopScheduler::cancel(int id) {
    const auto it =
        std::find_if(due_.begin(), due_.end(), [id](const auto& d) { return d.first.second == id; });
    if (it != due_.end()) due_.erase(it);
}

void LoopScheduler::runDue() {
    while (!due_.empty() && due_.begin()->first.first <= std::chrono::steady_clock::now()) {
        auto node = due_.extract(due_.begin());
        const Moment moment = node.key().first;
        running_ = &moment;
        node.mapped()();
        running_ = nullptr;
    }
}

void LoopScheduler::waitForNext(std::chrono::milliseconds atMost) const {
    Moment until = std::chrono::steady_clock::now() + atMost;
    if (!due_.empty()) until = std::min(until, due_.begin()->first.first);
    std::this_thread::sleep_until(until);
}

} // namespace orvex
