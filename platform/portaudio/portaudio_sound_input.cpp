#include "platform/portaudio/portaudio_sound_input.h"

#include <cstdlib>
#include <portaudio.h>

namespace orvex {
namespace {

int recorded(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
             PaStreamCallbackFlags, void* buffer) {
    if (input && frames != 0)
        (*static_cast<SoundBuffer*>(buffer))(static_cast<const std::int16_t*>(input), frames);
    return paContinue;
}

} // namespace

PortAudioSoundInput::~PortAudioSoundInput() {
    close();
    if (initialised_) Pa_Terminate();
}

int PortAudioSoundInput::open(unsigned count, SoundBuffer buffer) {
    if (stream_) return paDeviceUnavailable;
    if (!initialised_) {
        // Listening must never start a sound server on a machine that runs none: the JACK client would.
        setenv("JACK_NO_START_SERVER", "1", 1);
        if (const PaError error = Pa_Initialize(); error != paNoError) return error;
        initialised_ = true;
    }
    buffer_ = std::move(buffer);
    PaStream* stream = nullptr;
    const PaError error =
        Pa_OpenDefaultStream(&stream, 1, 0, paInt16, kSoundSampleRate, count, &recorded, &buffer_);
    if (error != paNoError) return error;
    stream_ = stream;
    return 0;
}

int PortAudioSoundInput::start() {
    if (!stream_) return paBadStreamPtr;
    return Pa_StartStream(stream_);
}

int PortAudioSoundInput::close() {
    if (!stream_) return paBadStreamPtr;
    // Once the stream is closed its thread has ended: no buffer arrives any more.
    PaError error = Pa_IsStreamActive(stream_) == 1 ? Pa_AbortStream(stream_) : paNoError;
    const PaError closed = Pa_CloseStream(stream_);
    stream_ = nullptr;
    return error != paNoError ? error : closed;
}

} // namespace orvex
