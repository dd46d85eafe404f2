#pragma once
// Camera events: drivers report them from any thread, the layer queues them in order, and EdsGetEvent
// hands them to the program's handlers on the thread that asks, outside every lock of the layer.
#include "sdk/camera_driver.h"

#include <cstdint>
#include <memory>

namespace orvex::sdk::detail {

struct CameraRecord;

// The sink handed to a driver when a session opens; it marks its events with that session.
std::shared_ptr<CameraEventSink> makeSessionEvents(std::weak_ptr<CameraRecord> camera, std::uint64_t session);

void dispatchQueuedEvents();
void dropQueuedEvents();
void setEventNotifier(EdsEventNotifier notifier, EdsVoid* context);

} // namespace orvex::sdk::detail
