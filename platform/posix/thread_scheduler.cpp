#include "platform/thread_scheduler.h"

#include <climits>

namespace orvex {

ThreadScheduler::ThreadScheduler() : thread_([this] { run(); }) {}

ThreadScheduler::~ThreadScheduler() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

int ThreadScheduler::schedule(unsigned delayMs, std::function<void()> action) {
    const Moment when = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
    int id = 0;
    {
        std::lock_guard guard(lock_);
        id = nextId_;
        // Ids stay positive for as long as the program runs; one that wrapped is long forgotten.
        nextId_ = nextId_ == INT_MAX ? 1 : nextId_ + 1;
        due_.emplace(std::make_pair(when, id), std::move(action));
    }
    wake_.notify_all();
    return id;
}

void ThreadScheduler::cancel(int id) {
    std::unique_lock guard(lock_);
    for (auto it = due_.begin(); it != due_.end(); ++it)
        if (it->first.second == id) {
            due_.erase(it);
            return;
        }
    if (std::this_thread::get_id() == thread_.get_id()) return;
    finished_.wait(guard, [&] { return runningId_ != id; });
}

void ThreadScheduler::run() {
    std::unique_lock guard(lock_);
    while (!stopping_) {
        if (due_.empty()) {
            wake_.wait(guard);
            continue;
        }
        const Moment when = due_.begin()->first.first;
        if (std::chrono::steady_clock::now() < when) {
            wake_.wait_until(guard, when);
            continue;
        }
        auto node = due_.extract(due_.begin());
        runningId_ = node.key().second;
        // Unlocked while it runs: the action may schedule or cancel, and callers must not wait behind it.
        guard.unlock();
        try {
            node.mapped()();
        } catch (...) {
            // One failing action must not end the thread that every later action needs.
        }
        // Destroyed before cancel() is told the action is over: what it captured may be what cancel guards.
        node.mapped() = nullptr;
        guard.lock();
        runningId_ = 0;
        finished_.notify_all();
    }
}

} // namespace orvex
