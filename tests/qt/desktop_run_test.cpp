// The desktop program's own window on the computer's clock: waiting for a sound its input hears, and running
// a script to its end on a French desktop driving the tests' emulated EOS body through
// the real libgphoto2, whose labels read in French there ("Manuel", "pose longue", "Carte mémoire" …).
#include "core/run_state.h"
#include "platform/portaudio/portaudio_sound_input.h"
#include "run/run_end.h"
#include "run/sound_detection.h"
#include "sdk/gphoto2/gphoto_driver.h"
#include "tests/qt/program_window.h"
#include "tests/support/scoped_env.h"

#include <QMessageBox>
#include <QProgressBar>

#include <gmock/gmock.h>

#include <clocale>
#include <libintl.h>

namespace orvex::test {
namespace {

// In both languages, the computer's input reached through PortAudio (ALSA's file plugin reading steady
// samples, on a machine without a sound card) feeds the level bar.
TEST(DesktopRun, WaitingForASoundTheLevelBarShowsWhatTheInputHears) {
    const ScratchFolder folder;
    // 12 000 against the default threshold of 50 %, 16 383: level 73, short of firing.
    std::string samples;
    for (int i = 0; i < 4000; ++i) samples += std::string{'\xE0', '\x2E'};
    const std::string alsa =
        "pcm.null { type null }\npcm.!default { type file slave.pcm \"null\" file \"/dev/null\" "
        "infile \"" +
        folder.write("steady.raw", samples) + "\" format \"raw\" }\n";
    const ScopedEnv config("ALSA_CONFIG_PATH", folder.write("alsa.conf", alsa).c_str());
    const PluggedBody body("bulb");
    PortAudioSoundInput sound;
    for (const int language : {kEnglish, kFrench}) {
        ProgramWindow t(language);
        t.program.soundInput = &sound;
        QtDialogWindow& window =
            t.start("-connect=\"\" -start=\"\" " + t.loading("sound.txt", "Sound\t8\t1\t250\t100\t(L)\n"));
        auto* bar = qobject_cast<QProgressBar*>(window.control(kLevelBar));
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(runEventsUntil([&] { return bar->isVisible() && bar->value() == 73; }, 10000));
        EXPECT_EQ(window.itemText(kStatusField), language == kEnglish ? "Sound ?" : "Son ?");
        EXPECT_FALSE(t.program.run.detection.triggered);
        window.saveScreenshot(
            screenshotPath(language == kEnglish ? "sound-wait-en.png" : "sound-wait-fr.png"));
        stopRun(t.program, window);
        EXPECT_EQ(t.program.soundState, kSoundClosed);
    }
}

std::vector<std::string> bodyLog(const std::string& home) {
    std::ifstream log(home + "/body.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
}

// A French user whose body is the emulated one: a 700D without the "bulb" widget, so that bulb goes by the
// remote release. A 4 s exposure is beyond what the body times itself here: the program holds the release.
TEST(DesktopRun, OnAFrenchDesktopABulbExposureIsSavedToTheCardAndTheFocusDriven) {
    ProgramWindow desktop(kFrench);
    const std::string home = desktop.folder.path(), log = home + "/body.log";
    const ScopedEnv environment[] = {{"CAMLIBS", ORVEX_EMULATED_CAMLIBS},
                                     {"IOLIBS", ORVEX_EMULATED_IOLIBS},
                                     {"HOME", home.c_str()},
                                     {"ORVEX_EMULATED_BODIES", "3272"},
                                     {"ORVEX_EMULATED_FAULTS", "no-bulb"},
                                     {"ORVEX_EMULATED_LOG", log.c_str()}};
    const ScopedLocale locale("fr_FR.UTF-8");
    ASSERT_TRUE(locale.taken()) << "no French locale: run scripts/install-deps.sh";
    ASSERT_STREQ(dgettext("libgphoto2-6", "Manual"), "Manuel")
        << "no libgphoto2-l10n: run scripts/install-deps.sh";
    const auto driver = makeGphotoDriver();
    sdk::registerCameraDriver(driver);
    // A message box would stop the run where it stands: it is noted and closed.
    std::vector<std::string> boxes;
    QTimer boxCloser;
    QObject::connect(&boxCloser, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes.push_back(box->text().toStdString());
            box->done(QMessageBox::Ok);
        }
    });
    boxCloser.start(50);
    desktop.start("-connect=\"\" -savetocam -start=\"\" " +
                  desktop.loading("night.txt", "0\t8\t4\t1\t100\tR\n2\t8\t1\t250\t100\tR\n"));
    const Program& program = desktop.program;
    EXPECT_TRUE(runEventsUntil([&] { return !program.run.running; }, 30000));
    EXPECT_EQ(messageOf(program.run.status), messageOf(RunStatus::kCompleted));
    EXPECT_EQ(program.run.shotCount.load(), 2);
    EXPECT_THAT(desktop.window->itemText(kShotsField), ::testing::StartsWith("2   ["))
        << "and the card's room";
    EXPECT_THAT(boxes, ::testing::IsEmpty());
    // A step of the focus drive, as the live view window asks it.
    EXPECT_EQ(EdsSendCommand(program.camera.camera, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near1),
              EDS_ERR_OK);
    EXPECT_THAT(bodyLog(home),
                ::testing::IsSupersetOf({"set capturetarget Memory card", "set shutterspeed bulb",
                                         "set eosremoterelease Press Full",
                                         "file /store_00020001/DCIM/100CANON/IMG_0002.CR2",
                                         "set manualfocusdrive Near 1"}));
    if (desktop.window && desktop.program.camera.connected)
        disconnectCamera(desktop.program, *desktop.window);
    sdk::unregisterCameraDriver(driver);
}

} // namespace
} // namespace orvex::test
