#include "platform/portaudio/portaudio_sound_input.h"

#include "platform/debug_output.h"

#include <alsa/asoundlib.h>
#include <cstdarg>
#include <cstdio>
#include <jack/jack.h>
#include <mutex>
#include <portaudio.h>
#include <string>

namespace orvex {
namespace {

// ALSA tells of every device it tries and fails on a machine without a sound card: some sixty lines.
void alsaSaid(const char* file, int line, const char* function, int, const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    debugOutput(std::string("ALSA lib ") + (file ? file : "") + ":" + std::to_string(line) + ":(" +
                (function ? function : "") + ") " + text);
}

void jackSaid(const char* text) {
    debugOutput(text);
}

// Before PortAudio first speaks to them: the handlers are the libraries' own, one for the whole process.
void quietenSoundLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        snd_lib_error_set_handler(&alsaSaid);
        jack_set_error_function(&jackSaid);
        jack_set_info_function(&jackSaid);
    });
}

int recorded(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
             PaStreamCallbackFlags, void* buffer) {
    if (input && frames != 0)
        (*static_cast<SoundBuffer*>(buffer))(static_cast<const std::int16_t*>(input), frames);
    return paContinue;
}

} // namespace

// Closing ends the session too.
PortAudioSoundInput::~PortAudioSoundInput() {
    close();
}

// PortAudio lists the devices once per session: a session lasts as long as its input, so that a microphone
// plugged in since is found at the next Sound line.
void PortAudioSoundInput::endSession() {
    if (initialised_) Pa_Terminate();
    initialised_ = false;
}

int PortAudioSoundInput::open(unsigned count, SoundBuffer buffer) {
    if (stream_) return paDeviceUnavailable;
    if (!initialised_) {
        // No sound server is started on a machine that runs none: PortAudio's JACK host and ALSA's jack
        // plugin both open their client with JackNoStartServer.
        quietenSoundLibraries();
        if (const PaError error = Pa_Initialize(); error != paNoError) return error;
        initialised_ = true;
    }
    buffer_ = std::move(buffer);
    PaStream* stream = nullptr;
    const PaError error =
        Pa_OpenDefaultStream(&stream, 1, 0, paInt16, kSoundSampleRate, count, &recorded, &buffer_);
    if (error != paNoError) {
        endSession();
        return error;
    }
    stream_ = stream;
    return 0;
}

int PortAudioSoundInput::start() {
    if (!stream_) return paBadStreamPtr;
    const PaError error = Pa_StartStream(stream_);
    started_ = error == paNoError;
    return error;
}

bool PortAudioSoundInput::stoppedByItself() const {
    // A device error ends the stream's thread, and the stream is no longer active.
    return stream_ && started_ && Pa_IsStreamActive(stream_) == 0;
}

int PortAudioSoundInput::close() {
    if (!stream_) return paBadStreamPtr;
    // Once the stream is closed its thread has ended: no buffer arrives any more.
    PaError error = Pa_IsStreamActive(stream_) == 1 ? Pa_AbortStream(stream_) : paNoError;
    const PaError closed = Pa_CloseStream(stream_);
    stream_ = nullptr;
    started_ = false;
    endSession();
    return error != paNoError ? error : closed;
}

} // namespace orvex
