// Shots on virtual bodies: the release by command, cable, lock-up or hand, and the pictures. What a body
// accepts or refuses, and rehearsals whose timeline says it all, are scenarios (tests/scenarios/).
#include "run/run_end.h"
#include "tests/support/run_program.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>
#include <vector>

namespace orvex::test {
namespace {

constexpr const char* kCable = R"(-serialport="VirtualCable")";
const std::string kShot = line().delay(0).speed("1/250");

// The worker counts a picture only under its flag: with the queue empty and the flag clear, every picture
// handed over is counted, and a shot of one picture may end while that picture still comes over.
TEST(ShotExecution, TheWorkerCountsAPictureOnlyUnderItsCountingFlag) {
    struct Watch : RunObserver {
        const TransferStatus* status = nullptr;
        std::thread::id userInterface = std::this_thread::get_id();
        std::vector<bool> flags; // read once the worker is joined
        void statusChanged(RunStatus) override {}
        void shotCounted(int, int, int) override {
            if (std::this_thread::get_id() != userInterface) flags.push_back(status->counting);
        }
        void pictureStored(const std::string&) override {}
    };
    RunProgram t("bulb picturesPerShot=2"); // the second picture of each shot is counted by the worker
    Watch watch;
    watch.status = &t.program.transferStatus;
    t.start({kShot, kShot}, "", [&] { t.program.observer = &watch; });
    t.runFor(10000);
    t.program.transferWorker.join();
    EXPECT_EQ(watch.flags, (std::vector<bool>{true, true}));
}

// A bulb-command body times up to 3 s itself; beyond, the program holds the bulb open. Both end on time
// across the wrap of the 32-bit tick counter.
TEST(ShotExecution, ExposuresEndOnTimeAcrossTheTickWrap) {
    for (const auto& [speed, ticksBeforeWrap] :
         {std::pair{"5", 0u}, {"5", 2000u}, {"2", 1000u}, {"2", 5000u}}) {
        SCOPED_TRACE(::testing::Message() << speed << " " << ticksBeforeWrap);
        RunProgram t("bulb", {2026, 12, 6, 21, 0, 0, 0}, 0u - ticksBeforeWrap);
        t.start({line().delay(0).speed(speed)});
        EXPECT_EQ(t.program.camera.longestCameraTimedMs, 3000u);
        t.runFor(10000);
        EXPECT_EQ(t.timeline.only("status 196"), Strings{speed + std::string("000 status 196")});
        EXPECT_EQ(std::tuple(t.program.run.status, t.pictures().size()),
                  std::tuple(RunStatus::kCompleted, 1ul));
        // The cells left empty are the camera's: orange on beige.
        const FieldColour camera = {colours::lightBeige, colours::orange};
        const MainView view = t.program.mainView();
        EXPECT_EQ(std::tuple(colourField(view, kApertureField), colourField(view, kQualityField),
                             colourField(view, kSpeedField)),
                  std::tuple(camera, camera, FieldColour{}));
    }
}

// Bodies without bulb or shutter-button commands, with live view or without, hold a bulb exposure on the
// cable half a second longer. The 400D's pictures of a cable shot count as in only two seconds after they
// came. For a lock-up the cable raises the mirror, then presses the release once the countdown is over (a
// pause cuts it to half a second). A burst holds the cable for its seconds; when the run ends, two seconds
// after the last picture, is the burst scenario's timeline. The last change: the lines cleared again as the
// run ends.
TEST(ShotExecution, TheCableTimesBulbExposuresBurstsAndMirrorLockups) {
    const auto mirrorUp = [](CableEvents then) { // the lines set, and the mirror raised at 100 ms
        then.insert(then.begin(), {released(100), pressed(100), released(300)});
        return then;
    };
    const auto held = [](std::uint32_t until, std::uint32_t end) { // pressed at once
        return CableEvents{released(0), pressed(0), released(until), released(end)};
    };
    // pause: at 1 s, watched for 1 s; a second line keeps the run going after the shot.
    const std::tuple<const char*, const char*, const char*, int, bool, CableEvents> cases[] = {
        {"cable", "40", "", 0, false, held(40500, 41050)},
        {"liveview-cable", "40", "", 0, false, held(40500, 41050)},
        {"legacy-lockup", "40", "", 0, false, held(40500, 43000)},
        {"legacy-lockup customFunctions=7=1", "40", "2", 0, false,
         mirrorUp({pressed(2100), released(42600), released(45100)})},
        {"no-liveview", "1/250", "3", 0, false, mirrorUp({pressed(3100), released(3350), released(3500)})},
        {"no-liveview", "1/250", "5", 0, true, mirrorUp({pressed(1300), released(1550)})},
        {"bulb driveMode=1", "1/100", "", 3, false, held(3000, 5550)},
    };
    for (const auto& [body, speed, lockup, burst, pause, cable] : cases) {
        SCOPED_TRACE(std::string(body) + " lock-up " + lockup);
        RunProgram t(body);
        auto shot = line().delay(0).speed(speed);
        Strings lines{burst ? shot.burst(burst) : shot};
        if (pause) lines.push_back(line().delay(100));
        t.start(lines, kCable + (*lockup ? std::string(" -lockuptime=\"") + lockup + "\"" : ""));
        const RunStatus first = burst     ? RunStatus::kBurst
                                : *lockup ? RunStatus::kLockup
                                          : RunStatus::kExposure;
        EXPECT_EQ(t.timeline.only("status").front(), "0 " + statusEvent(first));
        t.runFor(1000);
        if (pause) t.window.click(kPauseButton);
        t.runFor(pause ? 1000 : 45000);
        EXPECT_EQ(t.cable(), cable);
        if (pause) continue;
        EXPECT_EQ(std::tuple(t.program.run.status, t.pictures().size()),
                  std::tuple(RunStatus::kCompleted, burst ? 16u : 1u));
    }
}

// What the picture folder already holds: a name taken, even the camera's own, gives the next free one and
// replaces nothing; what a crashed download left behind blocks nothing, nor does a download name refused with
// no file under it (here a folder; another Orvex's download stored as this one looks). A folder that refuses
// the download (a file now in its place) ends the run on that error, never "Completed" with its picture
// missing; a file there from the start keeps the run from starting, and so do a folder that takes no file (on
// a read-only disk, which refuses even root) and a script folder gone (moved, its disk unmounted), which is
// not made again elsewhere.
TEST(ShotExecution, ThePictureFolderAsTheShotFindsIt) {
    const std::string dated = "2026-12-06_21-00-00_0001.JPG";
    // Found: in the picture folder before the shot, each holding "an earlier night"; added: the picture
    // (none: the folder refuses it); the box; fileFirst: refused before the run (a file in the folder's
    // place), else during the exposure; held: a download name taken by a folder. First: the process names its
    // downloads from 0 on, as the crashed one did.
    const std::tuple<Strings, std::string, const char*, bool, bool, bool, const char*> cases[] = {
        {{".orvex-download-1.part"}, dated, "", false, false, false, ".orvex-download-0.part"},
        {{dated}, "IMG_0001.JPG", "", false, false, false, nullptr},
        {{dated, "IMG_0001.JPG"}, "IMG_0001-1.JPG", "", false, false, false, nullptr},
        {{}, "", "Stream open error", false, false, false, nullptr},
        {{}, "", "Unable to create picture directory", true, false, false, nullptr},
        {{}, "", "Unable to create picture directory", true, true, false, nullptr},
        {{}, "", "Unable to create picture directory", true, false, true, nullptr}};
    for (const auto& [found, added, box, fileFirst, scriptFolderGone, readOnly, held] : cases) {
        const bool refuses = added.empty();
        RunProgram t;
        const auto folder = t.dir.path() / "1 - Canon EOS 600D";
        if (readOnly)
            std::filesystem::create_directory_symlink("/proc/self", folder);
        else if (fileFirst)
            std::ofstream(folder) << "not a folder";
        else
            std::filesystem::create_directories(folder);
        for (const std::string& name : found) std::ofstream(folder / name) << "an earlier night";
        if (held) std::filesystem::create_directory(folder / held);
        const auto gone = t.dir.path() / "unmounted" / "";
        t.start({line().delay(0).speed("1")}, "", [&t, &gone, scriptFolderGone = scriptFolderGone] {
            if (scriptFolderGone) t.program.script.directory = gone.string();
        });
        EXPECT_FALSE(std::filesystem::exists(gone));
        if (refuses && !fileFirst) { // during the exposure
            std::filesystem::remove_all(folder);
            std::ofstream(folder) << "not a folder";
        }
        t.runFor(5000);
        EXPECT_EQ(
            std::tuple(t.program.run.status, t.program.run.running, t.lastBox() ? t.lastBox()->text : "",
                       t.camera->exposures()),
            std::tuple(refuses ? RunStatus::kError : RunStatus::kCompleted, false, box, fileFirst ? 0u : 1u));
        if (refuses) continue;
        Strings after = found;
        after.push_back(added);
        if (held) after.push_back(held);
        std::sort(after.begin(), after.end());
        EXPECT_EQ(t.pictures(), after);
        for (const std::string& name : found)
            EXPECT_EQ(t.dir.read(folder / name), "an earlier night") << name;
    }
}

// The photographer's hand needs neither live view nor a cable, and has no time limit.
TEST(ShotExecution, ManualReleaseWaitsForThePhotographer) {
    for (const char* body : {"bulb", "cable"}) {
        RunProgram t(body);
        t.start({line().delay(0).speed("1/250")}, "",
                [&] { t.window.listSelectIndex(kLockupList, t.window.listCount(kLockupList) - 1); });
        EXPECT_EQ(std::tuple(t.window.itemText(kStatusField), t.window.beeps()), std::tuple("Go!", 1))
            << body;
        t.runFor(60000);
        EXPECT_EQ(t.program.run.status, RunStatus::kManualRelease) << body;
        EXPECT_TRUE(t.camera->pressShutterByHand(true));
        t.camera->pressShutterByHand(false);
        t.runFor(3000);
        EXPECT_EQ(std::tuple(t.program.run.status, t.pictures().size()),
                  std::tuple(RunStatus::kCompleted, 1ul))
            << body;
    }
}

// A run ended while a bulb exposure holds the shutter open lets go of it, however the body holds it: ended
// from outside (by --until, an interrupt, the quit after a screenshot), or by an error, here the shot
// before's second file finding no picture folder to land in.
TEST(ShotExecution, ARunEndedDuringABulbExposureLetsGoOfTheShutter) {
    for (const auto& [body, error] :
         {std::pair{"bulb", false}, {"press-shutter aeMode=4", false}, {"bulb", true}}) {
        SCOPED_TRACE(std::string(body) + (error ? ", an error" : ", stopped"));
        RunProgram t(std::string(body) + " picturesPerShot=2 fileGapMs=3000");
        t.start({line().delay(0).speed("1"), line().delay(0).speed("40")});
        for (int tick = 0; tick < 100 && t.program.run.currentLine == 0; ++tick) t.runFor(50);
        t.runFor(100);
        ASSERT_TRUE(t.camera->shutterOpen());
        if (error) {
            const auto folder = t.dir.path() / "1 - Canon EOS 600D";
            std::filesystem::remove_all(folder);
            std::ofstream(folder) << "not a folder";
            t.runFor(5000);
            EXPECT_EQ(t.program.run.status, RunStatus::kError);
        } else {
            stopRun(t.program, t.window);
        }
        EXPECT_FALSE(t.camera->shutterOpen());
    }
}

// The port vanishes as the cable opens the second bulb exposure: the body lets go at once; the run learns it
// at its next step, stops in error with the port's message and closes the port.
TEST(ShotExecution, SerialPortVanishingStopsTheRunWithNothingLeftPressed) {
    RunProgram t("cable cableLostAt=2");
    t.program.language = kFrench;
    t.start({line().delay(0).speed("40"), line().delay(500).speed("40")}, kCable);
    t.runFor(51000);
    EXPECT_EQ(std::tuple(t.program.run.running, t.camera->shutterOpen()), std::tuple(true, false));
    t.runFor(41000);
    EXPECT_EQ(std::tuple(t.program.run.running, t.program.cable.get(), t.program.run.status),
              std::tuple(false, nullptr, RunStatus::kError));
    ASSERT_NE(t.lastBox(), nullptr);
    EXPECT_EQ(std::tuple(t.lastBox()->text, t.lastBox()->caption),
              std::tuple("Imposible d'accéder au port série VirtualCable !", "Erreur"));
    EXPECT_EQ(t.cable(), (CableEvents{released(0), pressed(0), released(40500), pressed(50000),
                                      released(90500), released(90500)}));
}

// While paused the photographer may use the body's own controls.
TEST(ShotExecution, PauseUnlocksTheBodyBetweenShots) {
    RunProgram t;
    t.start({kShot, line().delay(100)});
    for (const auto& [pressPause, locked] : {std::pair{false, true}, {true, false}, {true, true}}) {
        if (pressPause) t.window.click(kPauseButton);
        t.runFor(1000);
        EXPECT_EQ(t.camera->controlsLocked(), locked);
    }
}

} // namespace
} // namespace orvex::test
