#pragma once
// The virtual EOS body: its settings, shutter, mirror, card and live view, on the program's clock.
//
// Threads: the SDK layer calls one body from one thread at a time, but the scheduler's actions (exposure
// ends, pictures ready, burst frames) and the virtual cable may come from other threads; every state is
// guarded by one lock. Nothing is called under that lock but the scheduler's schedule() and the session's
// event sink, which only queues.
#include "platform/clock.h"
#include "platform/scheduler.h"
#include "sdk/camera_driver.h"
#include "sdk/virtual/eos_codes.h"
#include "sdk/virtual/virtual_item.h"
#include "sdk/virtual/virtual_profile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace orvex::virtualcam {

// Who holds the shutter release.
enum class Release { Command, Button, Cable, Hand };

inline constexpr int kSensorWidth = 5184;
inline constexpr int kSensorHeight = 3456;

class VirtualBody final : public sdk::DriverCamera, public std::enable_shared_from_this<VirtualBody> {
  public:
    // Clock and scheduler must outlive the body. `pace` makes downloads take the time the profile's link
    // speed gives; without it they take none.
    VirtualBody(VirtualProfile profile, Clock& clock, Scheduler& scheduler, DownloadPace pace = {});

    EdsError deviceInfo(EdsDeviceInfo& out) override;
    EdsError openSession(std::shared_ptr<sdk::CameraEventSink> events) override;
    EdsError closeSession() override;
    EdsError getProperty(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out) override;
    EdsError setProperty(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value) override;
    EdsError propertyDesc(EdsPropertyID property, EdsPropertyDesc& out) override;
    EdsError sendCommand(EdsCameraCommand command, EdsInt32 param) override;
    EdsError sendStatusCommand(EdsCameraStatusCommand command, EdsInt32 param) override;
    EdsError setCapacity(const EdsCapacity& capacity) override;
    EdsError downloadEvfImage(sdk::ByteSink& jpeg, sdk::EvfFrameInfo& info) override;

    // The release pressed (down) or let go by the cable or the photographer's finger. Both are ignored
    // while the program has locked the body's controls, as a real body ignores its remote socket then;
    // letting go always counts. False when the press was ignored or refused.
    bool pressRelease(Release who, bool down);
    // A control turned on the body: mode dial, drive, AF switch, lens, battery, card, custom functions.
    // Raises the property-changed event like a real body.
    void setOnBody(EdsPropertyID property, EdsInt32 param, EdsUInt32 value);
    // Switching off raises the shutdown event; pending pictures not yet on the card are lost.
    void switchOff();
    void switchOn();

    bool switchedOn() const;
    std::uint32_t exposures() const;
    bool shutterOpen() const;
    bool mirrorUp() const;
    bool controlsLocked() const;

    // The virtual cable's socket: one cable at a time, none once its port has vanished.
    bool plugCable();
    void unplugCable();
    bool cablePresent() const;

  private:
    struct ShotPlan {
        bool toCard = true;
        bool captureError = false; // exposed, but the capture-error event comes instead of files
        std::vector<FilePlan> files;
    };
    struct Exposure {
        enum class Kind { Timed, Bulb, Burst } kind = Kind::Timed;
        Release who = Release::Command;
        std::uint64_t token = 0;
        std::uint32_t openedAt = 0; // tick
        ShotPlan plan;              // the bulb's picture, planned when it opened
    };

    // All *Locked members expect lock_ held.
    EdsError getLocked(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out);
    EdsError setLocked(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value);
    EdsError setUInt32Locked(EdsPropertyID property, EdsInt32 param, EdsUInt32 v);
    EdsError pressLocked(Release who);
    void releaseLocked(Release who);
    EdsError storageErrorLocked() const;
    // A fault on demand for the take-picture command of the next exposure; each comes once.
    EdsError takePictureFaultLocked();
    // The cable's port vanishes when the profile says: the release it held lets go.
    void loseCableIfDueLocked();
    bool bulbModeLocked() const;
    bool lockupOnLocked() const;
    bool liveViewUpLocked() const;
    std::uint64_t exposureMicrosecondsLocked() const;
    EdsTime cameraTimeLocked() const;
    // Counts the exposure and plans its files; none when the body shut down instead.
    std::optional<ShotPlan> startShotLocked(std::uint64_t exposureMicroseconds);
    void openTimedLocked(Release who);
    void openBulbLocked(Release who);
    void burstFrameLocked();
    void closeBulbLocked();
    // From the shutter closing to the pictures being ready.
    unsigned processingMsLocked(const ShotPlan& plan) const;
    void deliverLater(ShotPlan plan, unsigned delayMs);
    void deliver(std::uint64_t epoch, bool toCard, const FilePlan& file);
    void captureError(std::uint64_t epoch);
    void endTimed(std::uint64_t epoch, std::uint64_t token);
    void nextBurstFrame(std::uint64_t epoch, std::uint64_t token);
    void mirrorTimeout(std::uint64_t epoch, std::uint64_t token);
    void shutDownLocked();
    void changedLocked(EdsPropertyID property, EdsInt32 param = 0);
    EdsError reachable(std::uint64_t epoch, bool onCard) const;
    // Where pictures go while no program says otherwise.
    EdsUInt32 homeSaveTo() const;
    // Runs fn on the body later, unless it is gone by then.
    template <class Fn> void later(unsigned delayMs, Fn fn);

    const VirtualProfile profile_;
    const DownloadPace pace_;
    const bool legacy_;
    Clock& clock_;
    Scheduler& scheduler_;

    mutable std::mutex lock_;
    std::shared_ptr<sdk::CameraEventSink> events_;
    bool on_ = true;
    std::uint64_t epoch_ = 1; // a new one each time the body shuts down: what was pending is dropped
    std::uint64_t nextToken_ = 1;
    std::optional<Exposure> exposure_;
    std::map<Release, bool> held_;
    bool mirrorUp_ = false;
    std::uint64_t mirrorToken_ = 0;
    bool controlsLocked_ = false;
    bool capacitySet_ = false;
    bool cablePlugged_ = false;
    bool cableGone_ = false;
    bool afFailed_ = false, busyAnswered_ = false; // the one-time faults already shown
    std::uint32_t exposures_ = 0;
    unsigned lastFileNumber_ = 0;
    std::int64_t clockOffsetMs_ = 0; // the body's clock minus the computer's

    EdsUInt32 saveTo_ = kEdsSaveTo_Camera;
    EdsUInt32 quality_, aeMode_, driveMode_, iso_, afMode_, av_, tv_;
    EdsUInt32 battery_, shotsLeft_;
    bool lens_, card_;
    std::string owner_;
    std::map<EdsInt32, EdsUInt32> customFunctions_;
    EdsUInt32 evfOutput_ = 0, evfMode_ = 1, evfZoom_ = kEdsEvfZoom_Fit, evfAfMode_ = 0;
    EdsPoint zoomPosition_{(kSensorWidth - kSensorWidth / 5) / 2, (kSensorHeight - kSensorHeight / 5) / 2};
    // From when the profile's motion counts, in ms on the clock's own 64-bit time line: a body left on for
    // weeks goes on moving its object past the 24.8 days a signed tick difference holds.
    std::uint64_t motionSinceMs_;
};

} // namespace orvex::virtualcam
