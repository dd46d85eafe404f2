#pragma once
// A rehearsed night as its plan draws it: what happened on each line of the script, in milliseconds from the
// run's first tick, and the local time that tick stands for.
#include "platform/clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::cli {

// How the shutter was opened, which tells who times the exposure.
enum class Release { Camera, Bulb, Cable, Lockup };

struct PlannedExposure {
    int line = 0; // in the file, the header being line 1
    int pass = 0;
    std::uint64_t atMs = 0;
    std::uint32_t lengthMs = 0; // the exposure, or the whole burst
    Release release = Release::Camera;
    bool burst = false;
    std::string values; // aperture, speed, ISO and quality as the main window shows them
};

// A Sound or Move line listening, from the arming of its wait to its trigger.
struct PlannedWait {
    int line = 0;
    std::uint64_t fromMs = 0, toMs = 0;
    std::string text; // the wait's status text
};

// A moment that concerns every lane: a loop pass starting, a move along a chain, the run's end.
struct PlanMark {
    std::uint64_t atMs = 0;
    std::string text;
};

struct Plan {
    int language = 0;
    std::string script; // the name of the script the run started with
    CivilTime start;    // local time at the run's first tick
    std::vector<int> lines;
    std::vector<PlannedExposure> exposures;
    std::vector<PlannedWait> waits;
    std::vector<PlanMark> passes, chains;
    PlanMark end;
    std::string reason; // why a run that never started did not: the last message it gave
};

} // namespace orvex::cli
