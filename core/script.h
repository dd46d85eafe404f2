#pragma once
// The loaded script: one record per exposure line, in file order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

enum class TriggerKind { Move = 0, Sound = 1, TimeOfDay = 2, Delay = 3 };

struct ScriptLine {
    std::int32_t delay = 0; // tenths of a second, kind Delay only
    int aperture = 0;       // row indexes into the value tables; 0 = left to the camera
    int shutter = 0;
    int iso = 0;
    int quality = 0;
    std::int32_t burst = 0; // seconds; 0 = a single picture
    std::uint32_t exposureMs = 0;
    std::int32_t timeOfDay = 0; // seconds since midnight, kind TimeOfDay only
    TriggerKind kind = TriggerKind::Delay;
    int fileLine = 0; // the line's number in the file, the header being line 1
};

struct Script {
    std::string path;
    std::string directory; // with its trailing separator; empty when the path has none
    std::vector<ScriptLine> lines;
    bool loaded = false;
    std::optional<std::int64_t> lastWrite; // the file's last-write time when it was loaded
    bool hasBurst = false;
    bool hasLongExposure = false;
    bool hasMove = false;
    bool hasLoopMarker = false; // the last load met a "Loop" line
    int refusedLine = 0;        // the line of the file the last load was refused at; 0 when none was
};

} // namespace orvex
