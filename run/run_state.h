#pragma once
// The one record of a run. Its status is the number of the status message shown.
#include <atomic>

namespace orvex {

inline constexpr int kStatusIdle = 69;

// What the shot just made of one of the value fields (speed, aperture, ISO, quality).
struct ValueFieldState {
    bool leftToCamera = false; // the script's cell is empty
    bool differs = false;      // the camera holds another value than the one asked for
};

struct RunState {
    int status = kStatusIdle;
    bool running = false;
    bool paused = false;
    std::atomic<int> shotCount{0}; // also counted by the transfer worker
    bool late = false;
    bool cameraReady = true;
    std::atomic<int> detectionLevel{0}; // written by the sound callback
    ValueFieldState speedField, apertureField, isoField, qualityField;

    // Run settings: settings file, command line, main window, parameters dialog and "Loop" lines.
    bool loopEnabled = false;
    bool loopInfinite = false;
    int loopCount = 0;
    bool delayedStart = false;
    int startHour = 0;
    int startMinute = 0;
    int startSecond = 0;
    bool universalTime = false;
};

} // namespace orvex
