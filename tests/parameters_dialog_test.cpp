// The parameters dialog on the headless window: its checks in order, what OK stores and writes, and the
// language change reaching the main window.
#include "core/run_state.h"
#include "resources/parameter_dialog.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <functional>

namespace orvex {
namespace {

using test::TempDir;
using test::TestProgram;

struct Parameters : ::testing::Test {
    TempDir folder;
    TestProgram t{kEnglish, CivilTime{2026, 12, 31, 23, 59, 58, 0}};
    std::string iniPath;

    void SetUp() override {
        t.start();
        t.program.startupDirectory = folder.path().string() + "/";
        iniPath = t.program.startupDirectory + kSettingsFileName;
    }
    // Opens the dialog, lets the user act in it; returns whether the dialog closed.
    bool use(const std::function<void(HeadlessWindow&)>& act, bool pressOk = true) {
        bool closed = false;
        t.window.onModal = [&](HeadlessWindow& d) {
            act(d);
            if (pressOk) d.click(kOkCommand);
            closed = d.dialogEnded();
        };
        t.window.click(kMenuParameters);
        return closed;
    }
    std::string ini() const { return folder.read(iniPath); }
};

TEST_F(Parameters, ChecksInOrderAndStoresNothingUntilAllPass) {
    const std::string browser = folder.write("viewer", "");
    struct Case {
        std::string count, pixels, prefix, browser;
        bool infinite;
        std::string message; // empty: accepted
        int storedCount;
    };
    const std::string range = "Loop count shoud be between 2 and 10000";
    const Case cases[] = {
        {"1", "5", "", "", false, range, 10},
        {"2", "5", "", "", false, "", 2},
        {"10000", "5", "", "", false, "", 10000},
        {"10001", "5", "", "", false, range, 10},
        {"12abc", "5", "", "", false, "", 12},
        {"abc", "5", "", "", false, "Invalid loop count !", 10},
        {"abc", "5", "", "", true, "", 10},
        {"1", "0", ":", "/no/such", false, range, 10},
        {"5", "0", "", "", false, "Invalid pixel number", 10},
        {"5", "-5", "", "", false, "Invalid pixel number", 10},
        {"5", "5", "a:b", "/no/such", false, "Invalid character in image file prefix", 10},
        {"5", "5", " night.2\"x ", "", false, "", 5},
        {"5", "5", "", "/no/such", false, "Invalid picture browser !", 10},
        {"5", "5", "", "  " + browser + "\t", false, "", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count + " / " + c.pixels + " / " + c.prefix + " / " + c.browser);
        t.program.run.settings.loopCount = 10;
        t.program.settings.movePixels = 10000;
        t.program.settings.imagePrefix = "old";
        const std::size_t before = t.window.messageBoxes().size();
        const bool closed = use([&](HeadlessWindow& d) {
            d.checkItem(kInfiniteCheck, c.infinite);
            d.setItemText(kCountEdit, c.count);
            d.setItemText(kPixelsEdit, c.pixels);
            d.setItemText(kPrefixEdit, c.prefix);
            d.setItemText(kBrowserEdit, c.browser);
        });
        const auto& boxes = t.window.messageBoxes();
        EXPECT_EQ(closed, c.message.empty());
        if (c.message.empty()) {
            EXPECT_EQ(boxes.size(), before);
            EXPECT_EQ(t.program.settings.movePixels, 5);
        } else {
            ASSERT_EQ(boxes.size(), before + 1);
            EXPECT_EQ(boxes.back().text, c.message);
            EXPECT_EQ(boxes.back().caption, "Error");
            EXPECT_EQ(t.program.settings.movePixels, 10000) << "nothing stored";
        }
        EXPECT_EQ(t.program.run.settings.loopCount, c.storedCount);
    }
    EXPECT_EQ(t.program.settings.pictureBrowser, browser) << "trimmed";
}

TEST_F(Parameters, OpensWithTheStoredValuesAndOkStoresAndWritesThemOrSaysItCannot) {
    t.program.settings.scriptEditor = "gedit"; // written by hand: the list does not offer it
    t.program.run.settings.startHour = 25;
    t.program.run.settings.startMinute = 5;
    t.program.run.settings.loopInfinite = true;
    t.program.settings.moveLevel = 10;
    t.program.settings.imagePrefix = " cli ";
    use([](HeadlessWindow& d) {
        EXPECT_EQ(d.listText(kMinuteList, d.listSelection(kMinuteList)), "05");
        EXPECT_EQ(d.listSelection(kMoveLevelList), 9) << "10%, not the first entry beginning with 1";
        EXPECT_FALSE(d.isItemEnabled(kCountEdit)) << "Infinite keeps the count";
        d.click(kInfiniteCheck);
        EXPECT_TRUE(d.isItemEnabled(kCountEdit));
        EXPECT_EQ(d.listSelection(kEditorList), -1);
        EXPECT_EQ(d.listSelection(kHourList), -1);
        d.listSelectIndex(kThresholdList, 99);
        d.listSelectIndex(kMoveLevelList, 19); // 20%
        d.checkItem(kUtCheck, true);
        d.click(kCurrentTimeButton); // UT: the virtual clock's zone is UT itself
        EXPECT_EQ(d.listText(kSecondList, d.listSelection(kSecondList)), "58");
        d.listSelectIndex(kHourList, -1);
    });
    EXPECT_EQ(t.program.settings.scriptEditor, "gedit") << "kept, not emptied";
    EXPECT_EQ(t.program.run.settings.startHour, 0);
    EXPECT_EQ(t.program.run.settings.startMinute, 59);
    EXPECT_EQ(t.program.settings.soundThreshold, 100);
    EXPECT_EQ(t.program.settings.moveLevel, 20);
    EXPECT_TRUE(t.program.run.settings.universalTime);
    EXPECT_EQ(t.program.settings.imagePrefix, "cli");
    for (const char* line : {"[Corvane]\n", "Script editor=gedit\n", "Image file prefix=cli\n",
                             "Threshold=100\n", "Level=20\n", "Count=10\n", "Minutes=59\n", "UT=YES\n"})
        EXPECT_NE(ini().find(line), std::string::npos) << line;

    std::filesystem::remove(iniPath);
    std::filesystem::create_directory(iniPath); // a folder in the file's place cannot be replaced
    EXPECT_TRUE(use([](HeadlessWindow&) {})) << "a failed write closes the dialog all the same";
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(t.window.messageBoxes()[0].text, "Unable to access file " + iniPath);
}

TEST_F(Parameters, ANewLanguageRebuildsTheMainWindowAtOnce) {
    t.window.listSelectIndex(kLockupList, 3);
    t.window.listSelectIndex(kSaveToList, 1);
    t.window.listSelectIndex(kZoomList, 2);
    use([](HeadlessWindow& d) {
        EXPECT_EQ(d.listText(kLanguageList, 1), "French");
        d.listSelectIndex(kLanguageList, 1);
    });
    EXPECT_EQ(t.program.language, kFrench);
    HeadlessWindow& w = t.window;
    EXPECT_EQ(w.menus()[2].entries[0].text, "Paramètres");
    EXPECT_EQ(w.itemText(kCameraField), "Déconnecté");
    EXPECT_EQ(w.listText(kSaveToList, 1), "Appareil");
    for (const auto& [list, selected] : {std::pair{kLockupList, 3}, {kSaveToList, 1}, {kZoomList, 2}})
        EXPECT_EQ(w.listSelection(list), selected) << "selections survive";
    EXPECT_NE(ini().find("Script editor"), std::string::npos) << "keys stay English";

    use([](HeadlessWindow& d) {
        EXPECT_EQ(d.listText(kLanguageList, 0), "Anglais");
        d.listSelectIndex(kLanguageList, 0);
    });
    EXPECT_EQ(t.program.language, kEnglish);
    EXPECT_EQ(w.itemText(kConnectButton), "Connect");

    std::filesystem::remove(iniPath);
    use([](HeadlessWindow& d) { d.listSelectIndex(kLanguageList, 1); }, false);
    EXPECT_EQ(t.program.language, kEnglish) << "Cancel changes nothing";
    EXPECT_FALSE(std::filesystem::exists(iniPath)) << "and writes nothing";
}

} // namespace
} // namespace orvex
