#pragma once
// The connected camera.
#include "core/model_rules.h"
#include "sdk/sdk.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace orvex {

inline constexpr std::uint32_t kBatteryMains = 0xFFFFFFFF;

// How full a battery reads, by the limits both the camera field and the information dialog colour by; mains
// power reads as full.
enum class BatteryCharge { Empty, Low, Good };
constexpr BatteryCharge batteryCharge(std::uint32_t level) {
    return level <= 10 ? BatteryCharge::Empty : level <= 30 ? BatteryCharge::Low : BatteryCharge::Good;
}

struct CameraSession {
    EdsCameraListRef cameraList = nullptr; // held from the list query until the choice is made
    EdsCameraRef camera = nullptr;         // valid while connected
    EdsDeviceInfo deviceInfo{};
    int cameraNumber = 0; // 1-based position in the camera list
    std::string name;     // "%d - %s", or "Simulation"
    // In simulation the model stays 0, a model without rules.
    int modelIndex = 0;
    ModelRules rules; // the last connected body's, decided when it connected
    bool legacyProtocol = false;
    std::atomic<bool> connected{false}; // read by the transfer worker
    bool liveViewAvailable = false;
    bool bulbCommands = false;
    bool shutterButton = false;
    std::uint32_t longestCameraTimedMs = 30000;
    // Read at connection and written back when the body is let go; none when they could not be read. A code
    // of 0 is a value like any other: it is Auto ISO.
    std::optional<std::uint32_t> savedQuality, savedIso, savedAperture, savedSpeed;
    std::uint32_t batteryLevel = kBatteryMains;
    bool uiLockSent = false;
    bool liveViewOutputOn = false; // last state set; not reset by a connection
    bool connectDialogOpen = false;
    bool afModeStale = false;
    int shotsLeft = 0; // the card's count at its last reading
    // The body brought pictures for the computer the slow way, holding back releases meanwhile; told once.
    bool picturesThroughMemory = false;
};

} // namespace orvex
