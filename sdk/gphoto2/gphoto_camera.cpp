#include "sdk/gphoto2/gphoto_camera.h"

#include <cstdio>

namespace orvex::gphoto {

GphotoCamera::GphotoCamera(const CameraAbilities& abilities, std::string port)
    : abilities_(abilities), port_(std::move(port)) {}

EdsError GphotoCamera::deviceInfo(EdsDeviceInfo& out) {
    std::snprintf(out.szPortName, sizeof out.szPortName, "%s", port_.c_str());
    std::snprintf(out.szDeviceDescription, sizeof out.szDeviceDescription, "%s", abilities_.model);
    // Every body the library drives as an EOS speaks the current protocol.
    out.deviceSubType = 1;
    return EDS_ERR_OK;
}

EdsError GphotoCamera::openSession(std::shared_ptr<sdk::CameraEventSink> events) {
    auto body = std::make_shared<GphotoBody>(std::move(events));
    if (const EdsError e = body->open(abilities_, port_)) return e;
    body_ = std::move(body);
    return EDS_ERR_OK;
}

EdsError GphotoCamera::closeSession() {
    if (body_) body_->close();
    body_.reset();
    return EDS_ERR_OK;
}

EdsError GphotoCamera::getProperty(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out) {
    return body_ ? body_->getProperty(property, param, out) : EDS_ERR_SESSION_NOT_OPEN;
}

EdsError GphotoCamera::setProperty(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value) {
    return body_ ? body_->setProperty(property, param, value) : EDS_ERR_SESSION_NOT_OPEN;
}

EdsError GphotoCamera::propertyDesc(EdsPropertyID property, EdsPropertyDesc& out) {
    return body_ ? body_->propertyDesc(property, out) : EDS_ERR_SESSION_NOT_OPEN;
}

EdsError GphotoCamera::sendCommand(EdsCameraCommand command, EdsInt32 param) {
    return body_ ? body_->sendCommand(command, param) : EDS_ERR_SESSION_NOT_OPEN;
}

EdsError GphotoCamera::sendStatusCommand(EdsCameraStatusCommand command, EdsInt32 param) {
    return body_ ? body_->sendStatusCommand(command, param) : EDS_ERR_SESSION_NOT_OPEN;
}

EdsError GphotoCamera::setCapacity(const EdsCapacity& capacity) {
    // The library takes pictures into its own memory without being told how much room there is.
    if (capacity.numberOfFreeClusters < 0 || capacity.bytesPerSector <= 0) return EDS_ERR_INVALID_PARAMETER;
    return body_ ? EDS_ERR_OK : EDS_ERR_SESSION_NOT_OPEN;
}

EdsError GphotoCamera::downloadEvfImage(sdk::ByteSink& jpeg, sdk::EvfFrameInfo& info) {
    return body_ ? body_->downloadEvfImage(jpeg, info) : EDS_ERR_SESSION_NOT_OPEN;
}

void GphotoCamera::beginShot() {
    if (body_) body_->beginShot();
}

std::string GphotoCamera::explanation() {
    return body_ ? body_->explanation() : std::string();
}

} // namespace orvex::gphoto
