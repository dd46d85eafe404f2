#include "resources/camera_info_dialog.h"

#include "platform/window.h"

namespace orvex {
namespace {

using K = ControlKind;

// One row per fact: its label on the left, its value on the right; the battery's bar and text share a place.
constexpr ControlTemplate kControls[] = {
    {kBodyIdLabel, K::Label, 68, 7, 9, 70, 8},
    {kBodyIdField, K::ReadOnlyField, -1, 82, 7, 110, 12},
    {kProductNameLabel, K::Label, 139, 7, 23, 70, 8},
    {kProductNameField, K::ReadOnlyField, -1, 82, 21, 110, 12},
    {kFirmwareLabel, K::Label, 59, 7, 37, 70, 8},
    {kFirmwareField, K::ReadOnlyField, -1, 82, 35, 110, 12},
    {kOwnerLabel, K::Label, 130, 7, 51, 70, 8},
    {kOwnerField, K::ReadOnlyField, -1, 82, 49, 110, 12},
    {kAeModeLabel, K::Label, 10, 7, 69, 70, 8},
    {kAeModeIcon, K::Icon, -1, 82, 63, 20, 20},
    {kLensLabel, K::Label, 89, 7, 89, 70, 8},
    {kLensField, K::ReadOnlyField, -1, 82, 87, 110, 12},
    {kAutofocusLabel, K::Label, -1, 7, 103, 70, 8},
    {kAutofocusField, K::ReadOnlyField, -1, 82, 101, 110, 12},
    {kCardLabel, K::Label, 109, 7, 117, 70, 8},
    {kCardField, K::ReadOnlyField, -1, 82, 115, 110, 12},
    {kCameraClockLabel, K::Label, 40, 7, 131, 70, 8},
    {kCameraClockField, K::ReadOnlyField, -1, 82, 129, 110, 12},
    {kBatteryLabel, K::Label, 15, 7, 145, 70, 8},
    {kBatteryBar, K::ProgressBar, -1, 82, 144, 110, 10},
    {kBatteryField, K::ReadOnlyField, -1, 82, 143, 110, 12},
    {kOkCommand, K::PushButton, -1, 75, 163, 50, 14, kStyleDefaultButton},
};

} // namespace

const DialogTemplate CAMERA_INFO_DIALOG = {"CAMERA_INFO_DIALOG", 200, 184, true, false, kControls};

} // namespace orvex
