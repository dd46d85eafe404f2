#pragma once
// A recording played into the run as the computer's sound input would hand it over: one buffer every
// 62.5 ms (for 500 samples) from the moment the input opens, in step with the program's clock, then
// silence once the recording has ended. orvex-cli rehearses Sound lines with it.
#include "platform/clock.h"
#include "platform/scheduler.h"
#include "platform/sound_input.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace orvex {

class RecordedSound final : public SoundInput {
  public:
    // The buffers are delivered by `timers`, on its thread.
    RecordedSound(std::vector<std::int16_t> samples, const Clock& clock, Scheduler& timers);
    ~RecordedSound() override;
    RecordedSound(const RecordedSound&) = delete;
    RecordedSound& operator=(const RecordedSound&) = delete;

    int open(unsigned count, SoundBuffer buffer) override;
    int start() override;
    int close() override;
    // A recording plays to its end, then silence: it never stops by itself.
    bool stoppedByItself() const override { return false; }

  private:
    void armNext();
    void deliver();

    std::vector<std::int16_t> samples_;
    const Clock& clock_;
    Scheduler& timers_;
    SoundBuffer buffer_;
    unsigned count_ = 0;
    bool open_ = false;
    std::uint32_t openedAt_ = 0;
    std::uint64_t delivered_ = 0;
    std::optional<int> pending_;
};

} // namespace orvex
