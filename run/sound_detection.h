#pragma once
// Listens for the sound a Sound line waits for. The input is open only from the line's arming until its
// trigger, the run's stop or the camera's going; every Sound line opens it afresh.
#include "platform/window.h"
#include "run/program.h"

#include <cstddef>
#include <cstdint>

namespace orvex {

inline constexpr unsigned kSoundBufferSamples = 500; // 62.5 ms of sound

// The input's states.
inline constexpr int kSoundClosed = 0;
inline constexpr int kSoundRecording = 1;
inline constexpr int kSoundOpen = 3; // opened, not yet recording

struct SoundLevel {
    bool loud = false; // a sample reached the threshold
    int level = 0;     // the level bar's position, 100 when loud
};

// What one buffer shows against the threshold, a percentage of full scale. Only positive excursions count:
// samples are compared signed, never by their magnitude.
SoundLevel measureSound(const std::int16_t* samples, std::size_t count, int thresholdPercent);

// Opens the input for buffers of `count` samples; 0, -1 when there is no input, or the input's error.
int openSound(Program& program, Window& window, unsigned count);
// 0, -1 when the input is not open, or the input's error.
int startSound(Program& program);
// -1 when the input is not open. Buffers still arriving after it are ignored.
int closeSound(Program& program);
// Recording, the input stopped by itself: no sound can fire the wait any more.
bool soundInputLost(const Program& program);

} // namespace orvex
