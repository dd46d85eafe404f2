// The Pictures and ? menus on the headless window: which names Erase takes, the browser and the manual
// started with their arguments, and the version box.
#include "tests/support/test_program.h"
#include "ui/picture_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <tuple>

namespace orvex {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::TestProgram;

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
        updateMainControls(p.mainView(), t.window);
        folder = p.startupDirectory + p.camera.name + "/";
    }
    void TearDown() override { t.program.camera.connected = false; }
};

// Only the names the transfer gives are erased: its own, whatever the prefix and the shot number, and the
// camera's made unique after a clash.
TEST_F(PicturesMenu, EraseAsksThenDeletesOnlyPictures) {
    t.window.click(kMenuErase);
    EXPECT_TRUE(t.window.messageBoxes().empty()) << "no folder: no question";

    fs::create_directory(folder);
    std::set<std::string> pictures, kept;
    for (const char* name : {"2015-11-03_21-04-09_0007.JPG", "night_2015-11-03_21-04-09_0007.CR2",
                             "my night.v2_2015-11-03_21-04-09_12345.jpg", "2015-11-03_21-04-09_0007",
                             "IMG_0001-1.JPG", "_MG_0001-12.CR2"})
        pictures.insert(name);
    // The camera's own name is kept, as is anything else.
    for (const char* name :
         {"IMG_0001.JPG", "my-notes.txt", "notes-2.txt", "2015-11-03.txt", "2015-11-03_21-04-09_007.JPG",
          "2015-11-03_21-04-09_0007.JPG.bak", ".orvex-download-3.part"})
        kept.insert(name);
    std::set<std::string> all = kept;
    all.insert(pictures.begin(), pictures.end());
    for (const std::string& name : all) dir.write(t.program.camera.name + "/" + name, "x");
    const auto present = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    };

    t.window.click(kMenuErase);
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    const MessageBoxRecord& box = t.window.messageBoxes()[0];
    EXPECT_EQ(std::tie(box.text, box.caption, box.icon, box.buttons),
              std::tuple("Confirm ?", "Erase pictures", BoxIcon::Question, BoxButtons::YesNo));
    EXPECT_EQ(present(), all) << "No erases nothing";

    t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
    t.window.click(kMenuErase);
    EXPECT_EQ(present(), kept);
}

TEST_F(PicturesMenu, BrowseCreatesTheFolderAndStartsTheBrowserOnIt) {
    const std::string path = folder.substr(0, folder.size() - 1);
    t.window.click(kMenuBrowse);
    EXPECT_TRUE(fs::is_directory(folder));
    t.program.settings.pictureBrowser = "/opt/viewer";
    t.window.click(kMenuBrowse); // the folder exists already
    EXPECT_EQ(t.shell.started, (std::vector<ProgramStart>{{ProgramKind::FileManager, "", {path}},
                                                          {ProgramKind::Named, "/opt/viewer", {path}}}));
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
        EXPECT_EQ(std::tie(boxes[0].caption, boxes[0].icon),
                  std::tuple(french ? "A propos de Orvex" : "About Orvex", BoxIcon::Information));

        t.program.startupDirectory = start.path().string() + "/";
        t.program.script.directory = scripts.path().string() + "/";
        t.window.click(kMenuHelp);
        ASSERT_EQ(boxes.size(), 2u) << "not taken from the script's folder";
        EXPECT_EQ(boxes[1].text, french ? "Aide non disponible" : "No help available");
        const std::string path = start.write(french ? "Orvex_fr.pdf" : "Orvex_eng.pdf", "%PDF");
        t.window.click(kMenuHelp);
        EXPECT_EQ(t.shell.started, (std::vector<ProgramStart>{{ProgramKind::Document, "", {path}}}));
        t.shell.fails = true;
        t.window.click(kMenuHelp);
        EXPECT_EQ(boxes.size(), 3u) << "nothing can open it";
    }
}

} // namespace
} // namespace orvex
