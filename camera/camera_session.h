#pragma once
// The connected camera.
#include "camera/sdk.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace orvex {

inline constexpr int kModel400D = 11;
inline constexpr int kModel350D = 12;
inline constexpr int kModel300D = 13;
inline constexpr int kModel70D = 15;
inline constexpr int kModel60D = 16;
inline constexpr int kModel20D = 20;
inline constexpr int kModel10D = 21;
inline constexpr int kModel7D = 22;
inline constexpr int kModel5D = 23;
inline constexpr int kModel1D = 24;
inline constexpr int kModelUnknown = 25;
inline constexpr std::uint32_t kBatteryMains = 0xFFFFFFFF;

struct CameraSession {
    EdsCameraListRef cameraList = nullptr; // held from the list query until the choice is made
    EdsCameraRef camera = nullptr;         // valid while connected
    EdsDeviceInfo deviceInfo{};
    int cameraNumber = 0; // 1-based position in the camera list
    std::string name;     // "%d - %s", or "Simulation"
    // In simulation the model stays 0, a model without rules.
    int modelIndex = 0;
    bool legacyProtocol = false;
    std::atomic<bool> connected{false}; // read by the transfer worker
    bool liveViewAvailable = false;
    bool bulbCommands = false;
    bool shutterButton = false;
    bool pressShutterBody = false;
    std::uint32_t longestCameraTimedMs = 30000;
    std::uint32_t savedQuality = 0, savedIso = 0, savedAperture = 0, savedSpeed = 0;
    std::uint32_t batteryLevel = kBatteryMains;
    bool uiLockSent = false;
    bool liveViewOutputOn = false; // last state set; not reset by a connection
    bool connectDialogOpen = false;
    bool afModeStale = false;
    int shotsLeft = 0; // the card's count at its last reading
};

} // namespace orvex
