#include "sdk/gphoto2/owner_thread.h"

#include "sdk/gphoto2/c_locale.h"

#include <chrono>
#include <utility>

namespace orvex::gphoto {

OwnerThread::OwnerThread(std::function<unsigned()> idle)
    : idle_(std::move(idle)), thread_([this] { loop(); }) {}

OwnerThread::~OwnerThread() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void OwnerThread::post(std::function<void()> work) {
    {
        std::lock_guard guard(lock_);
        work_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void OwnerThread::loop() {
    const CLocaleScope cLocale;
    auto nextIdle = std::chrono::steady_clock::now();
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock guard(lock_);
            wake_.wait_until(guard, nextIdle, [this] { return !work_.empty() || stopping_; });
            if (!work_.empty()) {
                work = std::move(work_.front());
                work_.pop_front();
            } else if (stopping_) {
                return;
            }
        }
        if (work) {
            work();
            continue;
        }
        const unsigned waitMs = idle_();
        nextIdle = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    }
}

} // namespace orvex::gphoto
