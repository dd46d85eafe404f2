// The Script menu and dropped files on the headless window: the file dialogs, the new-script template, the
// editor started with the script as one argument, and the chain dialog: building the list, its refusals, and
// the link files.
#include "app/script_menu.h"
#include "resources/script_chain_dialog.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"
#include "ui/external_programs.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace orvex {
namespace {

using test::line;
using test::scriptText;
using test::TempDir;
using test::TestProgram;
namespace fs = std::filesystem;

struct ScriptMenu : ::testing::Test {
    TempDir folder;
    TestProgram t;
    void SetUp() override { t.start(); }
    void choose(const std::optional<std::string>& file) {
        t.window.chooseFile = [file](const FileDialogRequest&) { return file; };
    }
    void answer(BoxAnswer a) {
        t.window.answer = [a](const MessageBoxRecord&) { return a; };
    }
    std::string lastBox() const {
        return t.window.messageBoxes().empty() ? "" : t.window.messageBoxes().back().text;
    }
};

TEST_F(ScriptMenu, LoadDropAndNextLoadTheScript) {
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

    // With no run, the chain's buttons act at once.
    folder.write("day.next", "night.txt");
    // A link the disk refuses to read is reported as such, and the script stays.
    fs::create_symlink("/proc/self/mem", folder.path() / "night.next");
    t.window.click(kNextScriptButton);
    EXPECT_EQ(t.program.script.path, night);
    t.window.click(kNextScriptButton);
    EXPECT_EQ(std::pair(lastBox(), t.program.script.path),
              std::pair("Unable to access file " + (folder.path() / "night.next").string(), night));
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
    // Loaded by a name relative to the start-up folder that begins with a dash: no editor takes it for an
    // option.
    t.program.script.path = "-x.txt";
    t.window.click(kMenuModify);
    EXPECT_EQ(t.shell.started.back().arguments, std::vector<std::string>{"./-x.txt"});
    t.program.script.path = path;
    EXPECT_TRUE(t.window.messageBoxes().empty());

    t.shell.fails = true;
    t.window.click(kMenuModify);
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    const MessageBoxRecord& box = t.window.messageBoxes()[0];
    EXPECT_EQ(std::tie(box.text, box.caption), std::tuple("Cannot execute /opt/bin/ed", "Error"));
}

TEST_F(ScriptMenu, EditCreatesANewScriptOnlyWhenAskedTo) {
    const std::string upper = folder.write("OLD.TXT", "kept");
    const std::string fresh = (folder.path() / "new one").string();
    const struct {
        std::string chosen, opened;
        BoxAnswer answer;
        std::string question; // empty: none asked
    } cases[] = {
        {upper, upper, BoxAnswer::No, ""},
        {fresh, "", BoxAnswer::No, fresh + ".txt does not exist. Create new script ?"},
        {fresh, fresh + ".txt", BoxAnswer::Yes, fresh + ".txt does not exist. Create new script ?"},
        {fresh + ".txt", fresh + ".txt", BoxAnswer::No, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        const std::size_t boxes = t.window.messageBoxes().size(), started = t.shell.started.size();
        choose(c.chosen);
        answer(c.answer);
        t.window.click(kMenuEdit);
        EXPECT_FALSE(t.window.fileDialogs().back().mustExist);
        EXPECT_EQ(t.window.messageBoxes().size(), boxes + (c.question.empty() ? 0 : 1));
        EXPECT_EQ(c.question.empty() ? "" : lastBox(), c.question);
        ASSERT_EQ(t.shell.started.size(), started + (c.opened.empty() ? 0 : 1));
        if (c.opened.empty()) {
            EXPECT_FALSE(std::filesystem::exists(fresh + ".txt")) << "No creates nothing";
            continue;
        }
        EXPECT_EQ(t.shell.started.back().arguments, std::vector<std::string>{c.opened});
    }
    EXPECT_EQ(std::tuple(folder.read(fresh + ".txt"), folder.read(upper)),
              std::tuple("DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n", "kept"));
    EXPECT_FALSE(t.program.script.loaded) << "Edit does not load";

    // A new script that cannot be written is reported and not opened.
    choose((folder.path() / "no folder" / "x").string());
    answer(BoxAnswer::Yes);
    const std::size_t started = t.shell.started.size();
    t.window.click(kMenuEdit);
    EXPECT_EQ(lastBox(), "Unable to access file " + (folder.path() / "no folder" / "x.txt").string());
    EXPECT_EQ(t.shell.started.size(), started);
}

struct ChainDialog : ScriptMenu {
    void SetUp() override {
        ScriptMenu::SetUp();
        for (const char* name : {"a.txt", "b.txt", "c.txt", "A.txt", "d.TXT"}) folder.write(name, "");
    }
    std::string path(const std::string& name) const { return (folder.path() / name).string(); }
    // Runs the dialog; `act` adds and clicks in it.
    void open(const std::function<void(HeadlessWindow&)>& act) {
        t.window.onModal = act;
        t.window.click(kMenuChain);
    }
    void add(HeadlessWindow& d, const std::string& file) {
        choose(file);
        d.click(kAddButton);
    }
    // The chain's names in their order, each followed by a space.
    std::string listed(const HeadlessWindow& d) const {
        std::string names;
        for (int i = 0; i < d.listCount(kChainList); ++i) names += d.listText(kChainList, i) + " ";
        return names;
    }
    // What the link files of those names hold, each followed by a space.
    std::string links(std::initializer_list<const char*> names) const {
        std::string held;
        for (const char* name : names)
            held += (fs::exists(folder.path() / name) ? folder.read(name) : "(none)") + " ";
        return held;
    }
};

TEST_F(ChainDialog, BuildsTheListAndRefusesWhatCannotBeChained) {
    open([&](HeadlessWindow& d) {
        EXPECT_EQ(d.title(), "Orvex - Script chain");
        for (int id : {int{kOkCommand}, int{kRemoveButton}, int{kMoveUpButton}, int{kMoveDownButton}})
            EXPECT_FALSE(d.isItemEnabled(id));
        add(d, path("a.txt"));
        EXPECT_EQ(t.window.fileDialogs().back().folder, t.program.script.directory) << "first Add";
        // One name is no chain, but can be removed.
        EXPECT_EQ(std::pair(d.isItemEnabled(kOkCommand), d.isItemEnabled(kRemoveButton)),
                  std::pair(false, true));
        add(d, path("b.txt"));
        EXPECT_EQ(std::pair(d.isItemEnabled(kOkCommand), d.listSelection(kChainList)), std::pair(true, 1));

        const struct {
            std::string file, message;
        } refusals[] = {
            {path("A.txt"), "A is already in list!"},
            {path("d.TXT"), path("d.TXT") + "\rInvalid file !"},
            {path("gone.txt"), path("gone.txt") + "\rInvalid file !"},
        };
        for (const auto& r : refusals) {
            add(d, r.file);
            EXPECT_EQ(lastBox(), r.message);
        }
        EXPECT_EQ(listed(d), "a b ");

        d.listSelectIndex(kChainList, 0);
        // The first stays first, the last last; the moved entry stays selected.
        for (const auto& [button, order, selected] : {std::tuple{kMoveUpButton, "a b ", 0},
                                                      {kMoveDownButton, "b a ", 1},
                                                      {kMoveDownButton, "b a ", 1}}) {
            d.click(button);
            EXPECT_EQ(std::tuple(listed(d), d.listSelection(kChainList)), std::tuple(order, selected));
        }
        d.click(kRemoveButton);
        EXPECT_EQ(std::tuple(listed(d), d.listSelection(kChainList), d.isItemEnabled(kOkCommand),
                             d.isItemEnabled(kMoveUpButton)),
                  std::tuple("b ", -1, false, true));
        d.click(kCancelCommand);
    });
    EXPECT_EQ(links({"a.next", "b.prev"}), "(none) (none) ") << "Cancel writes nothing";

    // The chain's folder outlives the dialog.
    TempDir other;
    const std::string elsewhere = other.write("e.txt", "");
    open([&](HeadlessWindow& d) {
        EXPECT_EQ(d.listCount(kChainList), 0) << "a new list each time";
        add(d, elsewhere);
        EXPECT_EQ(lastBox(), "All chained script files should be in same directory!");
        EXPECT_TRUE(t.window.fileDialogs().back().folder.empty());
        add(d, folder.path().string() + "/./c.txt");
        EXPECT_EQ(listed(d), "c ") << "the same folder spelled otherwise";
    });
}

TEST_F(ChainDialog, WritesTheLinksOfAnOpenChainAndOfARing) {
    folder.write("a.prev", "old.txt");
    folder.write("c.next", "old.txt");
    for (const bool ring : {false, true}) {
        SCOPED_TRACE(ring ? "ring" : "open chain");
        answer(BoxAnswer::Yes); // already chained: go on
        open([&](HeadlessWindow& d) {
            for (const char* name : {"a.txt", "b.txt", "c.txt"}) add(d, path(name));
            if (ring) d.click(kCloseChainCheck);
            d.click(kOkCommand);
            EXPECT_TRUE(d.dialogEnded());
        });
        EXPECT_EQ(links({"a.next", "b.prev", "b.next", "c.prev"}), "b.txt a.txt c.txt b.txt ");
        EXPECT_EQ(links({"a.prev", "c.next"}), ring ? "c.txt a.txt " : "(none) (none) ");
    }
    // The second round asked before breaking the links the first had made.
    EXPECT_EQ(lastBox(), "Script already chained !\rCurrent chain links will be broken. Confirm ?");
}

TEST_F(ChainDialog, AScriptAlreadyChainedNeedsYesAndAFailedWriteStopsThere) {
    folder.write("a.next", "x.txt");
    fs::create_directory(folder.path() / "b.next"); // cannot be replaced by a file
    open([&](HeadlessWindow& d) {
        add(d, path("a.txt"));
        EXPECT_EQ(d.listCount(kChainList), 0) << "No keeps it out";
        answer(BoxAnswer::Yes);
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) add(d, path(name));
        d.click(kOkCommand);
        EXPECT_TRUE(d.dialogEnded());
    });
    EXPECT_EQ(lastBox(), "Unable to chain script files !");
    EXPECT_EQ(links({"a.next", "c.prev"}), "b.txt (none) ") << "what came before the failure, nothing after";

    // The end of an open chain whose old link cannot be taken away fails as well.
    fs::remove(folder.path() / "b.next"); // b is chained still: Yes takes it again
    fs::create_directories(folder.path() / "c.next" / "kept");
    open([&](HeadlessWindow& d) {
        for (const char* name : {"b.txt", "c.txt"}) add(d, path(name));
        d.click(kOkCommand);
    });
    EXPECT_EQ(lastBox(), "Unable to chain script files !");
}

} // namespace
} // namespace orvex
