#pragma once
// The default sound input through PortAudio.
#include "platform/sound_input.h"

namespace orvex {

class PortAudioSoundInput final : public SoundInput {
  public:
    PortAudioSoundInput() = default;
    ~PortAudioSoundInput() override;
    PortAudioSoundInput(const PortAudioSoundInput&) = delete;
    PortAudioSoundInput& operator=(const PortAudioSoundInput&) = delete;

    int open(unsigned count, SoundBuffer buffer) override;
    int start() override;
    int close() override;
    bool stoppedByItself() const override;

  private:
    void endSession();

    bool initialised_ = false;
    void* stream_ = nullptr;
    bool started_ = false;
    SoundBuffer buffer_;
};

} // namespace orvex
