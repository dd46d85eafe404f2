#pragma once
// The camera models the program tells apart, and what each changes in the program's behaviour: a record,
// decided by the camera layer when a body connects.
#include <cstdint>

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

// Decided once, when a body connects; the default is a body with no rules of its own.
struct ModelRules {
    bool pressShutterBody = false;           // bulb exposures by the shutter-button command
    std::uint32_t pauseBeforeReleaseMs = 0;  // waited just before the shutter is released
    std::uint32_t pauseAfterCableShotMs = 0; // the transfer worker's wait before it finishes a cable shot
    bool manualFocusRequired = false;        // a shot is refused while autofocus is on
    bool rawOrJpegByQuality = false;         // its files carry no usable extension: the quality tells it
    bool savesToHostOnly = false;            // the "Save to" list stays on Host
    bool lockupFixedOff = false;             // the Lockup list stays on "Off"
    int lockupCustomFunction = 0;            // the custom function that holds its mirror lock-up; 0: none
    friend bool operator==(const ModelRules&, const ModelRules&) = default;
};

} // namespace orvex
