#pragma once
// The connected camera as the main window sees it.
#include <cstdint>
#include <string>

namespace orvex {

inline constexpr int kModel300D = 13;
inline constexpr int kModel10D = 21;
inline constexpr int kModelUnknown = 25;
inline constexpr std::uint32_t kBatteryMains = 0xFFFFFFFF;

struct CameraSession {
    bool connected = false;
    std::string name;
    int modelIndex = kModelUnknown;
    bool liveViewAvailable = false;
    std::uint32_t batteryLevel = kBatteryMains;
    int shotsLeft = 0; // the card's count at its last reading
};

} // namespace orvex
