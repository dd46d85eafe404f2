#include "sdk/sdk_events.h"

#include "sdk/sdk_objects.h"

#include <deque>
#include <utility>

namespace orvex::sdk::detail {
namespace {

enum class EventKind { Object, Property, State };

struct PendingEvent {
    std::weak_ptr<CameraRecord> camera;
    std::uint64_t session = 0;
    EventKind kind = EventKind::State;
    EdsUInt32 event = 0;
    EdsUInt32 first = 0;  // property id, or the state event's data
    EdsUInt32 second = 0; // property parameter
    std::shared_ptr<DriverItem> item;
};

struct EventQueue {
    std::mutex lock;
    std::deque<PendingEvent> events;
};

struct Notifier {
    std::mutex lock;
    EdsEventNotifier notify = nullptr;
    EdsVoid* context = nullptr;
};

EventQueue& queue() {
    static EventQueue instance;
    return instance;
}

Notifier& notifier() {
    static Notifier instance;
    return instance;
}

void enqueue(PendingEvent event) {
    {
        EventQueue& q = queue();
        std::lock_guard guard(q.lock);
        q.events.push_back(std::move(event));
    }
    // Held while notifying, so that once the notifier is removed it is certainly not running any more.
    Notifier& n = notifier();
    std::lock_guard guard(n.lock);
    if (n.notify != nullptr) n.notify(n.context);
}

class SessionEvents final : public CameraEventSink {
  public:
    SessionEvents(std::weak_ptr<CameraRecord> camera, std::uint64_t session)
        : camera_(std::move(camera)), session_(session) {}

    void propertyEvent(EdsPropertyEvent event, EdsPropertyID property, EdsUInt32 param) override {
        enqueue(PendingEvent{camera_, session_, EventKind::Property, event, property, param, nullptr});
    }
    void objectEvent(EdsObjectEvent event, std::shared_ptr<DriverItem> item) override {
        enqueue(PendingEvent{camera_, session_, EventKind::Object, event, 0, 0, std::move(item)});
    }
    void stateEvent(EdsStateEvent event, EdsUInt32 eventData) override {
        enqueue(PendingEvent{camera_, session_, EventKind::State, event, eventData, 0, nullptr});
    }

  private:
    std::weak_ptr<CameraRecord> camera_;
    std::uint64_t session_;
};

void deliverObjectEvent(const std::shared_ptr<CameraRecord>& camera, const PendingEvent& e) {
    EdsObjectEventHandler handler = nullptr;
    EdsVoid* context = nullptr;
    if (!camera->objectHandlers.find(e.event, kEdsObjectEvent_All, handler, context)) {
        // Nobody will take the file: tell the camera, which would otherwise hold it for a transfer forever.
        if (e.event == kEdsObjectEvent_DirItemRequestTransfer && e.item)
            callInSession(*camera, e.session, [&](DriverCamera&) { return e.item->downloadCancel(); });
        return;
    }
    EdsBaseRef ref = nullptr;
    if (e.item && addHandle(std::make_shared<ItemObject>(camera, e.session, e.item), ref) != EDS_ERR_OK)
        return;
    handler(e.event, ref, context);
}

void deliver(const PendingEvent& e) {
    const std::shared_ptr<CameraRecord> camera = e.camera.lock();
    // Events of a session the program has closed meanwhile would reach a window that has moved on.
    if (!camera || camera->session.load() != e.session) return;
    EdsVoid* context = nullptr;
    switch (e.kind) {
    case EventKind::Object:
        deliverObjectEvent(camera, e);
        break;
    case EventKind::Property: {
        EdsPropertyEventHandler handler = nullptr;
        if (camera->propertyHandlers.find(e.event, kEdsPropertyEvent_All, handler, context))
            handler(e.event, e.first, e.second, context);
        break;
    }
    case EventKind::State: {
        EdsStateEventHandler handler = nullptr;
        if (camera->stateHandlers.find(e.event, kEdsStateEvent_All, handler, context))
            handler(e.event, e.first, context);
        break;
    }
    }
}

} // namespace

std::shared_ptr<CameraEventSink> makeSessionEvents(std::weak_ptr<CameraRecord> camera,
                                                   std::uint64_t session) {
    return std::make_shared<SessionEvents>(std::move(camera), session);
}

void dispatchQueuedEvents() {
    std::deque<PendingEvent> batch;
    {
        EventQueue& q = queue();
        std::lock_guard guard(q.lock);
        batch.swap(q.events);
    }
    // Events raised while these are handled wait for the next call, so a handler that makes the camera
    // report something cannot keep this loop going for ever.
    for (const PendingEvent& e : batch) {
        try {
            deliver(e);
        } catch (...) {
            // One failing handler must not cost the program the events queued behind it.
        }
    }
}

void dropQueuedEvents() {
    std::deque<PendingEvent> dropped;
    EventQueue& q = queue();
    std::lock_guard guard(q.lock);
    dropped.swap(q.events);
}

void setEventNotifier(EdsEventNotifier notify, EdsVoid* context) {
    Notifier& n = notifier();
    std::lock_guard guard(n.lock);
    n.notify = notify;
    n.context = context;
}

} // namespace orvex::sdk::detail
