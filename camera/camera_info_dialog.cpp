#include "camera/camera_info_dialog.h"

#include "camera/ae_mode_icons.h"
#include "camera/camera_properties.h"
#include "core/catalogue.h"
#include "resources/camera_info_dialog.h"

#include <cstdio>
#include <string>

namespace orvex {
namespace {

enum Message { kTitle = 21, kAcPower = 4, kNo = 120, kOff = 128, kOn = 129, kYes = 200 };

// Not a word of any language: the same in both.
constexpr const char* kUnreadable = "???";
constexpr EdsUInt32 kNoCard = 0xFFFFFFFF;
constexpr EdsUInt32 kAfManual = 3;
constexpr Rgb kBatteryGood{0, 255, 0}, kBatteryLow{255, 255, 0}, kBatteryEmpty{255, 128, 0};

const char* text(const CameraInfoView& v, int number) {
    return messageText(v.language, number);
}

std::string textProperty(const CameraInfoView& v, EdsPropertyID property) {
    // One byte more than the read may fill, so the text is always terminated.
    char text[81] = {};
    if (EdsGetPropertyData(v.camera.camera, property, 0, 80, text) != EDS_ERR_OK) return kUnreadable;
    return text;
}

void showBattery(const CameraInfoView& v, Window& d) {
    d.showItem(kBatteryBar, false);
    d.showItem(kBatteryField, false);
    EdsUInt32 level = 0;
    if (readUInt32(v.camera, kEdsPropID_BatteryLevel, 0, level) != EDS_ERR_OK || level == kBatteryMains) {
        d.setItemText(kBatteryField, level == kBatteryMains ? text(v, kAcPower) : kUnreadable);
        d.showItem(kBatteryField, true);
        return;
    }
    d.setProgress(kBatteryBar, static_cast<int>(level));
    const BatteryCharge charge = batteryCharge(level);
    d.setProgressColour(kBatteryBar, charge == BatteryCharge::Good  ? kBatteryGood
                                     : charge == BatteryCharge::Low ? kBatteryLow
                                                                    : kBatteryEmpty);
    d.showItem(kBatteryBar, true);
}

void fill(const CameraInfoView& v, Window& d) {
    if (!v.camera.connected) {
        d.killTimer(kTimerCameraInfo);
        d.endDialog(0);
        return;
    }
    // The number printed on the body, as -connect takes it and orvex-cli cameras lists it.
    d.setItemText(kBodyIdField, textProperty(v, kEdsPropID_BodyIDEx));
    d.setItemText(kProductNameField, textProperty(v, kEdsPropID_ProductName));
    d.setItemText(kFirmwareField, textProperty(v, kEdsPropID_FirmwareVersion));
    d.setItemText(kOwnerField, textProperty(v, kEdsPropID_OwnerName));

    EdsUInt32 value = 0;
    const int aeMode =
        readUInt32(v.camera, kEdsPropID_AEMode, 0, value) == EDS_ERR_OK ? static_cast<int>(value) : -1;
    const auto icon = v.aeModeIcons.find(aeModeIconFile(aeMode));
    d.setItemText(kAeModeIcon, icon == v.aeModeIcons.end() ? std::string() : icon->second);

    d.setItemText(kLensField, text(v, isLensAttached(v.camera) ? kYes : kNo));
    d.setItemText(kAutofocusField, readUInt32(v.camera, kEdsPropID_AFMode, 0, value) != EDS_ERR_OK
                                       ? kUnreadable
                                   : value == kAfManual ? text(v, kOff)
                                                        : text(v, kOn));
    d.setItemText(kCardField, readUInt32(v.camera, kEdsPropID_AvailableShots, 0, value) != EDS_ERR_OK
                                  ? kUnreadable
                              : value == kNoCard ? text(v, kNo)
                                                 : text(v, kYes));
    EdsTime t{};
    std::string clock = kUnreadable;
    if (EdsGetPropertyData(v.camera.camera, kEdsPropID_DateTime, 0, sizeof t, &t) == EDS_ERR_OK) {
        char text[64];
        std::snprintf(text, sizeof text, "%04u-%02u-%02u   %02u:%02u:%02u", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
        clock = text;
    }
    d.setItemText(kCameraClockField, clock);
    showBattery(v, d);
}

void initialise(const CameraInfoView& v, Window& d) {
    d.setTitle(text(v, kTitle));
    for (const ControlTemplate& c : CAMERA_INFO_DIALOG.controls)
        if (c.message >= 0) d.setItemText(c.id, text(v, c.message));
    d.setItemText(kAutofocusLabel, kAutofocusLabelText);
    d.setItemText(kOkCommand, kCameraInfoOkText);
    // A simulated camera has nothing to tell.
    if (v.simulation) {
        d.showItem(kBatteryBar, false);
        d.showItem(kBatteryField, false);
        return;
    }
    d.setTimer(kTimerCameraInfo, 1000);
    fill(v, d);
}

void close(Window& d) {
    d.killTimer(kTimerCameraInfo);
    d.endDialog(0);
}

} // namespace

void cameraInfoProcedure(const CameraInfoView& v, Window& d, const DialogMessage& m) {
    switch (m.kind) {
    case MessageKind::Init:
        initialise(v, d);
        break;
    case MessageKind::Timer:
        if (m.id == kTimerCameraInfo) fill(v, d);
        break;
    case MessageKind::Command:
        if (m.id == kOkCommand || m.id == kCancelCommand) close(d);
        break;
    case MessageKind::Close:
        close(d);
        break;
    default:
        break;
    }
}

} // namespace orvex
