#include "resources/main_dialog.h"

namespace orvex {
namespace {

using K = ControlKind;

// Texts of lists and of the camera field are filled by the program, not by the template.
constexpr ControlTemplate kControls[] = {
    {kConnectButton, K::PushButton, 37, 7, 6, 50, 14},
    {kReloadScriptButton, K::PushButton, 147, 7, 26, 50, 14},
    {kNextScriptButton, K::PushButton, 95, 7, 46, 50, 14},
    {kPrevScriptButton, K::PushButton, 96, 7, 66, 50, 14},
    {kStartButton, K::PushButton, 181, 7, 86, 50, 14},
    {kPauseButton, K::PushButton, 133, 71, 86, 50, 14},
    {kLiveViewButton, K::PushButton, 92, 133, 86, 50, 14},
    {kSlaveToggle, K::Toggle, 174, 191, 29, 50, 10},
    {kLoopToggle, K::Toggle, 103, 191, 48, 50, 10},
    {kDelayedToggle, K::Toggle, 41, 191, 68, 50, 10},
    {kSaveToLabel, K::Label, 151, 249, 29, 26, 8},
    {kSaveToList, K::DropDownList, -1, 279, 26, 44, 87},
    {kZoomLabel, K::Label, 94, 247, 49, 28, 8},
    {kZoomList, K::DropDownList, -1, 279, 46, 44, 87},
    {kLockupLabel, K::Label, 99, 250, 69, 25, 8},
    {kLockupList, K::DropDownList, -1, 279, 66, 44, 87},
    {kSerialPortLabel, K::Label, 167, 244, 89, 31, 8},
    {kSerialPortList, K::DropDownList, -1, 279, 86, 44, 87},
    {kCameraField, K::ReadOnlyField, -1, 86, 6, 120, 14},
    {kStatusLabel, K::Label, 183, 62, 28, 21, 8},
    {kStatusField, K::ReadOnlyField, -1, 86, 26, 35, 14},
    {kWaitLabel, K::Label, 195, 123, 28, 19, 8},
    {kWaitField, K::ReadOnlyField, -1, 145, 26, 35, 14},
    {kLevelBar, K::ProgressBar, -1, 145, 26, 35, 14},
    {kSpeedLabel, K::Label, 179, 60, 48, 22, 8},
    {kSpeedField, K::ReadOnlyField, -1, 86, 46, 35, 14},
    {kApertureLabel, K::Label, 56, 130, 48, 12, 8},
    {kApertureField, K::ReadOnlyField, -1, 145, 46, 35, 14},
    {kIsoLabel, K::Label, 85, 71, 68, 12, 8},
    {kIsoField, K::ReadOnlyField, -1, 86, 66, 35, 14},
    {kQualityLabel, K::Label, 143, 126, 68, 18, 8},
    {kQualityField, K::ReadOnlyField, -1, 145, 66, 35, 14},
    {kShotsLabel, K::Label, 172, 214, 8, 33, 8},
    {kShotsField, K::ReadOnlyField, -1, 252, 6, 70, 14},
};

} // namespace

const DialogTemplate MAIN_DIALOG = {"MAIN_DIALOG", 333, 122, true, true, kControls};

} // namespace orvex
