#pragma once
// The handlers the program set for one kind of camera event, kept with the camera they were set on.
#include "sdk/sdk.h"

#include <map>
#include <mutex>

namespace orvex::sdk::detail {

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

} // namespace orvex::sdk::detail
