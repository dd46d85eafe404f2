#include "sdk/virtual/virtual_camera.h"

#include "sdk/virtual/virtual_body.h"

#include <algorithm>
#include <utility>

namespace orvex {
namespace {

// The plug of the cable: asserting the lines presses the release, clearing them lets it go.
class VirtualCableLine final : public SerialLine {
  public:
    explicit VirtualCableLine(std::weak_ptr<virtualcam::VirtualBody> body) : body_(std::move(body)) {}
    // Closing a port drops its lines, and unplugs the cable.
    ~VirtualCableLine() override {
        if (const auto body = body_.lock()) body->unplugCable();
    }

    bool setLines(bool asserted) override {
        const auto body = body_.lock();
        // A port that has vanished refuses everything; its lines are down.
        if (body && !body->cablePresent()) return false;
        if (asserted == asserted_) return true;
        asserted_ = asserted;
        // The port drives its lines whatever is at the other end: a body that ignores them is no port error.
        if (body) body->pressRelease(virtualcam::Release::Cable, asserted);
        return true;
    }

  private:
    std::weak_ptr<virtualcam::VirtualBody> body_;
    bool asserted_ = false;
};

} // namespace

VirtualCameraDriver::VirtualCameraDriver(std::shared_ptr<virtualcam::VirtualBody> body)
    : body_(std::move(body)) {}

EdsError VirtualCameraDriver::enumerate(std::vector<std::shared_ptr<sdk::DriverCamera>>& out) {
    if (body_->switchedOn()) out.push_back(body_);
    return EDS_ERR_OK;
}

bool VirtualCameraDriver::pressShutterByHand(bool down) {
    return body_->pressRelease(virtualcam::Release::Hand, down);
}

void VirtualCameraDriver::setOnBody(EdsPropertyID property, EdsInt32 param, EdsUInt32 value) {
    body_->setOnBody(property, param, value);
}

void VirtualCameraDriver::switchOff() {
    body_->switchOff();
}
void VirtualCameraDriver::switchOn() {
    body_->switchOn();
}
std::uint32_t VirtualCameraDriver::exposures() const {
    return body_->exposures();
}
bool VirtualCameraDriver::shutterOpen() const {
    return body_->shutterOpen();
}
bool VirtualCameraDriver::mirrorUp() const {
    return body_->mirrorUp();
}
bool VirtualCameraDriver::controlsLocked() const {
    return body_->controlsLocked();
}
bool VirtualCameraDriver::cablePresent() const {
    return body_->cablePresent();
}

std::unique_ptr<SerialLine> VirtualCameraDriver::plugCable() {
    if (!body_->plugCable()) return nullptr;
    return std::make_unique<VirtualCableLine>(body_);
}

std::shared_ptr<VirtualCameraDriver> makeVirtualCamera(const VirtualProfile& profile, Clock& clock,
                                                       Scheduler& scheduler, DownloadPace pace) {
    return std::make_shared<VirtualCameraDriver>(
        std::make_shared<virtualcam::VirtualBody>(profile, clock, scheduler, std::move(pace)));
}

VirtualCablePorts::VirtualCablePorts(SerialPorts& system, std::shared_ptr<VirtualCameraDriver> camera)
    : system_(system), camera_(std::move(camera)) {}

std::vector<std::string> VirtualCablePorts::portNames() {
    std::vector<std::string> names;
    if (camera_->cablePresent()) names.push_back(kPortName);
    for (std::string& name : system_.portNames())
        if (name != kPortName) names.push_back(std::move(name));
    return names;
}

bool VirtualCablePorts::probe(const std::string& name) {
    if (name != kPortName) return system_.probe(name);
    // Opened and closed again at once, as a probe of a real port does.
    return camera_->plugCable() != nullptr;
}

std::unique_ptr<SerialLine> VirtualCablePorts::open(const std::string& name) {
    if (name != kPortName) return system_.open(name);
    return camera_->plugCable();
}

} // namespace orvex
