// The Pictures and ? menus: which names Erase takes, the browser and the manual started with their
// arguments, and the version box.
#include "tests/support/test_program.h"
#include "ui/help_about.h"
#include "ui/picture_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <tuple>

namespace orvex {
namespace {

namespace fs = std::filesystem;
using test::RecordingShell;
using test::TempDir;
using test::TestProgram;

void none(Window&, const DialogMessage&) {}

// Only the names the transfer gives are erased: its own, whatever the prefix and the shot number, and the
// camera's made unique after a clash. The camera's own name is kept, as is anything else: an export or a
// sidecar named after a picture too.
TEST(PicturesMenu, EraseAsksThenDeletesOnlyPictures) {
    TempDir dir;
    HeadlessWindow w{none};
    const std::string folder =
        (dir.path() / "1 - Canon EOS 5D").string() + "/"; // as the main window names it
    erasePictures(folder, kEnglish, w);
    EXPECT_TRUE(w.messageBoxes().empty()) << "no folder: no question";

    fs::create_directory(folder);
    const std::set<std::string> pictures = {"2015-11-03_21-04-09_0007.JPG",
                                            "night_2015-11-03_21-04-09_0007.CR2",
                                            "my night.v2_2015-11-03_21-04-09_12345.jpg",
                                            "2015-11-03_21-04-09_0007",
                                            "IMG_0001-1.JPG",
                                            "_MG_0001-12.CR2",
                                            "2026-12-06_21-00-00_0001.cr3"},
                                kept = {"IMG_0001.JPG",
                                        "my-notes.txt",
                                        "notes-2.txt",
                                        "2015-11-03.txt",
                                        "2015-11-03_21-04-09_007.JPG",
                                        "2015-11-03_21-04-09_0007.JPG.bak",
                                        "2015-11-03_21-04-09_0007.tif",
                                        "2015-11-03_21-04-09_0007.xmp",
                                        ".orvex-download-3.part"};
    std::set<std::string> all = kept;
    all.insert(pictures.begin(), pictures.end());
    for (const std::string& name : all) dir.write("1 - Canon EOS 5D/" + name, "x");
    const auto present = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    };
    erasePictures(folder, kEnglish, w);
    ASSERT_EQ(w.messageBoxes().size(), 1u);
    const MessageBoxRecord& box = w.messageBoxes()[0];
    EXPECT_EQ(std::tie(box.text, box.caption, box.icon, box.buttons),
              std::tuple("Confirm ?", "Erase pictures", BoxIcon::Question, BoxButtons::YesNo));
    EXPECT_EQ(present(), all) << "No erases nothing";
    w.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
    erasePictures(folder, kEnglish, w);
    EXPECT_EQ(present(), kept);
}

// Through the main window: the folder is the script's, named after the camera; the manual is the start
// directory's.
TEST(PicturesMenu, BrowseCreatesTheFolderAndStartsTheBrowserOnIt) {
    TempDir dir;
    TestProgram t{kEnglish};
    t.start();
    Program& p = t.program;
    p.script.loaded = p.camera.connected = p.options.saveToHost = true;
    p.script.directory = dir.path().string() + "/";
    p.camera.name = "1 - Canon EOS 5D";
    updateMainControls(p.mainView(), t.window);
    const std::string path = p.script.directory + p.camera.name;
    t.window.click(kMenuBrowse);
    EXPECT_TRUE(fs::is_directory(path));
    p.settings.pictureBrowser = "/opt/viewer";
    t.window.click(kMenuBrowse); // the folder exists already
    EXPECT_EQ(t.shell.started, (std::vector<ProgramStart>{{ProgramKind::FileManager, "", {path}},
                                                          {ProgramKind::Named, "/opt/viewer", {path}}}));
    EXPECT_TRUE(t.window.messageBoxes().empty());
    t.shell.fails = true;
    t.window.click(kMenuBrowse);
    p.settings.pictureBrowser.clear();
    t.window.click(kMenuBrowse); // the file manager, named
    p.settings.pictureBrowser = "/opt/viewer";
    // Erase and About reach their menus too: Erase asks about the same folder. Help looks in the start
    // directory, not in the script's folder.
    dir.write(p.camera.name + "/IMG_0001-1.JPG", "x");
    t.window.click(kMenuErase);
    t.window.click(kMenuAbout);
    TempDir start;
    p.startupDirectory = start.path().string() + "/";
    dir.write("Orvex_eng.pdf", "%PDF");
    t.window.click(kMenuHelp);
    std::vector<std::string> boxes; // About's by its caption, the others by their text
    for (const auto& b : t.window.messageBoxes())
        boxes.push_back(b.caption == "About Orvex" ? b.caption : b.text);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Cannot execute /opt/viewer", "Cannot execute Explorer.exe",
                                               "Confirm ?", "About Orvex", "No help available"}));
    p.camera.connected = false;
}

// The manual of the language comes from the start directory, not from the script's folder.
TEST(HelpMenu, AboutShowsTheVersionAndHelpOpensTheManualOfTheLanguageFromTheStartDirectory) {
    for (const int language : {kEnglish, kFrench}) {
        const bool french = language == kFrench;
        TempDir start;
        HeadlessWindow w{none};
        RecordingShell shell;
        const auto& boxes = w.messageBoxes();
        showAbout(language, w);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(std::regex_match(
            boxes[0].text, std::regex("Corvane\r Quelm - Version\\([A-Z][a-z]{2} [ 123]\\d \\d{4}\\)\r")))
            << boxes[0].text;
        EXPECT_EQ(std::tie(boxes[0].caption, boxes[0].icon),
                  std::tuple(french ? "A propos de Orvex" : "About Orvex", BoxIcon::Information));
        const std::string directory = start.path().string() + "/";
        showHelp(directory, &shell, language, w);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, french ? "Aide non disponible" : "No help available");
        const std::string path = start.write(french ? "Orvex_fr.pdf" : "Orvex_eng.pdf", "%PDF");
        showHelp(directory, &shell, language, w);
        EXPECT_EQ(shell.started, (std::vector<ProgramStart>{{ProgramKind::Document, "", {path}}}));
        shell.fails = true;
        showHelp(directory, &shell, language, w);
        EXPECT_EQ(boxes.size(), 3u) << "nothing can open it";
    }
}

} // namespace
} // namespace orvex
