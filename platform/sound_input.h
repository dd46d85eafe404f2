#pragma once
// The computer's sound input as the run sees it: 8000 samples a second, one channel, signed 16 bits,
// handed over in buffers of a fixed number of samples.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace orvex {

inline constexpr unsigned kSoundSampleRate = 8000;

// Called for each recorded buffer, perhaps on a thread of the sound system.
using SoundBuffer = std::function<void(const std::int16_t* samples, std::size_t count)>;

class SoundInput {
  public:
    virtual ~SoundInput() = default;
    // Opens the default input for buffers of `count` samples; 0, or the sound system's error code.
    virtual int open(unsigned count, SoundBuffer buffer) = 0;
    // Starts recording; 0, or the sound system's error code.
    virtual int start() = 0;
    // Stops and closes; once it returns no buffer is delivered any more.
    virtual int close() = 0;
    // Recording stopped by itself since start(): its device went (a microphone pulled out), and no buffer
    // will come any more.
    virtual bool stoppedByItself() const = 0;
};

} // namespace orvex
