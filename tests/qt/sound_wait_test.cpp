// The desktop program waiting for a sound, in both languages: the computer's input reached through PortAudio
// (ALSA's file plugin reading steady samples, on a machine without a sound card) feeds the level bar.
#include "platform/portaudio/portaudio_sound_input.h"
#include "platform/thread_scheduler.h"
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/sound_detection.h"
#include "sdk/virtual/virtual_camera.h"
#include "tests/qt/program_window.h"

#include <QProgressBar>
#include <cstdlib>
#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(SoundWait, TheLevelBarShowsWhatTheInputHears) {
    const test::ScratchFolder folder;
    // 12 000 against the default threshold of 50 %, 16 383: level 73, short of firing.
    std::string samples;
    for (int i = 0; i < 4000; ++i) samples += std::string{'\xE0', '\x2E'};
    const std::string raw = folder.write("steady.raw", samples);
    setenv("ALSA_CONFIG_PATH",
           folder
               .write("alsa.conf", "pcm.null { type null }\npcm.!default { type file slave.pcm \"null\" file "
                                   "\"/dev/null\" infile \"" +
                                       raw + "\" format \"raw\" }\n")
               .c_str(),
           1);
    const std::string script = folder.write(
        "sound.txt", "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\nSound\t8\t1\t250\t100\t(L)\n");

    SystemClock clock;
    ThreadScheduler scheduler;
    const auto camera = makeVirtualCamera(*virtualPreset("bulb"), clock, scheduler);
    sdk::registerCameraDriver(camera);
    NoSerialPorts ports;
    PortAudioSoundInput sound;
    for (const int language : {kEnglish, kFrench}) {
        Program program(clock, ports);
        program.language = language;
        program.soundInput = &sound;
        program.options = parseCommandLine("-connect=\"\" -start=\"\" -load=\"" + script + "\"");
        QtDialogWindow window(
            MAIN_DIALOG, [&](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
            [&](int id) { return colourField(program.mainView(), id); });
        window.show();
        auto* bar = qobject_cast<QProgressBar*>(window.control(kLevelBar));
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(test::runEventsUntil([&] { return bar->isVisible() && bar->value() == 73; }, 10000));
        EXPECT_EQ(window.itemText(kStatusField), language == kEnglish ? "Sound ?" : "Son ?");
        EXPECT_FALSE(program.run.detection.triggered);
        window.saveScreenshot(QString::fromStdString(
            test::screenshotPath(language == kEnglish ? "sound-wait-en.png" : "sound-wait-fr.png")));
        stopRun(program, window);
        EXPECT_EQ(program.soundState, kSoundClosed);
        disconnectCamera(program, window);
        mainWindowProcedure(program, window, {MessageKind::Close, 0, {}});
    }
    sdk::unregisterCameraDriver(camera);
}

} // namespace
} // namespace orvex
