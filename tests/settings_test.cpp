#include "core/run_state.h"
#include "core/settings.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

TEST(Settings, DefaultsAndValuesAsWrittenByHand) {
    struct Case {
        const char* lines; // nullptr: no settings file
        bool infinite, ut;
        int count, level, threshold, pixels;
    };
    const Case cases[] = {
        {nullptr, false, false, 10, 20, 50, 10000},
        {"Infinite=yes\nUT=Yes\n", true, true, 10, 20, 50, 10000},
        {"Infinite=Y\nUT=1\n", false, false, 10, 20, 50, 10000},
        {"Count=12abc\n", false, false, 12, 20, 50, 10000},
        {"Count=abc\n", false, false, 0, 20, 50, 10000},
        // A threshold out of range would divide by zero in the sound detector; the move detector takes
        // whatever Level and Pixels say.
        {"Level=0\nThreshold=250\nPixels=-3\n", false, false, 10, 0, 100, -3},
        {"Level=150\nThreshold=0\nPixels=0\n", false, false, 10, 150, 1, 0},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string file = c.lines ? dir.write("Orvex.ini", std::string("[Corvane]\n") + c.lines)
                                         : (dir.path() / "Orvex.ini").string();
        Settings s;
        RunSettings run;
        loadSettings(file, s, run);
        SCOPED_TRACE(c.lines ? c.lines : "no file");
        EXPECT_EQ((std::tuple{run.loopInfinite, run.universalTime, run.loopCount, s.moveLevel,
                              s.soundThreshold.load(), s.movePixels}),
                  (std::tuple{c.infinite, c.ut, c.count, c.level, c.threshold, c.pixels}));
        EXPECT_EQ(s.scriptEditor, "Notepad.exe");
        EXPECT_EQ(s.pictureBrowser, "");
    }
}

TEST(Settings, KeyNamesIgnoreCaseAndValuesAreCutAt99WithoutTrailingBlanks) {
    TempDir dir;
    const std::string file =
        dir.write("Orvex.ini", "[Corvane]\nscript EDITOR=gedit\nImage file prefix=" + std::string(97, 'p') +
                                   "  xyz\nPicture browser=" + std::string(120, 'b') + "\n");
    Settings s;
    RunSettings run;
    loadSettings(file, s, run);
    EXPECT_EQ(s.scriptEditor, "gedit");
    EXPECT_EQ(s.imagePrefix, std::string(97, 'p'));
    EXPECT_EQ(s.pictureBrowser, std::string(99, 'b'));
}

// Twelve distinct values, so that no key can be written or read in another's place.
TEST(Settings, SavingWritesAllKeysInPlaceAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string file =
        dir.write("Orvex.ini", "[Other]\r\nkeep = me\r\n[Corvane]\r\nCustom=1\r\ncount = 3\r\n");
    const Settings s{"gedit", "eog", "m42", 7, 4321, 65};
    RunSettings run;
    run.loopInfinite = true;
    run.loopCount = 25;
    run.startHour = 21;
    run.startMinute = 34;
    run.startSecond = 56;
    run.universalTime = true;
    ASSERT_TRUE(saveSettings(file, s, run));
    EXPECT_EQ(dir.read(file), "[Other]\r\nkeep = me\r\n[Corvane]\r\nCustom=1\r\ncount = 25\r\n"
                              "Script editor=gedit\r\nPicture browser=eog\r\nImage file prefix=m42\r\n"
                              "Infinite=YES\r\nHours=21\r\nMinutes=34\r\nSeconds=56\r\nUT=YES\r\nLevel=7\r\n"
                              "Pixels=4321\r\nThreshold=65\r\n");

    Settings back;
    RunSettings runBack;
    loadSettings(file, back, runBack);
    EXPECT_EQ(
        std::tie(back.scriptEditor, back.pictureBrowser, back.imagePrefix, back.moveLevel, back.movePixels),
        std::tie(s.scriptEditor, s.pictureBrowser, s.imagePrefix, s.moveLevel, s.movePixels));
    EXPECT_EQ(back.soundThreshold, s.soundThreshold.load());
    EXPECT_EQ(std::tie(runBack.loopInfinite, runBack.loopCount, runBack.startHour, runBack.startMinute,
                       runBack.startSecond, runBack.universalTime),
              std::tie(run.loopInfinite, run.loopCount, run.startHour, run.startMinute, run.startSecond,
                       run.universalTime));
}

} // namespace
} // namespace orvex::test
