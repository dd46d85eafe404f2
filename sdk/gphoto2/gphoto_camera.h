#pragma once
// A body libgphoto2 detected, as a camera of the SDK layer. It stays the same object for as long as the
// body stays on its port; each session opens a new GphotoBody.
#include "sdk/camera_driver.h"
#include "sdk/gphoto2/gphoto_body.h"

#include <gphoto2/gphoto2-abilities-list.h>

#include <memory>
#include <string>

namespace orvex::gphoto {

class GphotoCamera final : public sdk::DriverCamera {
  public:
    GphotoCamera(const CameraAbilities& abilities, std::string port);

    const std::string& port() const { return port_; }
    std::string model() const { return abilities_.model; }
    bool inSession() const { return body_ != nullptr; }

    EdsError deviceInfo(EdsDeviceInfo& out) override;
    EdsError openSession(std::shared_ptr<sdk::CameraEventSink> events) override;
    EdsError closeSession() override;
    EdsError getProperty(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out) override;
    EdsError setProperty(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value) override;
    EdsError propertyDesc(EdsPropertyID property, EdsPropertyDesc& out) override;
    EdsError sendCommand(EdsCameraCommand command, EdsInt32 param) override;
    EdsError sendStatusCommand(EdsCameraStatusCommand command, EdsInt32 param) override;
    EdsError setCapacity(const EdsCapacity& capacity) override;
    void beginShot() override;
    EdsError downloadEvfImage(sdk::ByteSink& jpeg, sdk::EvfFrameInfo& info) override;
    std::string explanation() override;

  private:
    const CameraAbilities abilities_;
    const std::string port_;
    // The SDK layer calls one camera from one thread at a time; the transfer worker reaches the body
    // through its files, which hold it weakly.
    std::shared_ptr<GphotoBody> body_;
};

} // namespace orvex::gphoto
