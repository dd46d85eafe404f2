#include "run/sound_detection.h"

#include "resources/main_dialog.h"

#include <algorithm>

namespace orvex {
namespace {

// Runs on the sound input's thread: it shares with the run only the atomics of its detection record and
// posts to the window, which is safe from any thread.
void soundLevelCheck(Program& p, Window& w, const std::int16_t* samples, std::size_t count) {
    Detection& d = p.run.detection;
    // The input records only during the Sound wait: a late buffer after it, or one after the buffer that
    // fired, changes nothing.
    if (p.soundState != kSoundRecording || d.triggered) return;
    // Read at each buffer: the parameters dialog may change it during the wait.
    const SoundLevel heard = measureSound(samples, count, p.settings.soundThreshold);
    d.level = heard.level;
    if (heard.loud) {
        d.triggered = true;
        if (p.observer) p.observer->soundDetected(heard.level);
    }
    w.post({MessageKind::User, kUserDetectionLevel, {}});
}

} // namespace

SoundLevel measureSound(const std::int16_t* samples, std::size_t count, int thresholdPercent) {
    const int threshold = thresholdPercent * 32767 / 100;
    int largest = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (samples[i] >= threshold) return {true, 100};
        largest = std::max<int>(largest, samples[i]);
    }
    return {false, threshold > 0 ? largest * 100 / threshold : 0};
}

int openSound(Program& p, Window& w, unsigned count) {
    if (!p.soundInput || p.soundState != kSoundClosed) return -1;
    const int error = p.soundInput->open(
        count, [&p, &w](const std::int16_t* s, std::size_t n) { soundLevelCheck(p, w, s, n); });
    if (error != 0) return error;
    p.soundState = kSoundOpen;
    return 0;
}

int startSound(Program& p) {
    if (p.soundState != kSoundOpen) return -1;
    // Recording before the input starts: its first buffer may arrive before start() has returned.
    p.soundState = kSoundRecording;
    const int error = p.soundInput->start();
    if (error != 0) p.soundState = kSoundOpen;
    return error;
}

bool soundInputLost(const Program& p) {
    return p.soundState == kSoundRecording && p.soundInput->stoppedByItself();
}

int closeSound(Program& p) {
    if (p.soundState == kSoundClosed) return -1;
    p.soundState = kSoundClosed;
    return p.soundInput->close();
}

} // namespace orvex
