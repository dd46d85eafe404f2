#pragma once
// The one record of a run. Its status is the number of the status message shown.
#include "core/release_record.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace orvex {

// The run's state. Each value is the number of the status message it shows, which the timelines print.
enum class RunStatus {
    kAborted = 1,
    kBurst = 18,
    kExposure = 30,
    kCompleted = 35,
    kDelayedStartWait = 42,
    kError = 55,
    kManualRelease = 64,
    kIdle = 69,
    kLockup = 100,
    kMoveWait = 116,
    kPaused = 134,
    kSaving = 154,
    kSoundWait = 178,
    kTimeWait = 189,
    kPictureWait = 196,
    kDelayWait = 197,
    kCameraGone = 219, // the body switched off or was unplugged during the run
};

inline constexpr int messageOf(RunStatus status) {
    return static_cast<int>(status);
}

// What the shot just made of one of the value fields (speed, aperture, ISO, quality).
struct ValueFieldState {
    bool leftToCamera = false; // the script's cell is empty
    bool differs = false;      // the camera holds another value than the one asked for
};

// What the user asked of a running script from the window; the run acts on them at its next turn.
struct RunRequests {
    bool reload = false;
    bool next = false;
    bool prev = false;
    bool abort = false;
};

// The wait of the current line, in ticks and milliseconds of the run's clock.
struct LineWait {
    std::uint32_t timeOrigin = 0; // ticks
    std::uint32_t lineDelay = 0;  // ms
    int targetSecond = 0;
    std::optional<int> lastSecond; // second of the day at the wait's previous tick; none once armed
    // Each time-of-day line of the script taken, and the moment it was last taken for (seconds since 1970 on
    // the waits' clock): a clock set back comes to that moment again, and so does a run of the same script
    // started again within that second.
    std::map<int, std::int64_t> takenMoments;
    // The waits' clock (ms since 1970 on it) and the tick, at the run's previous tick.
    std::optional<std::pair<std::int64_t, std::uint32_t>> seen;
    // The clock set on by more than the time that passed (summer time, a clock stepped forward) skipped the
    // seconds after the first of these up to the second (since 1970 on the waits' clock), which no tick saw.
    std::optional<std::pair<std::int64_t, std::int64_t>> skipped;
    bool universalTime = false; // the clock the waits read at the run's previous tick
    bool late = false;
};

// The exposure under way.
struct Exposure {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t timedDuration = 0; // ms the run holds the shutter open itself; 0 when the camera times it
    std::uint32_t lengthMs =
        0; // the line's exposure, or the body's own speed for a line that leaves it empty
    bool cableUsed = false;
    // The run was paused as the shot began (its Sound, Move or time-of-day line fired during the pause): that
    // pause does not cut the shot short, as one pressed during it does.
    bool pausedAtStart = false;
    // The body's quality for this exposure, by name: on bodies whose files carry no usable extension it tells
    // a JPEG from a RAW, even for a line that leaves the quality to the body.
    std::string quality;
};

// The mirror lock-up of the current shot.
struct Lockup {
    int countdown = 0;
    int delay = 0;
    int firstPress = 0;
    bool liveView = false;
};

// What the sound input and the move detection report; their callbacks write these.
struct Detection {
    std::atomic<bool> triggered{false};
    std::atomic<int> level{0};
};

// What the last shot made of each value field.
struct ValueFields {
    ValueFieldState speed, aperture, iso, quality;
};

// Run settings: settings file, command line, main window, parameters dialog and "Loop" lines.
struct RunSettings {
    bool loopEnabled = false;
    bool loopInfinite = false;
    int loopCount = 0;
    bool delayedStart = false;
    int startHour = 0;
    int startMinute = 0;
    int startSecond = 0;
    bool universalTime = false;
};

struct RunState {
    RunStatus status = RunStatus::kIdle;
    bool running = false;
    bool paused = false;
    int currentLine = 0;
    int passCount = 0;
    // Where the next run of the loaded script begins, when not at its first line: a night resumed.
    std::optional<int> startLine;
    // Shared with the transfer worker; the item events and the run engine write them on the UI thread.
    std::atomic<int> shotCount{0};
    std::atomic<int> picturesReported{0};
    std::atomic<int> downloadsFailed{0}; // pictures of this run the transfer worker could not download
    bool cameraReady = true;
    // A line counted as taken and the next one not yet armed: a box shown meanwhile runs the window's events.
    bool betweenLines = false;
    // The run stopped between a release and the last of its pictures (an error, the cable gone): a picture
    // the body hands over before the next run is that shot's.
    bool picturesOwed = false;
    // Start was pressed while the last run's pictures were still coming over: the run begins once they are
    // in, unless another script or slave mode was chosen meanwhile.
    struct AwaitedStart {
        std::string scriptPath;
        bool slaveMode = false;
        bool startTimeCame = false;
    };
    std::optional<AwaitedStart> awaitedStart;
    int errorLocation = 0;
    std::string serialPortName; // the Ser.port choice at run start; empty for "None"

    RunRequests requests;
    LineWait wait;
    Exposure exposure;
    Lockup lockup;
    Detection detection;
    ValueFields fields;
    RunSettings settings;
    // The shot in hand's release, for the night log. Its moments are taken on the tick's time line, and
    // placed in local time by the difference read when its line fell due.
    ReleaseRecord release;
    std::int64_t localMinusTickUs = 0;
};

} // namespace orvex
