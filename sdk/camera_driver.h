#pragma once
// What a camera driver (the virtual body, libgphoto2, …) implements for the SDK layer of sdk.h.
//
// The layer does the handle bookkeeping, argument checks, size checks of property buffers, streams and event
// delivery; a driver only talks to its cameras. The layer never calls one camera from two threads at once
// and only calls session operations between a successful openSession and closeSession, so a driver needs
// no lock of its own for the calls it receives. Errors are EDS_ERR_* codes.
#include "sdk/sdk.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace orvex::sdk {

// A property value as the driver sees it. The layer copies it into, or decodes it from, the caller's buffer:
// strings are NUL-terminated there; a property id the layer does not know travels as raw bytes.
using PropertyValue =
    std::variant<EdsUInt32, std::string, EdsTime, EdsPoint, EdsSize, std::vector<std::uint8_t>>;

// Where a driver writes downloaded bytes: a file or memory stream of the layer.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual EdsError write(const void* data, std::size_t size) = 0;
};

// A file on the camera, announced with an object event.
class DriverItem {
  public:
    virtual ~DriverItem() = default;
    virtual EdsError info(EdsDirectoryItemInfo& out) = 0;
    // Writes the first `size` bytes of the file (all of it when it is shorter).
    virtual EdsError download(EdsUInt64 size, ByteSink& out) = 0;
    // Called before `download`, without the camera's lock and so alongside the camera's other calls: a body
    // that brings a file over while it goes on taking the program's calls has the download wait here.
    virtual EdsError awaitContent() { return EDS_ERR_OK; }
    virtual EdsError downloadCancel() = 0;
    virtual EdsError downloadComplete() = 0;
    // The folder that holds the file on the camera's card; null for a file that is on no card.
    virtual std::shared_ptr<DriverItem> parent() { return nullptr; }
    // When the picture was taken. EDS_ERR_NOT_SUPPORTED lets the layer read it from the file's EXIF data
    // (JPEG, or TIFF-based RAW); any other error is reported to the program as is.
    virtual EdsError shootingTime(EdsTime& out) {
        (void)out;
        return EDS_ERR_NOT_SUPPORTED;
    }
};

// The camera's side of a live view frame, read back through the live view image reference.
struct EvfFrameInfo {
    EdsUInt32 zoom = kEdsEvfZoom_Fit;
    EdsPoint zoomPosition{0, 0};
    EdsSize coordinateSystem{0, 0};
};

// Where a camera reports what happens on it. Callable from any thread, also from inside a call the layer
// made to the driver; the layer only queues the event, EdsGetEvent delivers it. Events reported after the
// session closed are dropped.
class CameraEventSink {
  public:
    virtual ~CameraEventSink() = default;
    virtual void propertyEvent(EdsPropertyEvent event, EdsPropertyID property, EdsUInt32 param) = 0;
    // The program receives a new reference to the item (null when `item` is null).
    virtual void objectEvent(EdsObjectEvent event, std::shared_ptr<DriverItem> item) = 0;
    virtual void stateEvent(EdsStateEvent event, EdsUInt32 eventData) = 0;
};

// One camera body. A driver must hand out the same object for the same body at every enumeration while it
// stays connected: the layer keys the body's lock and session on it.
class DriverCamera {
  public:
    virtual ~DriverCamera() = default;
    // Needs no session.
    virtual EdsError deviceInfo(EdsDeviceInfo& out) = 0;

    // The sink is valid for this session; keep it to report events until closeSession.
    virtual EdsError openSession(std::shared_ptr<CameraEventSink> events) = 0;
    // The layer counts the session closed whatever this returns.
    virtual EdsError closeSession() = 0;

    virtual EdsError getProperty(EdsPropertyID property, EdsInt32 param, PropertyValue& out) = 0;
    virtual EdsError setProperty(EdsPropertyID property, EdsInt32 param, const PropertyValue& value) = 0;
    virtual EdsError propertyDesc(EdsPropertyID property, EdsPropertyDesc& out) = 0;
    virtual EdsError sendCommand(EdsCameraCommand command, EdsInt32 param) = 0;
    virtual EdsError sendStatusCommand(EdsCameraStatusCommand command, EdsInt32 param) = 0;
    virtual EdsError setCapacity(const EdsCapacity& capacity) = 0;
    // The calls that follow, up to a release, are one shot's: a body with work of its own puts it off.
    virtual void beginShot() {}
    // Writes one live view JPEG; EDS_ERR_OBJECT_NOTREADY when no frame is ready yet.
    virtual EdsError downloadEvfImage(ByteSink& jpeg, EvfFrameInfo& info) = 0;
    // What the camera's own software said of the last call that failed, in its words; empty when it said
    // nothing.
    virtual std::string explanation() { return {}; }
};

class CameraDriver {
  public:
    virtual ~CameraDriver() = default;
    // Appends the cameras this driver can reach now. A failing driver contributes no camera and does not
    // hide the cameras of the others.
    virtual EdsError enumerate(std::vector<std::shared_ptr<DriverCamera>>& out) = 0;
};

// Drivers are asked in the order they were registered; registration outlives EdsTerminateSDK. Registering a
// driver twice has no effect.
void registerCameraDriver(std::shared_ptr<CameraDriver> driver);
void unregisterCameraDriver(const std::shared_ptr<CameraDriver>& driver);
void unregisterAllCameraDrivers();

} // namespace orvex::sdk
