// Start and end of the SDK, the camera list, sessions, properties, commands and event handlers.
#include "sdk/sdk.h"

#include "sdk/camera_driver.h"
#include "sdk/sdk_call_guard.h"
#include "sdk/sdk_events.h"
#include "sdk/sdk_objects.h"
#include "sdk/sdk_property_value.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

using namespace orvex::sdk;
using namespace orvex::sdk::detail;

namespace {

struct Drivers {
    std::mutex lock;
    std::vector<std::shared_ptr<CameraDriver>> list;
};

Drivers& drivers() {
    static Drivers instance;
    return instance;
}

// One record per body for as long as the SDK is initialised, so that every handle of one body shares its
// lock and session, however many times the program lists the cameras.
struct Cameras {
    std::mutex lock;
    std::map<const DriverCamera*, std::shared_ptr<CameraRecord>> records;
};

Cameras& cameras() {
    static Cameras instance;
    return instance;
}

std::mutex& lifecycleLock() {
    static std::mutex instance;
    return instance;
}

std::atomic<std::uint64_t> lastSession{0};

std::shared_ptr<CameraRecord> recordFor(const std::shared_ptr<DriverCamera>& device) {
    Cameras& c = cameras();
    std::lock_guard guard(c.lock);
    std::shared_ptr<CameraRecord>& record = c.records[device.get()];
    if (!record) record = std::make_shared<CameraRecord>(device);
    return record;
}

EdsError cameraOf(EdsBaseRef ref, std::shared_ptr<CameraRecord>& out) {
    const auto object = findHandle<CameraObject>(ref);
    if (!object) return EDS_ERR_INVALID_HANDLE;
    out = object->camera;
    return EDS_ERR_OK;
}

// A session call on the camera behind `ref`.
template <class Fn> EdsError onCamera(EdsBaseRef ref, Fn&& fn) {
    std::shared_ptr<CameraRecord> camera;
    if (const EdsError error = cameraOf(ref, camera)) return error;
    return callInSession(*camera, 0, fn);
}

EdsError evfProperty(const EvfImageObject& image, EdsPropertyID property, PropertyValue& out) {
    const std::optional<EvfFrameInfo> info = image.info();
    if (!info) return EDS_ERR_PROPERTIES_NOT_LOADED;
    switch (property) {
    case kEdsPropID_Evf_Zoom:
        out = info->zoom;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_ZoomPosition:
        out = info->zoomPosition;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_CoordinateSystem:
        out = info->coordinateSystem;
        return EDS_ERR_OK;
    default:
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    }
}

EdsError readProperty(EdsBaseRef ref, EdsPropertyID property, EdsInt32 param, PropertyValue& out) {
    const std::shared_ptr<Object> object = findObject(ref);
    if (const auto camera = std::dynamic_pointer_cast<CameraObject>(object))
        return callInSession(*camera->camera, 0,
                             [&](DriverCamera& device) { return device.getProperty(property, param, out); });
    if (const auto image = std::dynamic_pointer_cast<ImageObject>(object)) {
        if (property != kEdsPropID_DateTime || !image->shootingTime) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = *image->shootingTime;
        return EDS_ERR_OK;
    }
    if (const auto evf = std::dynamic_pointer_cast<EvfImageObject>(object))
        return evfProperty(*evf, property, out);
    return EDS_ERR_INVALID_HANDLE;
}

template <class Handler>
EdsError setHandler(EdsBaseRef ref, HandlerSet<Handler> CameraRecord::*set, EdsUInt32 event, Handler handler,
                    EdsVoid* context) {
    std::shared_ptr<CameraRecord> camera;
    if (const EdsError error = cameraOf(ref, camera)) return error;
    ((*camera).*set).set(event, handler, context);
    return EDS_ERR_OK;
}

} // namespace

namespace orvex::sdk {

void registerCameraDriver(std::shared_ptr<CameraDriver> driver) {
    if (!driver) return;
    Drivers& d = drivers();
    std::lock_guard guard(d.lock);
    if (std::find(d.list.begin(), d.list.end(), driver) == d.list.end()) d.list.push_back(std::move(driver));
}

void unregisterCameraDriver(const std::shared_ptr<CameraDriver>& driver) {
    Drivers& d = drivers();
    std::lock_guard guard(d.lock);
    d.list.erase(std::remove(d.list.begin(), d.list.end(), driver), d.list.end());
}

void unregisterAllCameraDrivers() {
    Drivers& d = drivers();
    std::lock_guard guard(d.lock);
    d.list.clear();
}

} // namespace orvex::sdk

EdsError EdsInitializeSDK() {
    return guarded([] {
        std::lock_guard guard(lifecycleLock());
        if (handleTableOpen()) return EDS_ERR_OK;
        dropQueuedEvents();
        openHandleTable();
        return EDS_ERR_OK;
    });
}

EdsError EdsTerminateSDK() {
    return guarded([] {
        std::lock_guard guard(lifecycleLock());
        if (!handleTableOpen()) return EDS_ERR_OK;
        // Dropped only when this call returns, after every lock below has been let go.
        const std::vector<std::shared_ptr<Object>> owners = closeHandleTable();
        std::map<const DriverCamera*, std::shared_ptr<CameraRecord>> records;
        {
            Cameras& c = cameras();
            std::lock_guard camerasGuard(c.lock);
            records.swap(c.records);
        }
        // A body left in session would stay locked to this process; a download still running finishes first.
        for (auto& entry : records) {
            const std::shared_ptr<CameraRecord>& record = entry.second;
            std::lock_guard callsGuard(record->calls);
            if (record->session.exchange(0) != 0) guarded([&] { return record->device->closeSession(); });
        }
        dropQueuedEvents();
        setEventNotifier(nullptr, nullptr);
        return EDS_ERR_OK;
    });
}

EdsError EdsRetain(EdsBaseRef ref) {
    return guarded([&] { return retainHandle(ref); });
}

EdsError EdsRelease(EdsBaseRef ref) {
    return guarded([&] { return releaseHandle(ref); });
}

EdsError EdsGetCameraList(EdsCameraListRef* outList) {
    return guarded([&] {
        if (outList == nullptr) return EDS_ERR_INVALID_POINTER;
        *outList = nullptr;
        if (!handleTableOpen()) return EDS_ERR_INTERNAL_ERROR;
        std::vector<std::shared_ptr<CameraDriver>> registered;
        {
            Drivers& d = drivers();
            std::lock_guard guard(d.lock);
            registered = d.list;
        }
        auto list = std::make_shared<CameraListObject>();
        for (const auto& driver : registered) {
            std::vector<std::shared_ptr<DriverCamera>> found;
            if (guarded([&] { return driver->enumerate(found); }) != EDS_ERR_OK) continue;
            for (const auto& device : found)
                if (device) list->cameras.push_back(recordFor(device));
        }
        return addHandle(std::move(list), *outList);
    });
}

EdsError EdsGetChildCount(EdsBaseRef ref, EdsUInt32* outCount) {
    return guarded([&] {
        const auto list = findHandle<CameraListObject>(ref);
        if (!list) return EDS_ERR_INVALID_HANDLE;
        if (outCount == nullptr) return EDS_ERR_INVALID_POINTER;
        *outCount = static_cast<EdsUInt32>(list->cameras.size());
        return EDS_ERR_OK;
    });
}

EdsError EdsGetChildAtIndex(EdsBaseRef ref, EdsInt32 index, EdsBaseRef* outChild) {
    return guarded([&] {
        const auto list = findHandle<CameraListObject>(ref);
        if (!list) return EDS_ERR_INVALID_HANDLE;
        if (outChild == nullptr) return EDS_ERR_INVALID_POINTER;
        *outChild = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= list->cameras.size())
            return EDS_ERR_INVALID_INDEX;
        return addHandle(std::make_shared<CameraObject>(list->cameras[static_cast<std::size_t>(index)]),
                         *outChild);
    });
}

EdsError EdsGetDeviceInfo(EdsCameraRef ref, EdsDeviceInfo* outInfo) {
    return guarded([&] {
        std::shared_ptr<CameraRecord> camera;
        if (const EdsError error = cameraOf(ref, camera)) return error;
        if (outInfo == nullptr) return EDS_ERR_INVALID_POINTER;
        std::memset(outInfo, 0, sizeof *outInfo);
        std::lock_guard guard(camera->calls);
        const EdsError error = camera->device->deviceInfo(*outInfo);
        // The program prints these as C strings.
        outInfo->szPortName[EDS_MAX_NAME - 1] = '\0';
        outInfo->szDeviceDescription[EDS_MAX_NAME - 1] = '\0';
        return error;
    });
}

EdsError EdsOpenSession(EdsCameraRef ref) {
    return guarded([&] {
        std::shared_ptr<CameraRecord> camera;
        if (const EdsError error = cameraOf(ref, camera)) return error;
        std::lock_guard guard(camera->calls);
        if (camera->session.load() != 0) return EDS_ERR_OK;
        const std::uint64_t session = ++lastSession;
        const EdsError error = camera->device->openSession(makeSessionEvents(camera, session));
        if (error == EDS_ERR_OK) camera->session.store(session);
        return error;
    });
}

EdsError EdsCloseSession(EdsCameraRef ref) {
    return guarded([&] {
        std::shared_ptr<CameraRecord> camera;
        if (const EdsError error = cameraOf(ref, camera)) return error;
        std::lock_guard guard(camera->calls);
        if (camera->session.exchange(0) == 0) return EDS_ERR_SESSION_NOT_OPEN;
        return camera->device->closeSession();
    });
}

EdsError EdsGetPropertyData(EdsBaseRef ref, EdsPropertyID property, EdsInt32 param, EdsUInt32 size,
                            EdsVoid* outData) {
    return guarded([&] {
        if (!findObject(ref)) return EDS_ERR_INVALID_HANDLE;
        if (outData == nullptr) return EDS_ERR_INVALID_POINTER;
        PropertyValue value;
        if (const EdsError error = readProperty(ref, property, param, value)) return error;
        return copyValueOut(value, size, outData);
    });
}

EdsError EdsSetPropertyData(EdsBaseRef ref, EdsPropertyID property, EdsInt32 param, EdsUInt32 size,
                            const EdsVoid* data) {
    return guarded([&] {
        const std::shared_ptr<Object> object = findObject(ref);
        const auto camera = std::dynamic_pointer_cast<CameraObject>(object);
        if (!camera) {
            const bool readOnly = std::dynamic_pointer_cast<ImageObject>(object) ||
                                  std::dynamic_pointer_cast<EvfImageObject>(object);
            return readOnly ? EDS_ERR_NOT_SUPPORTED : EDS_ERR_INVALID_HANDLE;
        }
        if (data == nullptr) return EDS_ERR_INVALID_POINTER;
        PropertyValue value;
        if (const EdsError error = decodeValue(property, size, data, value)) return error;
        return callInSession(*camera->camera, 0, [&](DriverCamera& device) {
            return device.setProperty(property, param, value);
        });
    });
}

EdsError EdsGetPropertyDesc(EdsBaseRef ref, EdsPropertyID property, EdsPropertyDesc* outDesc) {
    return guarded([&] {
        std::shared_ptr<CameraRecord> camera;
        if (const EdsError error = cameraOf(ref, camera)) return error;
        if (outDesc == nullptr) return EDS_ERR_INVALID_POINTER;
        std::memset(outDesc, 0, sizeof *outDesc);
        const EdsError error = callInSession(
            *camera, 0, [&](DriverCamera& device) { return device.propertyDesc(property, *outDesc); });
        // The program walks propDesc up to numElements; a driver's miscount must not take it past the array.
        constexpr EdsInt32 capacity = static_cast<EdsInt32>(std::size(EdsPropertyDesc{}.propDesc));
        outDesc->numElements = std::clamp(outDesc->numElements, EdsInt32{0}, capacity);
        return error;
    });
}

EdsError EdsSendCommand(EdsCameraRef ref, EdsCameraCommand command, EdsInt32 param) {
    return guarded([&] {
        return onCamera(ref, [&](DriverCamera& device) { return device.sendCommand(command, param); });
    });
}

EdsError EdsSendStatusCommand(EdsCameraRef ref, EdsCameraStatusCommand command, EdsInt32 param) {
    return guarded([&] {
        return onCamera(ref, [&](DriverCamera& device) { return device.sendStatusCommand(command, param); });
    });
}

EdsError EdsBeginShot(EdsCameraRef ref) {
    return guarded([&] {
        return onCamera(ref, [](DriverCamera& device) {
            device.beginShot();
            return EDS_ERR_OK;
        });
    });
}

EdsError EdsSetCapacity(EdsCameraRef ref, EdsCapacity capacity) {
    return guarded(
        [&] { return onCamera(ref, [&](DriverCamera& device) { return device.setCapacity(capacity); }); });
}

EdsError EdsGetLastErrorText(EdsCameraRef ref, EdsUInt32 size, EdsChar* outText) {
    return guarded([&] {
        if (outText == nullptr || size == 0) return EDS_ERR_INVALID_POINTER;
        outText[0] = '\0';
        return onCamera(ref, [&](DriverCamera& device) {
            std::snprintf(outText, size, "%s", device.explanation().c_str());
            return EDS_ERR_OK;
        });
    });
}

EdsError EdsSetObjectEventHandler(EdsCameraRef ref, EdsObjectEvent event, EdsObjectEventHandler handler,
                                  EdsVoid* context) {
    return guarded([&] { return setHandler(ref, &CameraRecord::objectHandlers, event, handler, context); });
}

EdsError EdsSetPropertyEventHandler(EdsCameraRef ref, EdsPropertyEvent event, EdsPropertyEventHandler handler,
                                    EdsVoid* context) {
    return guarded([&] { return setHandler(ref, &CameraRecord::propertyHandlers, event, handler, context); });
}

EdsError EdsSetCameraStateEventHandler(EdsCameraRef ref, EdsStateEvent event, EdsStateEventHandler handler,
                                       EdsVoid* context) {
    return guarded([&] { return setHandler(ref, &CameraRecord::stateHandlers, event, handler, context); });
}

EdsError EdsGetEvent() {
    return guarded([] {
        dispatchQueuedEvents();
        return EDS_ERR_OK;
    });
}

EdsError EdsSetEventNotifier(EdsEventNotifier notifier, EdsVoid* context) {
    return guarded([&] {
        setEventNotifier(notifier, context);
        return EDS_ERR_OK;
    });
}
