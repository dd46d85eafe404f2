#pragma once
#include "resources/dialog_template.h"

namespace orvex {

// Control ids of the camera information dialog; OK is kOkCommand.
enum CameraInfoControl {
    kBodyIdField = 1061,
    kProductNameField = 1062,
    kCameraClockField = 1063,
    kBatteryBar = 1064,
    kBatteryField = 1065,
    kLensField = 1066,
    kAutofocusField = 1067,
    kFirmwareField = 1068,
    kOwnerField = 1070,
    kCardField = 1073,
    kAeModeIcon = 1096,
};

// The dialog's labels, which only carry their texts.
enum CameraInfoLabel {
    kProductNameLabel = 2020,
    kCameraClockLabel = 2022,
    kBatteryLabel = 2024,
    kBodyIdLabel = 2025,
    kLensLabel = 2026,
    kFirmwareLabel = 2027,
    kAeModeLabel = 2028,
    kAutofocusLabel = 2029,
    kOwnerLabel = 2031,
    kCardLabel = 2035,
};

// Texts the template keeps in every language.
inline constexpr const char* kCameraInfoOkText = "OK";
inline constexpr const char* kAutofocusLabelText = "Autofocus";

extern const DialogTemplate CAMERA_INFO_DIALOG;

} // namespace orvex
