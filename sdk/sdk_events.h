#pragma once
// Camera events: drivers report them from any thread, the layer queues them in order, and EdsGetEvent
// hands them to the program's handlers on the thread that asks, outside every lock of the layer.
#include "sdk/camera_driver.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace orvex::sdk::detail {

struct CameraRecord;

// The handlers of one kind of event on one camera, by event or by the kind's "All" value.
template <class Handler> class HandlerSet {
  public:
    void set(EdsUInt32 event, Handler handler, EdsVoid* context) {
        std::lock_guard guard(lock_);
        if (handler == nullptr)
            entries_.erase(event);
        else
            entries_[event] = Entry{handler, context};
    }

    bool find(EdsUInt32 event, EdsUInt32 all, Handler& handler, EdsVoid*& context) const {
        std::lock_guard guard(lock_);
        auto it = entries_.find(event);
        if (it == entries_.end()) it = entries_.find(all);
        if (it == entries_.end()) return false;
        handler = it->second.handler;
        context = it->second.context;
        return true;
    }

  private:
    struct Entry {
        Handler handler;
        EdsVoid* context;
    };
    mutable std::mutex lock_;
    std::map<EdsUInt32, Entry> entries_;
};

// The sink handed to a driver when a session opens; it marks its events with that session.
std::shared_ptr<CameraEventSink> makeSessionEvents(std::weak_ptr<CameraRecord> camera, std::uint64_t session);

void dispatchQueuedEvents();
void dropQueuedEvents();
void setEventNotifier(EdsEventNotifier notifier, EdsVoid* context);

} // namespace orvex::sdk::detail
