#pragma once
// The built-in virtual EOS body, as a camera driver of the SDK layer:
//
//     std::string error;
//     auto profile = orvex::loadVirtualProfile("cable", error);   // a preset name or a profile file
//     auto camera = orvex::makeVirtualCamera(*profile, clock, scheduler);
//     orvex::sdk::registerCameraDriver(camera);
//     orvex::VirtualCablePorts ports(systemPorts, camera);        // adds the "VirtualCable" port
//
// The body takes its pictures on `clock` and times its exposures with `scheduler`: a VirtualClock in
// tests and rehearsals, the computer's clock with a ThreadScheduler otherwise.
#include "platform/clock.h"
#include "platform/scheduler.h"
#include "platform/serial_ports.h"
#include "sdk/camera_driver.h"
#include "sdk/virtual/virtual_item.h"
#include "sdk/virtual/virtual_profile.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace orvex {

namespace virtualcam {
class VirtualBody;
}

class VirtualCameraDriver final : public sdk::CameraDriver {
  public:
    // Use makeVirtualCamera.
    explicit VirtualCameraDriver(std::shared_ptr<virtualcam::VirtualBody> body);

    // The body while it is switched on; nothing while it is off.
    EdsError enumerate(std::vector<std::shared_ptr<sdk::DriverCamera>>& out) override;

    // ---- The photographer at the body ----
    // The shutter release pressed or let go by hand, for a manual release. Ignored while the program has
    // locked the body's controls; false then.
    bool pressShutterByHand(bool down);
    // Turns a control of the body (mode dial 0x400, drive 0x401, AF switch 0x404, lens 0x416 as 0 or 1,
    // battery 0x8, shots left 0x40A, quality, Av, Tv, ISO, custom function 0x9 with its number as param),
    // without the checks a program's setting goes through, and raises the property-changed event.
    void setOnBody(EdsPropertyID property, EdsInt32 param, EdsUInt32 value);
    // Switching off raises the shutdown event and drops the body from the camera list until switched on.
    void switchOff();
    void switchOn();

    // ---- What a test may check ----
    // Exposures made since the body was created; each frame of a burst is one.
    std::uint32_t exposures() const;
    bool shutterOpen() const;
    bool mirrorUp() const;
    bool controlsLocked() const;
    // False once the cable's port has vanished (`cableLostAt`).
    bool cablePresent() const;

    // The body's remote socket: a line whose asserted level presses the release (see VirtualCablePorts).
    // Null while another cable is plugged in.
    std::unique_ptr<SerialLine> plugCable();

  private:
    std::shared_ptr<virtualcam::VirtualBody> body_;
};

// Clock and scheduler must outlive the body and every handle of the SDK layer that refers to it. With a
// `pace`, downloads take the time the profile's `downloadMBps` gives; without, none (a rehearsal on the
// virtual clock waits for each download before time moves on).
std::shared_ptr<VirtualCameraDriver> makeVirtualCamera(const VirtualProfile& profile, Clock& clock,
                                                       Scheduler& scheduler, DownloadPace pace = {});

// The system's serial ports and, listed first, "VirtualCable": the cable into the virtual body's remote
// socket. Like a real port it opens once at a time.
class VirtualCablePorts final : public SerialPorts {
  public:
    static constexpr const char* kPortName = "VirtualCable";
    // Both must outlive these ports; the lines they open hold the body weakly.
    VirtualCablePorts(SerialPorts& system, std::shared_ptr<VirtualCameraDriver> camera);

    std::vector<std::string> portNames() override;
    bool probe(const std::string& name) override;
    std::unique_ptr<SerialLine> open(const std::string& name) override;

  private:
    SerialPorts& system_;
    std::shared_ptr<VirtualCameraDriver> camera_;
};

} // namespace orvex
