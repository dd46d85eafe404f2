// What the loader reads of a script, line by line, and what it refuses, is kept as data in tests/checks/,
// checked through orvex-cli check; here, what a load does to the window.
#include "run/script_load.h"
#include "script/script_loader.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

// A load sets the title, the chain buttons and the folder and leaves the loop as it was; a failed one
// discards the script it replaced and says why in the user's language. A burst script fixes saving to the
// computer; a plain one after it starts from clean summary flags.
TEST(ScriptLoadWindow, SuccessSetsTheWindowAndFailureDiscardsTheScript) {
    TempDir dir;
    TestProgram t;
    const auto load = [&](const std::string& name, const std::vector<std::string>& lines) {
        return loadScript(t.program, t.window, dir.write(name, scriptText(lines)));
    };
    dir.write("night.next", "dawn.txt");
    t.start("-savetocam");
    t.program.run.settings.loopEnabled = true;
    ASSERT_TRUE(load("night.txt", {line().delay(50)}));
    EXPECT_EQ(std::tuple(t.window.title(), t.window.isItemEnabled(kNextScriptButton),
                         t.window.isItemEnabled(kPrevScriptButton),
                         t.window.isItemEnabled(kReloadScriptButton)),
              std::tuple("Corvane - night", true, false, true));
    EXPECT_EQ(std::tuple(t.program.script.directory, t.program.script.lastWrite.has_value()),
              std::tuple(dir.path().string() + "/", true));
    // No loop marker: the loop stays as it was.
    EXPECT_EQ(std::tuple(t.program.run.settings.loopEnabled, t.program.run.settings.loopInfinite),
              std::tuple(true, false));

    EXPECT_FALSE(load("bad.txt", {line().delay(50), line().when("nope")}));
    EXPECT_EQ(std::tuple(t.program.script.loaded, t.program.script.lines.size(), t.window.title(),
                         t.window.isItemEnabled(kReloadScriptButton)),
              std::tuple(false, 0u, "Corvane", false));
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(std::tuple(t.window.messageBoxes()[0].caption, t.window.messageBoxes()[0].icon),
              std::tuple("Error", BoxIcon::Error));

    EXPECT_EQ(t.window.listSelection(kSaveToList), 1);
    ASSERT_TRUE(load("b.txt", {line().when("Loop"), line().delay(0).speed("1/10").burst(2)}));
    EXPECT_EQ(std::tuple(t.program.run.settings.loopEnabled, t.program.run.settings.loopInfinite,
                         t.program.options.saveToHost, t.window.listSelection(kSaveToList),
                         t.window.isItemEnabled(kSaveToList)),
              std::tuple(true, true, true, 0, false));
    ASSERT_TRUE(load("plain.txt", {line().delay(0).speed("1/10")}));
    EXPECT_EQ(std::tuple(t.program.script.hasBurst, t.window.isItemEnabled(kSaveToList)),
              std::tuple(false, true));
    t.program.language = kFrench; // a missing file is named in the user's language
    EXPECT_FALSE(loadScript(t.program, t.window, "/no/such/script.txt"));
    EXPECT_EQ(std::tuple(t.window.messageBoxes().back().text, t.window.messageBoxes().back().caption),
              std::tuple("Impossible d'accéder au fichier /no/such/script.txt", "Erreur"));
}

} // namespace
} // namespace orvex::test
