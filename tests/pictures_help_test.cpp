// The Pictures and ? menus on the headless window: which names Erase takes, the browser and the manual
// started with their arguments, and the version box.
#include "tests/support/test_program.h"
#include "ui/picture_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace orvex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::TestProgram;

TEST(PictureNames, OnlyTheNamesTheTransferGivesAreErased) {
    const struct {
        const char* name;
        bool picture;
    } cases[] = {
        {"2015-11-03_21-04-09_0007.JPG", true},
        {"night_2015-11-03_21-04-09_0007.CR2", true},
        {"my night.v2_2015-11-03_21-04-09_12345.jpg", true}, // a prefix with "_" and "."; shot 12345
        {"2015-11-03_21-04-09_0007", true},
        {"IMG_0001-1.JPG", true}, // the camera's name made unique after a clash
        {"_MG_0001-12.CR2", true},
        {"IMG_0001.JPG", false}, // the camera's own name, kept
        {"my-notes.txt", false},
        {"notes-2.txt", false},
        {"2015-11-03.txt", false},
        {"2015-11-03_21-04-09_007.JPG", false},
        {"2015-11-03_21-04-09_0007.JPG.bak", false},
        {".orvex-download-3.part", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isPictureName(c.name), c.picture) << c.name;
}

struct PicturesMenu : ::testing::Test {
    TempDir dir;
    TestProgram t{kEnglish};
    std::string folder; // the picture folder, with its separator
    void SetUp() override {
        t.start();
        Program& p = t.program;
        p.startupDirectory = dir.path().string() + "/";
        p.script.loaded = true;
        p.script.directory = p.startupDirectory;
        p.camera.name = "1 - Canon EOS 5D";
        p.camera.connected = true;
        p.options.saveToHost = true;
        updateMainControls(p, t.window);
        folder = p.startupDirectory + p.camera.name + "/";
    }
    void TearDown() override { t.program.camera.connected = false; }
};

TEST_F(PicturesMenu, EraseAsksThenDeletesOnlyPictures) {
    t.window.click(kMenuErase);
    EXPECT_TRUE(t.window.messageBoxes().empty()) << "no folder: no question";

    fs::create_directory(folder);
    const std::vector<std::string> pictures = {"2015-11-03_21-04-09_0007.JPG",
                                               "pre_2015-11-03_21-04-09_0008.CR2", "IMG_0002-1.JPG"};
    const std::vector<std::string> kept = {"IMG_0001.JPG", "my-notes.txt"};
    for (const auto& names : {pictures, kept})
        for (const std::string& name : names) dir.write(t.program.camera.name + "/" + name, "x");
    const auto present = [&](const std::vector<std::string>& names) {
        int n = 0;
        for (const std::string& name : names) n += fs::exists(folder + name);
        return n;
    };

    t.window.click(kMenuErase);
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    const MessageBoxRecord& box = t.window.messageBoxes()[0];
    EXPECT_EQ(box.text, "Confirm ?");
    EXPECT_EQ(box.caption, "Erase pictures");
    EXPECT_EQ(box.icon, BoxIcon::Question);
    EXPECT_EQ(box.buttons, BoxButtons::YesNo);
    EXPECT_EQ(present(pictures), 3) << "No erases nothing";

    t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
    t.window.click(kMenuErase);
    EXPECT_EQ(present(pictures), 0);
    EXPECT_EQ(present(kept), 2);
}

TEST_F(PicturesMenu, BrowseCreatesTheFolderAndStartsTheBrowserOnIt) {
    const std::string path = folder.substr(0, folder.size() - 1);
    t.window.click(kMenuBrowse);
    EXPECT_TRUE(fs::is_directory(folder));
    t.program.settings.pictureBrowser = "/opt/viewer";
    t.window.click(kMenuBrowse); // the folder exists already
    ASSERT_EQ(t.shell.started.size(), 2u);
    EXPECT_EQ(t.shell.started[0], (ProgramStart{ProgramKind::FileManager, "", {path}}));
    EXPECT_EQ(t.shell.started[1], (ProgramStart{ProgramKind::Named, "/opt/viewer", {path}}));
    EXPECT_TRUE(t.window.messageBoxes().empty());

    t.shell.fails = true;
    t.window.click(kMenuBrowse);
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(t.window.messageBoxes()[0].text, "Cannot execute /opt/viewer");
}

TEST(HelpMenu, AboutShowsTheVersionAndHelpOpensTheManualOfTheLanguageFromTheStartDirectory) {
    TempDir start, scripts;
    for (const char* name : {"Orvex_eng.pdf", "Orvex_fr.pdf"}) scripts.write(name, "%PDF");
    for (const int language : {kEnglish, kFrench}) {
        const bool french = language == kFrench;
        TestProgram t{language};
        t.start();
        const auto& boxes = t.window.messageBoxes();
        t.window.click(kMenuAbout);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(std::regex_match(
            boxes[0].text, std::regex("Corvane\r Quelm - Version\\([A-Z][a-z]{2} [ 123]\\d \\d{4}\\)\r")))
            << boxes[0].text;
        EXPECT_EQ(boxes[0].caption, french ? "A propos de Orvex" : "About Orvex");
        EXPECT_EQ(boxes[0].icon, BoxIcon::Information);

        t.program.startupDirectory = start.path().string() + "/";
        t.program.script.directory = scripts.path().string() + "/";
        t.window.click(kMenuHelp);
        ASSERT_EQ(boxes.size(), 2u) << "not taken from the script's folder";
        EXPECT_EQ(boxes[1].text, french ? "Aide non disponible" : "No help available");
        const std::string path = start.write(french ? "Orvex_fr.pdf" : "Orvex_eng.pdf", "%PDF");
        t.window.click(kMenuHelp);
        ASSERT_EQ(t.shell.started.size(), 1u);
        EXPECT_EQ(t.shell.started[0], (ProgramStart{ProgramKind::Document, "", {path}}));
        t.shell.fails = true;
        t.window.click(kMenuHelp);
        EXPECT_EQ(boxes.size(), 3u) << "nothing can open it";
    }
}

} // namespace
} // namespace orvex
