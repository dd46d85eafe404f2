// The Script menu and dropped files on the headless window: the file dialogs, the new-script template, and
// the editor started with the script as one argument.
#include "app/script_menu.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"
#include "ui/external_programs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace orvex {
namespace {

using test::line;
using test::scriptText;
using test::TempDir;
using test::TestProgram;

struct ScriptMenu : ::testing::Test {
    TempDir folder;
    TestProgram t;
    void SetUp() override { t.start(); }
    void choose(const std::optional<std::string>& file) {
        t.window.chooseFile = [file](const FileDialogRequest&) { return file; };
    }
};

TEST_F(ScriptMenu, LoadAndDropLoadTheScript) {
    const std::string night = folder.write(
        "night.txt", scriptText({line().delay(10).aperture("5.6").speed("1/250").iso(400).quality("L")}));
    const std::string day = folder.write("day.txt", scriptText({line().delay(10)}));
    choose(std::nullopt);
    t.window.click(kMenuLoad);
    EXPECT_FALSE(t.program.script.loaded) << "cancelled";
    const FileDialogRequest& asked = t.window.fileDialogs().back();
    EXPECT_EQ(
        std::tie(asked.title, asked.filter, asked.folder, asked.mustExist),
        std::tuple("Orvex - Load script file", "Orvex script file#*.txt|", t.program.script.directory, true));
    choose(night);
    t.window.click(kMenuLoad);
    EXPECT_EQ(t.program.script.path, night);

    t.window.send({MessageKind::Drop, 0, {day, night, "/no/such.txt"}});
    EXPECT_EQ(t.program.script.path, day) << "only the first file";
    t.program.run.running = true; // a drop queued before a run started arrives during it
    t.window.send({MessageKind::Drop, 0, {night}});
    t.program.run.running = false;
    EXPECT_EQ(t.program.script.path, day);
}

TEST_F(ScriptMenu, ModifyOpensTheScriptInTheEditorAsOneArgument) {
    const std::string path = folder.write("my night.txt", scriptText({line().delay(10)}));
    t.window.click(kMenuModify);
    EXPECT_TRUE(t.shell.started.empty()) << "no script loaded";
    choose(path);
    t.window.click(kMenuLoad);
    // The stored name stands for one of the desktop's programs, whatever its case, or is a program itself.
    for (const auto& [editor, kind, name] : {std::tuple{"notepad.EXE", ProgramKind::TextEditor, ""},
                                             {"Excel.exe", ProgramKind::Spreadsheet, ""},
                                             {"scalc.exe", ProgramKind::Spreadsheet, ""},
                                             {"Explorer.exe", ProgramKind::FileManager, ""},
                                             {"", ProgramKind::FileManager, ""},
                                             {"Notepad", ProgramKind::Named, "Notepad"},
                                             {"/opt/bin/ed", ProgramKind::Named, "/opt/bin/ed"}}) {
        t.program.settings.scriptEditor = editor;
        t.window.click(kMenuModify);
        EXPECT_EQ(t.shell.started.back(), (ProgramStart{kind, name, {path}})) << editor;
    }
    EXPECT_TRUE(t.window.messageBoxes().empty());

    t.shell.fails = true;
    t.window.click(kMenuModify);
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(std::tie(t.window.messageBoxes()[0].text, t.window.messageBoxes()[0].caption),
              std::tuple("Cannot execute /opt/bin/ed", "Error"));
}

TEST_F(ScriptMenu, EditCreatesANewScriptOnlyWhenAskedTo) {
    const std::string upper = folder.write("OLD.TXT", "kept");
    const std::string fresh = (folder.path() / "new one").string();
    struct Case {
        std::string chosen, opened;
        BoxAnswer answer;
        std::string question; // empty: none asked
    };
    const Case cases[] = {
        {upper, upper, BoxAnswer::No, ""},
        {fresh, "", BoxAnswer::No, fresh + ".txt does not exist. Create new script ?"},
        {fresh, fresh + ".txt", BoxAnswer::Yes, fresh + ".txt does not exist. Create new script ?"},
        {fresh + ".txt", fresh + ".txt", BoxAnswer::No, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        const std::size_t boxes = t.window.messageBoxes().size();
        const std::size_t started = t.shell.started.size();
        choose(c.chosen);
        t.window.answer = [&c](const MessageBoxRecord&) { return c.answer; };
        t.window.click(kMenuEdit);
        EXPECT_FALSE(t.window.fileDialogs().back().mustExist);
        EXPECT_EQ(t.window.messageBoxes().size(), boxes + (c.question.empty() ? 0 : 1));
        EXPECT_EQ(c.question.empty() ? "" : t.window.messageBoxes().back().text, c.question);
        ASSERT_EQ(t.shell.started.size(), started + (c.opened.empty() ? 0 : 1));
        if (c.opened.empty()) {
            EXPECT_FALSE(std::filesystem::exists(fresh + ".txt")) << "No creates nothing";
            continue;
        }
        EXPECT_EQ(t.shell.started.back().arguments, std::vector<std::string>{c.opened});
    }
    EXPECT_EQ(folder.read(fresh + ".txt"), "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n");
    EXPECT_EQ(folder.read(upper), "kept");
    EXPECT_FALSE(t.program.script.loaded) << "Edit does not load";

    // A new script that cannot be written is reported and not opened.
    choose((folder.path() / "no folder" / "x").string());
    t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
    const std::size_t started = t.shell.started.size();
    t.window.click(kMenuEdit);
    EXPECT_EQ(t.window.messageBoxes().back().text,
              "Unable to access file " + (folder.path() / "no folder" / "x.txt").string());
    EXPECT_EQ(t.shell.started.size(), started);
}

} // namespace
} // namespace orvex
