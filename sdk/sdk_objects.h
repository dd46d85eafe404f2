#pragma once
// The objects behind the handles of sdk.h.
#include "sdk/camera_driver.h"
#include "sdk/handler_set.h"
#include "sdk/sdk_handles.h"
#include "sdk/sdk_streams.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace orvex::sdk::detail {

// One camera body as the layer knows it, shared by every handle and file that refers to it. Its lock
// serialises the driver calls: downloads run on the transfer worker while the UI thread uses the camera.
struct CameraRecord {
    explicit CameraRecord(std::shared_ptr<DriverCamera> d) : device(std::move(d)) {}

    const std::shared_ptr<DriverCamera> device;
    std::mutex calls;
    // The number of the open session, 0 when none. Changed under `calls`; read without it by the event
    // dispatch, which must not wait behind a download.
    std::atomic<std::uint64_t> session{0};
    HandlerSet<EdsObjectEventHandler> objectHandlers;
    HandlerSet<EdsPropertyEventHandler> propertyHandlers;
    HandlerSet<EdsStateEventHandler> stateHandlers;
};

// Runs fn(driver camera) under the camera's lock while a session is open, and, when `session` is not 0,
// only while it is that same session: a file announced in one session is not reached through the next.
template <class Fn> EdsError callInSession(CameraRecord& camera, std::uint64_t session, Fn&& fn) {
    std::lock_guard guard(camera.calls);
    const std::uint64_t open = camera.session.load();
    if (open == 0 || (session != 0 && open != session)) return EDS_ERR_SESSION_NOT_OPEN;
    return fn(*camera.device);
}

struct CameraListObject final : Object {
    std::vector<std::shared_ptr<CameraRecord>> cameras;
};

struct CameraObject final : Object {
    explicit CameraObject(std::shared_ptr<CameraRecord> c) : camera(std::move(c)) {}
    std::shared_ptr<CameraRecord> camera;
};

struct ItemObject final : Object {
    ItemObject(std::shared_ptr<CameraRecord> c, std::uint64_t s, std::shared_ptr<DriverItem> i)
        : camera(std::move(c)), session(s), item(std::move(i)) {}
    std::shared_ptr<CameraRecord> camera;
    std::uint64_t session;
    std::shared_ptr<DriverItem> item;
};

struct ImageObject final : Object {
    std::optional<EdsTime> shootingTime;
};

class EvfImageObject final : public Object {
  public:
    explicit EvfImageObject(std::shared_ptr<Stream> s) : stream(std::move(s)) {}
    const std::shared_ptr<Stream> stream;

    void load(const EvfFrameInfo& info) {
        std::lock_guard guard(lock_);
        info_ = info;
    }
    void unload() {
        std::lock_guard guard(lock_);
        info_.reset();
    }
    std::optional<EvfFrameInfo> info() const {
        std::lock_guard guard(lock_);
        return info_;
    }

  private:
    mutable std::mutex lock_;
    std::optional<EvfFrameInfo> info_;
};

} // namespace orvex::sdk::detail
