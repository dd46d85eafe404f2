#include "camera/camera_properties.h"

#include "resources/main_dialog.h"

#include <cstdlib>

namespace orvex {
namespace {

constexpr int kLocationPressOpen = 5930;
constexpr int kLocationPressClose = 5936;
constexpr int kLocationBulbOpen = 5945;
constexpr int kLocationBulbClose = 5950;
constexpr int kLocationButtonOpen = 5958;
constexpr int kLocationButtonClose = 5964;
constexpr int kLocationNoMethod = 5969;

bool hasAnyOutput(EdsUInt32 device) {
    return (device & (kEdsEvfOutputDevice_TFT | kEdsEvfOutputDevice_PC)) != 0;
}

} // namespace

EdsError readUInt32(const CameraSession& camera, EdsPropertyID property, EdsInt32 param, EdsUInt32& value) {
    value = 0;
    return EdsGetPropertyData(camera.camera, property, param, sizeof value, &value);
}

EdsError writeUInt32(const CameraSession& camera, EdsPropertyID property, EdsUInt32 value) {
    return EdsSetPropertyData(camera.camera, property, 0, sizeof value, &value);
}

std::string cameraExplanation(const CameraSession& camera) {
    char text[512] = "";
    if (!camera.camera || EdsGetLastErrorText(camera.camera, sizeof text, text) != EDS_ERR_OK) return {};
    return text;
}

bool mirrorLockupMatches(const CameraSession& camera, bool wanted) {
    const EdsInt32 customFunction = camera.rules.lockupCustomFunction;
    if (customFunction == 0) return true;
    EdsUInt32 value = 0;
    // Unknowable is not a reason to refuse the shot.
    if (readUInt32(camera, kEdsPropID_CFn, customFunction, value) != EDS_ERR_OK) return true;
    return (value != 0) == wanted;
}

bool isLensAttached(const CameraSession& camera) {
    EdsUInt32 value = 0;
    if (readUInt32(camera, kEdsPropID_LensStatus, 0, value) == EDS_ERR_OK) return value != 0;
    // Older bodies have no lens status; without a lens they report no aperture.
    if (readUInt32(camera, kEdsPropID_Av, 0, value) != EDS_ERR_OK) return false;
    return value != 0xFFFFFFFF;
}

EdsError setCameraUiLock(CameraSession& camera, bool locked) {
    if (locked == camera.uiLockSent) return EDS_ERR_OK;
    camera.uiLockSent = locked;
    return EdsSendStatusCommand(
        camera.camera, locked ? kEdsCameraStatusCommand_UILock : kEdsCameraStatusCommand_UIUnLock, 0);
}

std::int32_t readBodyNumber(const CameraSession& camera, std::uint64_t& out) {
    // One byte more than the read may fill, so the text is always terminated.
    char text[81] = {};
    const EdsError error = EdsGetPropertyData(camera.camera, kEdsPropID_BodyIDEx, 0, 80, text);
    if (error != EDS_ERR_OK) return static_cast<std::int32_t>(error);
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text) return kErrorBodyIdNotANumber;
    out = static_cast<std::uint64_t>(value);
    return 0;
}

EdsError driveShutterButton(const CameraSession& camera, int& location, bool open) {
    if (camera.rules.pressShutterBody) {
        location = open ? kLocationPressOpen : kLocationPressClose;
        return EdsSendCommand(camera.camera, kEdsCameraCommand_PressShutterButton,
                              open ? kEdsCameraCommand_ShutterButton_Completely_NonAF
                                   : kEdsCameraCommand_ShutterButton_OFF);
    }
    if (camera.bulbCommands) {
        location = open ? kLocationBulbOpen : kLocationBulbClose;
        return EdsSendCommand(camera.camera, open ? kEdsCameraCommand_BulbStart : kEdsCameraCommand_BulbEnd,
                              0);
    }
    if (camera.shutterButton) {
        location = open ? kLocationButtonOpen : kLocationButtonClose;
        return EdsSendCommand(camera.camera, kEdsCameraCommand_PressShutterButton,
                              open ? kEdsCameraCommand_ShutterButton_Completely_NonAF
                                   : kEdsCameraCommand_ShutterButton_OFF);
    }
    location = kLocationNoMethod;
    return EDS_ERR_NOT_SUPPORTED;
}

void setLiveViewOutput(CameraSession& camera, Window& window, bool on) {
    if (on == camera.liveViewOutputOn) return;
    camera.liveViewOutputOn = on;
    if (on) {
        writeUInt32(camera, kEdsPropID_Evf_Mode, 1);
        writeUInt32(camera, kEdsPropID_Evf_AFMode, 0);
    }
    EdsUInt32 device = 0;
    readUInt32(camera, kEdsPropID_Evf_OutputDevice, 0, device);
    // With live view off on both sides the camera is back at its whole frame: the list says so.
    if (!hasAnyOutput(device)) window.listSelectIndex(kZoomList, 0);
    if (on)
        device |= kEdsEvfOutputDevice_PC;
    else
        device &= ~kEdsEvfOutputDevice_PC;
    writeUInt32(camera, kEdsPropID_Evf_OutputDevice, device);
    if (!hasAnyOutput(device)) window.listSelectIndex(kZoomList, 0);
}

void lendLiveViewOutputToLockup(CameraSession& camera, bool& borrowedForLockup) {
    if (!camera.liveViewOutputOn) return;
    camera.liveViewOutputOn = false;
    borrowedForLockup = true;
}

void releaseLiveViewOutput(CameraSession& camera, bool& borrowedForLockup, bool liveViewWanted) {
    if (!borrowedForLockup) return;
    borrowedForLockup = false;
    // The live view window still wants the pictures the mirror lock-up borrowed.
    if (liveViewWanted) return;
    EdsUInt32 device = 0;
    if (readUInt32(camera, kEdsPropID_Evf_OutputDevice, 0, device) != EDS_ERR_OK) return;
    if ((device & kEdsEvfOutputDevice_PC) == 0) return;
    writeUInt32(camera, kEdsPropID_Evf_OutputDevice, device & ~kEdsEvfOutputDevice_PC);
}

} // namespace orvex
