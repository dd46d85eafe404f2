#include "sdk/virtual/virtual_body.h"

#include "platform/headless/virtual_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <utility>

namespace orvex::virtualcam {
namespace {

constexpr unsigned kMirrorDropMs = 30000; // a raised mirror comes down by itself after this long
constexpr double kObjectRadius = 180;
// Where the live view's object stands before it moves, in sensor pixels.
constexpr double kObjectX = kSensorWidth * 0.3, kObjectY = kSensorHeight * 0.35;
constexpr EdsUInt32 kTvWhenMetered = 0x70; // 1/125 s: what the body meters when it holds no speed

bool validTime(const EdsTime& t) {
    return t.year >= 1970 && t.year <= 2099 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.milliseconds <= 999;
}

EdsTime edsTime(const CivilTime& c) {
    return EdsTime{static_cast<EdsUInt32>(c.year),       static_cast<EdsUInt32>(c.month),
                   static_cast<EdsUInt32>(c.day),        static_cast<EdsUInt32>(c.hour),
                   static_cast<EdsUInt32>(c.minute),     static_cast<EdsUInt32>(c.second),
                   static_cast<EdsUInt32>(c.millisecond)};
}

CivilTime civil(const EdsTime& t) {
    return CivilTime{static_cast<int>(t.year),        static_cast<int>(t.month),  static_cast<int>(t.day),
                     static_cast<int>(t.hour),        static_cast<int>(t.minute), static_cast<int>(t.second),
                     static_cast<int>(t.milliseconds)};
}

bool contains(const std::vector<EdsUInt32>& list, EdsUInt32 v) {
    return std::find(list.begin(), list.end(), v) != list.end();
}

unsigned ceilMs(std::uint64_t microseconds) {
    return static_cast<unsigned>((microseconds + 999) / 1000);
}

// What the file of a real body weighs: a download takes the time of that, not of the small stand-in sent.
std::uint64_t nominalBytes(const FilePlan& file) {
    static constexpr std::uint64_t kJpegFine[] = {6000000, 3400000, 2000000}; // large, medium, small
    switch (file.kind) {
    case FileKind::Cr2:
    case FileKind::Crw:
        return 24000000;
    case FileKind::Thumbnail:
        return 12000;
    case FileKind::Jpeg:
        break;
    }
    return kJpegFine[std::clamp(file.jpegSize, 0, 2)] / (file.fine ? 1 : 2);
}

} // namespace

template <class Fn> void VirtualBody::later(unsigned delayMs, Fn fn) {
    // A weak reference: a body that is gone by then is simply not reached, whichever thread runs the action.
    scheduler_.schedule(delayMs, [weak = weak_from_this(), fn = std::move(fn)] {
        if (const std::shared_ptr<VirtualBody> body = weak.lock()) fn(*body);
    });
}

VirtualBody::VirtualBody(VirtualProfile profile, Clock& clock, Scheduler& scheduler, DownloadPace pace)
    : profile_(std::move(profile)), pace_(std::move(pace)), legacy_(profile_.subtype == 0), clock_(clock),
      scheduler_(scheduler), quality_(profile_.quality), aeMode_(profile_.aeMode),
      driveMode_(profile_.driveMode), iso_(profile_.iso), afMode_(profile_.afMode), av_(profile_.av),
      tv_(profile_.tv), battery_(profile_.battery), shotsLeft_(profile_.shotsLeft), lens_(profile_.lens),
      card_(profile_.card), owner_(profile_.owner), customFunctions_(profile_.customFunctions),
      motionSinceMs_(clock.microseconds() / 1000 + std::uint64_t{profile_.motionAfter} * 1000) {
    saveTo_ = homeSaveTo();
}

EdsUInt32 VirtualBody::homeSaveTo() const {
    return profile_.saveToCamera ? kEdsSaveTo_Camera : kEdsSaveTo_Host;
}

// ---- Session ----

EdsError VirtualBody::deviceInfo(EdsDeviceInfo& out) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    std::snprintf(out.szPortName, sizeof out.szPortName, "virtual");
    std::snprintf(out.szDeviceDescription, sizeof out.szDeviceDescription, "%s",
                  profile_.description.c_str());
    out.deviceSubType = profile_.subtype;
    return EDS_ERR_OK;
}

EdsError VirtualBody::openSession(std::shared_ptr<sdk::CameraEventSink> events) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    events_ = std::move(events);
    return EDS_ERR_OK;
}

EdsError VirtualBody::closeSession() {
    std::lock_guard guard(lock_);
    // What the computer set up for itself ends with its session; a bulb it opened is closed.
    if (exposure_ && (exposure_->who == Release::Command || exposure_->who == Release::Button))
        releaseLocked(exposure_->who);
    held_[Release::Command] = held_[Release::Button] = false;
    events_.reset();
    controlsLocked_ = false;
    saveTo_ = homeSaveTo();
    capacitySet_ = false;
    evfOutput_ &= ~kEdsEvfOutputDevice_PC;
    return EDS_ERR_OK;
}

// ---- Properties ----

EdsError VirtualBody::getProperty(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    if (contains(profile_.busy, property)) return EDS_ERR_DEVICE_BUSY;
    return getLocked(property, param, out);
}

EdsError VirtualBody::getLocked(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out) {
    const bool isEvf = property == kEdsPropID_Evf_OutputDevice || property == kEdsPropID_Evf_Mode ||
                       property == kEdsPropID_Evf_Zoom || property == kEdsPropID_Evf_ZoomPosition ||
                       property == kEdsPropID_Evf_AFMode || property == kEdsPropID_Evf_CoordinateSystem;
    if (isEvf && !profile_.liveView) return EDS_ERR_PROPERTIES_UNAVAILABLE;
    switch (property) {
    case kEdsPropID_ProductName:
        out = profile_.description;
        return EDS_ERR_OK;
    case kEdsPropID_OwnerName:
        out = owner_;
        return EDS_ERR_OK;
    case kEdsPropID_FirmwareVersion:
        out = profile_.firmware;
        return EDS_ERR_OK;
    case kEdsPropID_BodyIDEx:
        if (profile_.bodyId.empty()) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = profile_.bodyId;
        return EDS_ERR_OK;
    case kEdsPropID_DateTime:
        out = cameraTimeLocked();
        return EDS_ERR_OK;
    case kEdsPropID_BatteryLevel:
        out = battery_;
        return EDS_ERR_OK;
    case kEdsPropID_CFn: {
        const auto it = customFunctions_.find(param);
        if (it == customFunctions_.end()) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = it->second;
        return EDS_ERR_OK;
    }
    case kEdsPropID_SaveTo:
        out = saveTo_;
        return EDS_ERR_OK;
    case kEdsPropID_ImageQuality:
        out = quality_;
        return EDS_ERR_OK;
    case kEdsPropID_AEMode:
        out = aeMode_;
        return EDS_ERR_OK;
    case kEdsPropID_DriveMode:
        out = driveMode_;
        return EDS_ERR_OK;
    case kEdsPropID_ISOSpeed:
        out = iso_;
        return EDS_ERR_OK;
    case kEdsPropID_AFMode:
        out = afMode_;
        return EDS_ERR_OK;
    case kEdsPropID_Av:
        // Without a lens there is no aperture to tell.
        out = lens_ ? av_ : EdsUInt32{0xFFFFFFFF};
        return EDS_ERR_OK;
    case kEdsPropID_Tv:
        out = aeMode_ == kAeBulb ? kTvBulb : tv_;
        return EDS_ERR_OK;
    case kEdsPropID_AvailableShots:
        out = card_ ? shotsLeft_ : EdsUInt32{0xFFFFFFFF};
        return EDS_ERR_OK;
    case kEdsPropID_LensStatus:
        // Bodies of the older protocol do not report their lens; the program then asks the aperture.
        if (legacy_) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = EdsUInt32{lens_ ? 1u : 0u};
        return EDS_ERR_OK;
    case kEdsPropID_Evf_OutputDevice:
        out = evfOutput_;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_Mode:
        out = evfMode_;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_Zoom:
        out = evfZoom_;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_ZoomPosition:
        out = zoomPosition_;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_AFMode:
        out = evfAfMode_;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_CoordinateSystem:
        out = EdsSize{kSensorWidth, kSensorHeight};
        return EDS_ERR_OK;
    default:
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    }
}

EdsError VirtualBody::setProperty(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    if (contains(profile_.busy, property)) return EDS_ERR_DEVICE_BUSY;
    // A body that is exposing does not take new settings.
    if (exposure_) return EDS_ERR_DEVICE_BUSY;
    return setLocked(property, param, value);
}

EdsError VirtualBody::setLocked(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value) {
    switch (property) {
    case kEdsPropID_OwnerName: {
        const auto* text = std::get_if<std::string>(&value);
        if (!text) return EDS_ERR_INVALID_PARAMETER;
        if (text->size() > 31) return EDS_ERR_INVALID_LENGTH; // the body keeps 31 characters
        if (*text != owner_) owner_ = *text, changedLocked(property);
        return EDS_ERR_OK;
    }
    case kEdsPropID_DateTime: {
        const auto* time = std::get_if<EdsTime>(&value);
        if (!time) return EDS_ERR_INVALID_PARAMETER;
        if (!validTime(*time)) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        clockOffsetMs_ = msFromCivil(civil(*time)) - msFromCivil(clock_.localTime());
        changedLocked(property);
        return EDS_ERR_OK;
    }
    case kEdsPropID_Evf_ZoomPosition: {
        const auto* point = std::get_if<EdsPoint>(&value);
        if (!point) return EDS_ERR_INVALID_PARAMETER;
        if (!profile_.liveView) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        // The zoom area stays on the sensor, as the body keeps it.
        const EdsPoint clamped{std::clamp(point->x, 0, kSensorWidth - kSensorWidth / 5),
                               std::clamp(point->y, 0, kSensorHeight - kSensorHeight / 5)};
        if (clamped.x != zoomPosition_.x || clamped.y != zoomPosition_.y)
            zoomPosition_ = clamped, changedLocked(property);
        return EDS_ERR_OK;
    }
    default:
        break;
    }
    if (const auto* number = std::get_if<EdsUInt32>(&value)) return setUInt32Locked(property, param, *number);
    // The texts and the frame size the body tells are its own; any other id is none of this body's.
    const bool readOnly = property == kEdsPropID_ProductName || property == kEdsPropID_FirmwareVersion ||
                          property == kEdsPropID_BodyIDEx || property == kEdsPropID_Evf_CoordinateSystem;
    return readOnly ? EDS_ERR_NOT_SUPPORTED : EDS_ERR_PROPERTIES_UNAVAILABLE;
}

EdsError VirtualBody::setUInt32Locked(EdsPropertyID property, EdsInt32 param, EdsUInt32 v) {
    EdsUInt32* field = nullptr;
    switch (property) {
    case kEdsPropID_ProductName:
    case kEdsPropID_FirmwareVersion:
    case kEdsPropID_BodyIDEx:
    case kEdsPropID_BatteryLevel:
    case kEdsPropID_AEMode: // the mode dial
    case kEdsPropID_AFMode: // the lens switch
    case kEdsPropID_AvailableShots:
    case kEdsPropID_LensStatus:
    case kEdsPropID_Evf_CoordinateSystem:
        return EDS_ERR_NOT_SUPPORTED;
    case kEdsPropID_CFn: {
        const auto it = customFunctions_.find(param);
        if (it == customFunctions_.end()) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (it->second != v) it->second = v, changedLocked(property, param);
        return EDS_ERR_OK;
    }
    case kEdsPropID_SaveTo:
        if (v != kEdsSaveTo_Host && (v != kEdsSaveTo_Camera || !profile_.saveToCamera))
            return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        field = &saveTo_;
        break;
    case kEdsPropID_ImageQuality:
        if (!decodeQuality(v, legacy_)) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        field = &quality_;
        break;
    case kEdsPropID_DriveMode:
        if (!isKnownDriveMode(v)) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        field = &driveMode_;
        break;
    case kEdsPropID_ISOSpeed:
        // P, Tv, Av, M, B and the depth-of-field modes; the scene modes choose for themselves.
        if (aeMode_ > 6) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (!contains(profile_.isoCodes, v)) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        field = &iso_;
        break;
    case kEdsPropID_Av:
        if (!lens_ || (aeMode_ != kAeAv && aeMode_ != kAeManual && aeMode_ != kAeBulb))
            return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (!contains(profile_.apertureCodes, v)) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        field = &av_;
        break;
    case kEdsPropID_Tv:
        // Only Tv and M let the photographer choose the speed, and only M offers Bulb.
        if (aeMode_ != kAeTv && aeMode_ != kAeManual) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (!contains(profile_.shutterCodes, v) || (v == kTvBulb && aeMode_ != kAeManual))
            return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        field = &tv_;
        break;
    case kEdsPropID_Evf_OutputDevice:
    case kEdsPropID_Evf_Mode:
    case kEdsPropID_Evf_Zoom:
    case kEdsPropID_Evf_AFMode:
        if (!profile_.liveView) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (property == kEdsPropID_Evf_OutputDevice && v <= 3) field = &evfOutput_;
        if (property == kEdsPropID_Evf_Mode && v <= 1) field = &evfMode_;
        if (property == kEdsPropID_Evf_Zoom && (v == 1 || v == 5 || v == 10)) field = &evfZoom_;
        if (property == kEdsPropID_Evf_AFMode && v <= 2) field = &evfAfMode_;
        if (!field) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        break;
    default:
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    }
    if (*field != v) *field = v, changedLocked(property);
    return EDS_ERR_OK;
}

EdsError VirtualBody::propertyDesc(EdsPropertyID property, EdsPropertyDesc& out) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    const std::vector<EdsUInt32>* codes = nullptr;
    if (property == kEdsPropID_Av) codes = &profile_.apertureCodes;
    if (property == kEdsPropID_Tv) codes = &profile_.shutterCodes;
    if (property == kEdsPropID_ISOSpeed) codes = &profile_.isoCodes;
    if (!codes) return EDS_ERR_PROPERTIES_UNAVAILABLE;
    out = EdsPropertyDesc{};
    out.access = 1;
    // A body without a lens offers no aperture.
    if (property == kEdsPropID_Av && !lens_) return EDS_ERR_OK;
    const std::size_t n = std::min(codes->size(), std::size(out.propDesc));
    for (std::size_t i = 0; i < n; ++i) out.propDesc[i] = static_cast<EdsInt32>((*codes)[i]);
    out.numElements = static_cast<EdsInt32>(n);
    return EDS_ERR_OK;
}

void VirtualBody::changedLocked(EdsPropertyID property, EdsInt32 param) {
    if (events_)
        events_->propertyEvent(kEdsPropertyEvent_PropertyChanged, property, static_cast<EdsUInt32>(param));
}

// ---- Commands ----

EdsError VirtualBody::sendCommand(EdsCameraCommand command, EdsInt32 param) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    switch (command) {
    case kEdsCameraCommand_TakePicture:
        if (exposure_) return EDS_ERR_DEVICE_BUSY;
        // The body times the exposure itself: Bulb needs someone to hold the release.
        if (bulbModeLocked()) return EDS_ERR_OPERATION_REFUSED;
        if (lockupOnLocked() && !liveViewUpLocked()) return EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG;
        if (const EdsError error = storageErrorLocked()) return error;
        if (const EdsError fault = takePictureFaultLocked()) return fault;
        openTimedLocked(Release::Command);
        return EDS_ERR_OK;
    case kEdsCameraCommand_BulbStart:
        if (!profile_.bulbCommands) return EDS_ERR_NOT_SUPPORTED;
        if (exposure_) return EDS_ERR_DEVICE_BUSY;
        if (!bulbModeLocked()) return EDS_ERR_OPERATION_REFUSED;
        if (lockupOnLocked() && !liveViewUpLocked()) return EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG;
        if (const EdsError error = storageErrorLocked()) return error;
        openBulbLocked(Release::Command);
        return EDS_ERR_OK;
    case kEdsCameraCommand_BulbEnd:
        // Ending a bulb that is not open does nothing: the program asks this to learn that the body knows it.
        if (!profile_.bulbCommands) return EDS_ERR_NOT_SUPPORTED;
        if (exposure_ && exposure_->who == Release::Command) releaseLocked(Release::Command);
        return EDS_ERR_OK;
    case kEdsCameraCommand_PressShutterButton:
        if (!profile_.shutterButton) return EDS_ERR_NOT_SUPPORTED;
        switch (param) {
        case kEdsCameraCommand_ShutterButton_Completely:
        case kEdsCameraCommand_ShutterButton_Completely_NonAF:
            return pressLocked(Release::Button);
        case kEdsCameraCommand_ShutterButton_OFF:
        case kEdsCameraCommand_ShutterButton_Halfway:
        case 0x00010001: // halfway without AF
            releaseLocked(Release::Button);
            return EDS_ERR_OK;
        default:
            return EDS_ERR_INVALID_PARAMETER;
        }
    case kEdsCameraCommand_DoEvfAf:
        if (!profile_.liveView) return EDS_ERR_NOT_SUPPORTED;
        return param == kEdsCameraCommand_EvfAf_ON || param == kEdsCameraCommand_EvfAf_OFF
                   ? EDS_ERR_OK
                   : EDS_ERR_INVALID_PARAMETER;
    case kEdsCameraCommand_DriveLensEvf: {
        if (!profile_.liveView) return EDS_ERR_NOT_SUPPORTED;
        const EdsInt32 step = param & 0x7FFF;
        return (param & ~0x8003) == 0 && step >= 1 && step <= 3 ? EDS_ERR_OK : EDS_ERR_INVALID_PARAMETER;
    }
    default:
        return EDS_ERR_NOT_SUPPORTED;
    }
}

EdsError VirtualBody::sendStatusCommand(EdsCameraStatusCommand command, EdsInt32) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    switch (command) {
    case kEdsCameraStatusCommand_UILock:
        controlsLocked_ = true;
        return EDS_ERR_OK;
    case kEdsCameraStatusCommand_UIUnLock:
        controlsLocked_ = false;
        return EDS_ERR_OK;
    case 2: // entering and leaving direct transfer: nothing to do on this body
    case 3:
        return EDS_ERR_OK;
    default:
        return EDS_ERR_INVALID_PARAMETER;
    }
}

EdsError VirtualBody::setCapacity(const EdsCapacity& capacity) {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    // The older protocol sends pictures to the computer without asking for room.
    if (legacy_) return EDS_ERR_NOT_SUPPORTED;
    if (capacity.numberOfFreeClusters < 0 || capacity.bytesPerSector <= 0) return EDS_ERR_INVALID_PARAMETER;
    capacitySet_ = true;
    return EDS_ERR_OK;
}

// ---- Shutter ----

bool VirtualBody::bulbModeLocked() const {
    return aeMode_ == kAeBulb || (aeMode_ == kAeManual && tv_ == kTvBulb);
}

bool VirtualBody::lockupOnLocked() const {
    if (profile_.lockupFunction == 0) return false;
    const auto it = customFunctions_.find(profile_.lockupFunction);
    return it != customFunctions_.end() && it->second != 0;
}

bool VirtualBody::liveViewUpLocked() const {
    return profile_.liveView && evfMode_ == 1 && (evfOutput_ & kEdsEvfOutputDevice_PC) != 0;
}

EdsError VirtualBody::storageErrorLocked() const {
    if (saveTo_ == kEdsSaveTo_Camera) {
        if (!card_) return EDS_ERR_TAKE_PICTURE_NO_CARD_NG;
        if (shotsLeft_ == 0) return EDS_ERR_TAKE_PICTURE_CARD_NG;
        return EDS_ERR_OK;
    }
    // A body of the standard protocol counts the room the computer announced; without it there is none.
    if (!legacy_ && !capacitySet_) return EDS_ERR_TAKE_PICTURE_CARD_NG;
    return EDS_ERR_OK;
}

EdsError VirtualBody::takePictureFaultLocked() {
    const std::uint32_t next = exposures_ + 1;
    if (next == profile_.takePictureBusyAt && !busyAnswered_) {
        busyAnswered_ = true;
        return EDS_ERR_DEVICE_BUSY;
    }
    if (next == profile_.afFailureAt && !afFailed_) {
        afFailed_ = true;
        return EDS_ERR_TAKE_PICTURE_AF_NG;
    }
    return EDS_ERR_OK;
}

void VirtualBody::loseCableIfDueLocked() {
    if (cableGone_ || exposures_ != profile_.cableLostAt) return;
    // As when a serial adapter is pulled out: its lines drop, which lets go of the release.
    cableGone_ = true;
    releaseLocked(Release::Cable);
}

std::uint64_t VirtualBody::exposureMicrosecondsLocked() const {
    // In P, Av and the scene modes the body meters; it keeps the speed it holds when that is one.
    if (const auto us = shutterMicroseconds(tv_)) return *us;
    return *shutterMicroseconds(kTvWhenMetered);
}

EdsTime VirtualBody::cameraTimeLocked() const {
    return edsTime(civilFromMs(msFromCivil(clock_.localTime()) + clockOffsetMs_));
}

EdsError VirtualBody::pressLocked(Release who) {
    if (held_[who]) return EDS_ERR_OK;
    // A refused press leaves the release up, so that the next one is a new press.
    if (exposure_) return EDS_ERR_DEVICE_BUSY;
    if (const EdsError error = storageErrorLocked()) return error;
    held_[who] = true;
    // With mirror lock-up set, the first press raises the mirror and the next one takes the picture; in live
    // view the mirror is up already.
    if (lockupOnLocked() && !liveViewUpLocked() && !mirrorUp_) {
        mirrorUp_ = true;
        const std::uint64_t token = mirrorToken_ = nextToken_++;
        const std::uint64_t epoch = epoch_;
        later(kMirrorDropMs, [epoch, token](VirtualBody& b) { b.mirrorTimeout(epoch, token); });
        return EDS_ERR_OK;
    }
    if (bulbModeLocked())
        openBulbLocked(who);
    else if (burstIntervalMs(driveMode_) && !lockupOnLocked()) {
        exposure_ = Exposure{Exposure::Kind::Burst, who, nextToken_++, clock_.tick(), {}};
        burstFrameLocked();
    } else {
        openTimedLocked(who);
    }
    return EDS_ERR_OK;
}

void VirtualBody::releaseLocked(Release who) {
    held_[who] = false;
    if (!exposure_ || exposure_->who != who) return;
    if (exposure_->kind == Exposure::Kind::Bulb)
        closeBulbLocked();
    else if (exposure_->kind == Exposure::Kind::Burst) {
        // The frame under way finishes; no new one starts.
        exposure_.reset();
        mirrorUp_ = false;
    }
}

std::optional<VirtualBody::ShotPlan> VirtualBody::startShotLocked(std::uint64_t exposureMicroseconds) {
    ++exposures_;
    if (exposures_ == profile_.shutdownAt) {
        shutDownLocked();
        return std::nullopt;
    }
    ShotPlan plan;
    plan.toCard = saveTo_ == kEdsSaveTo_Camera;
    if (exposures_ == profile_.captureErrorAt) {
        plan.captureError = true;
        return plan;
    }
    if (plan.toCard && shotsLeft_ > 0) --shotsLeft_, changedLocked(kEdsPropID_AvailableShots);
    lastFileNumber_ = lastFileNumber_ % 9999 + 1;

    // The files of the quality, or of the profile's fixed count. A profile built in code may hold a quality
    // the body would not take from the program: it records a large fine JPEG then.
    QualityFiles q = decodeQuality(quality_, legacy_).value_or(QualityFiles{});
    if (profile_.picturesPerShot == 1)
        q.jpegToo = false;
    else if (profile_.picturesPerShot == 2 && q.primary == FileKind::Jpeg)
        q.primary = legacy_ ? FileKind::Crw : FileKind::Cr2, q.jpegToo = true;
    else if (profile_.picturesPerShot == 2)
        q.jpegToo = true;

    FilePlan file;
    file.facts = PictureFacts{profile_.description, owner_,          profile_.bodyId, cameraTimeLocked(),
                              exposureMicroseconds, isoNumber(iso_), lastFileNumber_};
    file.failDownload = profile_.failDownloadAt == exposures_;
    file.jpegSize = q.jpegSize;
    file.fine = q.fine;
    file.unseen = profile_.picturesUnseen;
    const auto add = [&](FileKind kind, const char* extension) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04u.%s", lastFileNumber_, extension);
        file.fileName = name;
        file.kind = kind;
        file.downloadMs = profile_.downloadMBps == 0
                              ? 0
                              : static_cast<unsigned>(nominalBytes(file) / 1000 / profile_.downloadMBps);
        plan.files.push_back(file);
    };
    if (q.primary == FileKind::Cr2) add(FileKind::Cr2, "CR2");
    if (q.primary == FileKind::Crw) add(FileKind::Crw, "CRW");
    if (q.primary == FileKind::Crw && profile_.thumbnails) add(FileKind::Thumbnail, "THM");
    if (q.primary == FileKind::Jpeg || q.jpegToo) add(FileKind::Jpeg, "JPG");
    return plan;
}

void VirtualBody::openTimedLocked(Release who) {
    const std::uint64_t us = exposureMicrosecondsLocked();
    std::optional<ShotPlan> plan = startShotLocked(us);
    if (!plan) return;
    const std::uint64_t token = nextToken_++, epoch = epoch_;
    exposure_ = Exposure{Exposure::Kind::Timed, who, token, clock_.tick(), std::move(*plan)};
    later(ceilMs(us), [epoch, token](VirtualBody& b) { b.endTimed(epoch, token); });
    loseCableIfDueLocked();
}

void VirtualBody::endTimed(std::uint64_t epoch, std::uint64_t token) {
    std::lock_guard guard(lock_);
    if (epoch != epoch_ || !exposure_ || exposure_->token != token) return;
    ShotPlan plan = std::move(exposure_->plan);
    exposure_.reset();
    mirrorUp_ = false;
    const unsigned processing = processingMsLocked(plan);
    deliverLater(std::move(plan), processing);
}

void VirtualBody::openBulbLocked(Release who) {
    // The exposure time is known only at the end; the picture is planned now, dated when the shutter opens.
    std::optional<ShotPlan> plan = startShotLocked(0);
    if (!plan) return;
    exposure_ = Exposure{Exposure::Kind::Bulb, who, nextToken_++, clock_.tick(), std::move(*plan)};
    loseCableIfDueLocked();
}

void VirtualBody::closeBulbLocked() {
    ShotPlan plan = std::move(exposure_->plan);
    const std::uint64_t us = std::uint64_t{ticksBetween(exposure_->openedAt, clock_.tick())} * 1000;
    for (FilePlan& f : plan.files) f.facts.exposureMicroseconds = us;
    exposure_.reset();
    mirrorUp_ = false;
    const unsigned processing = processingMsLocked(plan);
    deliverLater(std::move(plan), processing);
}

void VirtualBody::burstFrameLocked() {
    const std::uint64_t us = exposureMicrosecondsLocked();
    // A full card, or the body shutting down, ends the burst.
    if (storageErrorLocked() != EDS_ERR_OK) {
        exposure_.reset();
        return;
    }
    std::optional<ShotPlan> plan = startShotLocked(us);
    if (!plan) return;
    const unsigned ready = ceilMs(us) + processingMsLocked(*plan);
    deliverLater(std::move(*plan), ready);
    // The drive mode may be turned on the body in the middle of a burst; the burst keeps a frame rate.
    const unsigned interval = std::max(burstIntervalMs(driveMode_).value_or(200), ceilMs(us));
    const std::uint64_t token = exposure_->token, epoch = epoch_;
    later(interval, [epoch, token](VirtualBody& b) { b.nextBurstFrame(epoch, token); });
    loseCableIfDueLocked();
}

void VirtualBody::nextBurstFrame(std::uint64_t epoch, std::uint64_t token) {
    std::lock_guard guard(lock_);
    if (epoch != epoch_ || !exposure_ || exposure_->token != token) return;
    burstFrameLocked();
}

void VirtualBody::mirrorTimeout(std::uint64_t epoch, std::uint64_t token) {
    std::lock_guard guard(lock_);
    if (epoch == epoch_ && token == mirrorToken_ && !exposure_) mirrorUp_ = false;
}

unsigned VirtualBody::processingMsLocked(const ShotPlan& plan) const {
    // Long-exposure noise reduction: the body exposes a dark frame as long again before it processes.
    const std::uint64_t us = plan.files.empty() ? 0 : plan.files.front().facts.exposureMicroseconds;
    return profile_.processingMs + (profile_.noiseReduction ? ceilMs(us) : 0);
}

void VirtualBody::deliverLater(ShotPlan plan, unsigned delayMs) {
    const std::uint64_t epoch = epoch_;
    if (plan.captureError) {
        later(delayMs, [epoch](VirtualBody& b) { b.captureError(epoch); });
        return;
    }
    // The files of one exposure come in order, `fileGapMs` apart.
    for (std::size_t i = 0; i < plan.files.size(); ++i)
        later(delayMs + static_cast<unsigned>(i) * profile_.fileGapMs,
              [epoch, toCard = plan.toCard, file = plan.files[i]](VirtualBody& b) {
                  b.deliver(epoch, toCard, file);
              });
}

void VirtualBody::deliver(std::uint64_t epoch, bool toCard, const FilePlan& file) {
    std::lock_guard guard(lock_);
    if (epoch != epoch_ || !events_) return;
    const std::weak_ptr<VirtualBody> weak = weak_from_this();
    auto item = std::make_shared<VirtualItem>(
        file,
        [weak, epoch, toCard] {
            const std::shared_ptr<VirtualBody> body = weak.lock();
            return body ? body->reachable(epoch, toCard) : EDS_ERR_COMM_DISCONNECTED;
        },
        pace_);
    events_->objectEvent(toCard ? kEdsObjectEvent_DirItemCreated : kEdsObjectEvent_DirItemRequestTransfer,
                         std::move(item));
}

void VirtualBody::captureError(std::uint64_t epoch) {
    std::lock_guard guard(lock_);
    if (epoch == epoch_ && events_) events_->stateEvent(kEdsStateEvent_CaptureError, 0);
}

EdsError VirtualBody::reachable(std::uint64_t epoch, bool onCard) const {
    std::lock_guard guard(lock_);
    if (!on_) return EDS_ERR_COMM_DISCONNECTED;
    // A picture waiting in the body's memory for the computer is lost when the body is switched off.
    if (!onCard && epoch != epoch_) return EDS_ERR_COMM_DISCONNECTED;
    return EDS_ERR_OK;
}

void VirtualBody::shutDownLocked() {
    on_ = false;
    ++epoch_;
    exposure_.reset();
    held_.clear();
    mirrorUp_ = false;
    controlsLocked_ = false;
    if (events_) events_->stateEvent(kEdsStateEvent_Shutdown, 0);
}

// ---- Live view ----

EdsError VirtualBody::downloadEvfImage(sdk::ByteSink& jpeg, sdk::EvfFrameInfo& info) {
    LiveViewShot shot;
    {
        std::lock_guard guard(lock_);
        if (!on_) return EDS_ERR_COMM_DISCONNECTED;
        if (!profile_.liveView) return EDS_ERR_NOT_SUPPORTED;
        // No frame while the shutter is open, nor before the computer asked for live view.
        if (exposure_ || !liveViewUpLocked()) return EDS_ERR_OBJECT_NOTREADY;
        shot.sensorWidth = kSensorWidth;
        shot.sensorHeight = kSensorHeight;
        shot.width = kSensorWidth;
        shot.height = kSensorHeight;
        if (evfZoom_ != kEdsEvfZoom_Fit) {
            // x5 shows the zoom area; x10 the middle of it.
            const double inset = evfZoom_ == kEdsEvfZoom_x10 ? 0.25 : 0;
            shot.width = kSensorWidth * 5.0 / evfZoom_ / 5.0;
            shot.height = kSensorHeight * 5.0 / evfZoom_ / 5.0;
            shot.left = zoomPosition_.x + inset * kSensorWidth / 5.0;
            shot.top = zoomPosition_.y + inset * kSensorHeight / 5.0;
        }
        // Before its moment the object stands still where it started.
        const auto moving = static_cast<std::int64_t>(clock_.microseconds() / 1000 - motionSinceMs_);
        const double travelled =
            profile_.motion * (static_cast<double>(std::max<std::int64_t>(moving, 0)) / 1000.0);
        const double span = kSensorWidth + 2 * kObjectRadius;
        double x = std::fmod(kObjectX + travelled + kObjectRadius, span);
        if (x < 0) x += span;
        shot.objectX = x - kObjectRadius;
        shot.objectY = kObjectY;
        shot.objectRadius = kObjectRadius;
        info.zoom = evfZoom_;
        info.zoomPosition = zoomPosition_;
        info.coordinateSystem = EdsSize{kSensorWidth, kSensorHeight};
    }
    // Drawn outside the lock: the scheduler's actions need not wait for a frame.
    const Bytes frame = renderLiveView(shot);
    return jpeg.write(frame.data(), frame.size());
}

// ---- The photographer, the cable, the power switch ----

bool VirtualBody::pressRelease(Release who, bool down) {
    std::lock_guard guard(lock_);
    if (!down) {
        if (on_) releaseLocked(who);
        return true;
    }
    if (!on_ || controlsLocked_) return false;
    return pressLocked(who) == EDS_ERR_OK;
}

void VirtualBody::setOnBody(EdsPropertyID property, EdsInt32 param, EdsUInt32 value) {
    std::lock_guard guard(lock_);
    EdsUInt32* field = nullptr;
    switch (property) {
    case kEdsPropID_AEMode:
        field = &aeMode_;
        break;
    case kEdsPropID_DriveMode:
        field = &driveMode_;
        break;
    case kEdsPropID_AFMode:
        field = &afMode_;
        break;
    case kEdsPropID_BatteryLevel:
        field = &battery_;
        break;
    case kEdsPropID_AvailableShots:
        field = &shotsLeft_;
        break;
    case kEdsPropID_ISOSpeed:
        field = &iso_;
        break;
    case kEdsPropID_Av:
        field = &av_;
        break;
    case kEdsPropID_Tv:
        field = &tv_;
        break;
    case kEdsPropID_ImageQuality:
        if (!decodeQuality(value, legacy_)) return;
        field = &quality_;
        break;
    case kEdsPropID_LensStatus:
        lens_ = value != 0;
        changedLocked(property);
        return;
    case kEdsPropID_CFn:
        customFunctions_[param] = value;
        changedLocked(property, param);
        return;
    default:
        return;
    }
    *field = value;
    changedLocked(property);
}

void VirtualBody::switchOff() {
    std::lock_guard guard(lock_);
    if (on_) shutDownLocked();
}

void VirtualBody::switchOn() {
    std::lock_guard guard(lock_);
    on_ = true;
}

bool VirtualBody::switchedOn() const {
    std::lock_guard guard(lock_);
    return on_;
}

std::uint32_t VirtualBody::exposures() const {
    std::lock_guard guard(lock_);
    return exposures_;
}

bool VirtualBody::shutterOpen() const {
    std::lock_guard guard(lock_);
    return exposure_.has_value();
}

bool VirtualBody::mirrorUp() const {
    std::lock_guard guard(lock_);
    return mirrorUp_;
}

bool VirtualBody::controlsLocked() const {
    std::lock_guard guard(lock_);
    return controlsLocked_;
}

bool VirtualBody::plugCable() {
    std::lock_guard guard(lock_);
    if (cablePlugged_ || cableGone_) return false;
    cablePlugged_ = true;
    return true;
}

bool VirtualBody::cablePresent() const {
    std::lock_guard guard(lock_);
    return !cableGone_;
}

void VirtualBody::unplugCable() {
    std::lock_guard guard(lock_);
    cablePlugged_ = false;
    if (on_) releaseLocked(Release::Cable);
}

} // namespace orvex::virtualcam
