// The parameters dialog on the headless window: its checks in order, what OK stores and writes. The language
// change reaching the main window is seen on the real window (tests/qt/dialogs_offscreen_test.cpp).
#include "core/run_state.h"
#include "platform/headless/virtual_clock.h"
#include "resources/parameter_dialog.h"
#include "tests/support/test_program.h"
#include "ui/parameters_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace orvex {
namespace {

using test::TempDir;

// The dialog on the records it changes, over a window that only answers it.
struct Parameters : ::testing::Test {
    TempDir folder;
    VirtualClock clock{CivilTime{2026, 12, 31, 23, 59, 58, 0}};
    Settings settings;
    RunSettings run;
    int language = kEnglish;
    const std::string directory = folder.path().string() + "/", iniPath = directory + kSettingsFileName;
    HeadlessWindow w{[](Window&, const DialogMessage&) {}};
    void SetUp() override { loadSettings(iniPath, settings, run); } // no file yet: the defaults

    // Opens the dialog, lets the user act in it and press OK; returns whether the dialog closed.
    bool use(const std::function<void(HeadlessWindow&)>& act) {
        bool closed = false;
        w.onModal = [&](HeadlessWindow& d) {
            act(d);
            d.click(kOkCommand);
            closed = d.dialogEnded();
        };
        const ParameterRecords records{settings, run, language, directory, clock};
        w.runModal(PARAMETER_DIALOG,
                   [&](Window& d, const DialogMessage& m) { parametersProcedure(records, d, m); });
        return closed;
    }
};

TEST_F(Parameters, ChecksInOrderAndStoresNothingUntilAllPass) {
    const std::string browser = folder.write("viewer", "");
    const std::string deepBrowser = folder.write(std::string(120, 'v'), ""); // kept whole, as it exists
    const std::string range = "Loop count shoud be between 2 and 10000";
    std::string accented; // 120 bytes, from which the entry keeps 99 at most
    for (int i = 0; i < 60; ++i) accented += "é";
    const struct {
        std::string count, pixels, prefix, browser;
        bool infinite;
        std::string message; // empty: accepted
        int storedCount;
    } cases[] = {
        {"1", "5", "", "", false, range, 10},
        {"2", "5", "", "", false, "", 2},
        {"10000", "5", "", "", false, "", 10000},
        {"10001", "5", "", "", false, range, 10},
        {"12abc", "5", "", "", false, "", 12},
        {"10 000", "5", "", "", false, "", 10000},
        {"10\u202F000", "5", "", "", false, "", 10000},
        {"12 000", "5", "", "", false, range, 10},
        {"abc", "5", "", "", false, "Invalid loop count !", 10},
        {"abc", "5", "", "", true, "", 10},
        {"1", "0", ":", "/no/such", false, range, 10},
        {"5", "0", "", "", false, "Invalid pixel number", 10},
        {"5", "-5", "", "", false, "Invalid pixel number", 10},
        {"5", "2147483648", "", "", false, "Invalid pixel number", 10},
        {"5", "2\u00A0147 483 648", "", "", false, "Invalid pixel number", 10},
        {"5", "5", "a:b", "/no/such", false, "Invalid character in image file prefix", 10},
        {"5", "5", "a\tb", "", false, "Invalid character in image file prefix", 10},
        {"5", "5", " night.2\"x ", "", false, "", 5},
        {"5", "5", "", "/no/such", false, "Invalid picture browser !", 10},
        {"6", "5", "", deepBrowser, false, "", 6},
        {"5", "5", accented, "  " + browser + "\t", false, "", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count + " / " + c.pixels + " / " + c.prefix + " / " + c.browser);
        run.loopCount = 10, settings.movePixels = 10000, settings.imagePrefix = "old";
        const std::size_t before = w.messageBoxes().size();
        const bool closed = use([&](HeadlessWindow& d) {
            d.checkItem(kInfiniteCheck, c.infinite);
            d.setItemText(kCountEdit, c.count);
            d.setItemText(kPixelsEdit, c.pixels);
            d.setItemText(kPrefixEdit, c.prefix);
            d.setItemText(kBrowserEdit, c.browser);
        });
        const auto& boxes = w.messageBoxes();
        EXPECT_EQ(closed, c.message.empty());
        ASSERT_EQ(boxes.size(), before + !c.message.empty());
        if (!c.message.empty()) {
            EXPECT_EQ(boxes.back().text + "/" + boxes.back().caption, c.message + "/Error");
        }
        EXPECT_EQ(settings.movePixels, c.message.empty() ? 5 : 10000) << "nothing stored on a refusal";
        EXPECT_EQ(run.loopCount, c.storedCount);
    }
    EXPECT_EQ(settings.pictureBrowser, browser) << "trimmed";
    EXPECT_EQ(settings.imagePrefix, accented.substr(0, 98)) << "cut between two letters";
}

TEST_F(Parameters, OpensWithTheStoredValuesAndOkStoresAndWritesThemOrSaysItCannot) {
    settings.scriptEditor = "gedit"; // written by hand: the list does not offer it
    run.startHour = 25, run.startMinute = 5, run.loopInfinite = true;
    settings.moveLevel = 10, settings.imagePrefix = " cli ";
    use([](HeadlessWindow& d) {
        EXPECT_EQ(d.listText(kMinuteList, d.listSelection(kMinuteList)), "05");
        EXPECT_EQ(d.listSelection(kMoveLevelList), 9) << "10%, not the first entry beginning with 1";
        EXPECT_FALSE(d.isItemEnabled(kCountEdit)) << "Infinite keeps the count";
        d.click(kInfiniteCheck);
        EXPECT_EQ(
            std::tuple(d.isItemEnabled(kCountEdit), d.listSelection(kEditorList), d.listSelection(kHourList)),
            std::tuple(true, -1, -1));
        d.listSelectIndex(kThresholdList, 99);
        d.listSelectIndex(kMoveLevelList, 19); // 20%
        d.checkItem(kUtCheck, true);
        d.click(kCurrentTimeButton); // UT: the virtual clock's zone is UT itself
        EXPECT_EQ(d.listText(kSecondList, d.listSelection(kSecondList)), "58");
        d.listSelectIndex(kHourList, -1);
    });
    // The editor written by hand is kept, not emptied.
    EXPECT_EQ(std::tuple(settings.scriptEditor, run.startHour, run.startMinute,
                         settings.soundThreshold.load(), settings.moveLevel, run.universalTime,
                         settings.imagePrefix),
              std::tuple("gedit", 0, 59, 100, 20, true, "cli"));
    for (const char* line : {"[Corvane]\n", "Script editor=gedit\n", "Image file prefix=cli\n",
                             "Threshold=100\n", "Level=20\n", "Count=10\n", "Minutes=59\n", "UT=YES\n"})
        EXPECT_NE(folder.read(iniPath).find(line), std::string::npos) << line;

    std::filesystem::remove(iniPath);
    std::filesystem::create_directory(iniPath); // a folder in the file's place cannot be replaced
    EXPECT_TRUE(use([](HeadlessWindow& d) { d.setItemText(kCountEdit, "50"); }))
        << "a failed write closes the dialog all the same";
    ASSERT_EQ(w.messageBoxes().size(), 1u);
    EXPECT_EQ(w.messageBoxes()[0].text, "Unable to access file " + iniPath);
    // Once the file can be written, OK writes the change it lost, though the user did not make it again.
    std::filesystem::remove(iniPath);
    folder.write(kSettingsFileName, "[Corvane]\nCount=10\n");
    use([](HeadlessWindow&) {});
    EXPECT_NE(folder.read(iniPath).find("Count=50\n"), std::string::npos);
}

// Two Orvex started in one folder: what one saved stays when the other saves what its user changed.
TEST_F(Parameters, OkKeepsWhatAnotherOrvexSavedMeanwhile) {
    Settings other;
    RunSettings otherRun;
    loadSettings(iniPath, other, otherRun);
    other.imagePrefix = "north";
    ASSERT_TRUE(saveSettings(iniPath, other, otherRun));
    use([](HeadlessWindow& d) { d.setItemText(kCountEdit, "50"); });
    loadSettings(iniPath, other, otherRun);
    EXPECT_EQ(other.imagePrefix, "north");
    EXPECT_EQ(otherRun.loopCount, 50);
}

} // namespace
} // namespace orvex
