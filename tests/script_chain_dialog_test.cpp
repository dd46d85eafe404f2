// The script chain dialog on the headless window: building the list, its refusals, and the link files.
#include "resources/script_chain_dialog.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace orvex {
namespace {

using test::TempDir;
using test::TestProgram;
namespace fs = std::filesystem;

struct ChainDialog : ::testing::Test {
    TempDir folder;
    TestProgram t;
    void SetUp() override {
        t.start();
        for (const char* name : {"a.txt", "b.txt", "c.txt", "A.txt", "d.TXT"}) folder.write(name, "");
    }
    std::string path(const std::string& name) const { return (folder.path() / name).string(); }
    // Runs the dialog; `act` adds and clicks in it.
    void open(const std::function<void(HeadlessWindow&)>& act) {
        t.window.onModal = act;
        t.window.click(kMenuChain);
    }
    void add(HeadlessWindow& d, const std::string& file) {
        t.window.chooseFile = [file](const FileDialogRequest&) { return file; };
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
    std::string lastBox() const {
        return t.window.messageBoxes().empty() ? "" : t.window.messageBoxes().back().text;
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
        t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; }; // already chained: go on
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
        t.window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) add(d, path(name));
        d.click(kOkCommand);
        EXPECT_TRUE(d.dialogEnded());
    });
    EXPECT_EQ(lastBox(), "Unable to chain script files !");
    EXPECT_EQ(links({"a.next", "c.prev"}), "b.txt (none) ") << "what came before the failure, nothing after";
}

} // namespace
} // namespace orvex
