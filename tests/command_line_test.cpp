// What the program is started with: its command line, parsed, and the script it loads, kept as data in
// tests/checks/ for what the loader reads line by line and refuses (checked through orvex-cli check); here,
// what a load does to the window.
#include "core/startup_options.h"
#include "run/script_load.h"
#include "script/script_loader.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>
#include <optional>
#include <tuple>

namespace orvex::test {
namespace {

// Flags and values anywhere, the first occurrence counting; a value ends at the next quote or at the end of
// the line, and is never searched for options.
TEST(CommandLine, FlagsAndValues) {
    struct Case {
        const char* line;
        bool simulation, slave, saveToHost, connect;
        std::optional<std::string> load, prefix;
    };
    const Case cases[] = {
        {R"(junk -savetocam -load="C:/a b/night.txt" -prefix="m42" -load="second.txt" -simul -connect="123")",
         true, false, false, true, "C:/a b/night.txt", "m42"},
        {R"(-load="my-simulation/night.txt")", false, false, true, false, "my-simulation/night.txt", {}},
        {R"(-prefix="a -slave -savetocam" -simul)", true, false, true, false, {}, "a -slave -savetocam"},
        {R"(-connect="-simul" -load="a.txt")", false, false, true, true, "a.txt", {}},
        // A later occurrence's value is skipped too, and so is a value that runs to the end.
        {R"(-load="a.txt" -load="-simul -prefix="x")", false, false, true, false, "a.txt", {}},
        {R"(-load="open -slave)", false, false, true, false, "open -slave", {}},
        // Outside values an option is found wherever it begins, as before.
        {R"(x-simul"-slave -load="b")", true, true, true, false, "b", {}},
        // Options are case-sensitive, a value needs its quotes, and may be empty.
        {R"(-LOAD="x" -load=y.txt -prefix="")", false, false, true, false, {}, ""},
    };
    for (const Case& c : cases) {
        const StartupOptions o = parseCommandLine(c.line);
        EXPECT_EQ(std::tuple(o.simulation, o.slave, o.saveToHost, o.connectRequested, o.loadPath,
                             o.prefixText, o.startText.has_value()),
                  std::tuple(c.simulation, c.slave, c.saveToHost, c.connect, c.load, c.prefix, false))
            << c.line;
    }
    EXPECT_EQ(parseCommandLine(R"(-load="a.txt" -fromline="14")").fromLineText, "14");
}

// The 32-bit identifier as "%lu" reads it, and beside it the whole serial number printed on an EOS body;
// start times ("-" when refused, else hours, minutes and seconds); arguments get back the quotes the shell
// removed.
TEST(CommandLine, ConnectNumberStartTimesAndArguments) {
    // The number, then the serial number when there is one.
    const std::pair<const char*, const char*> numbers[] = {{"", "0"},
                                                           {"123", "123"},
                                                           {"42abc", "42"},
                                                           {"4294967295", "4294967295"},
                                                           {"083021004217", "4294967295 83021004217"},
                                                           {"-1", "4294967295"},
                                                           {"-99999999999", "4294967295"},
                                                           {"99999999999999999999", "4294967295"},
                                                           {"+7", "7"},
                                                           {" -0", "0"}};
    for (const auto& [text, read] : numbers) {
        const auto o = parseCommandLine("-connect=\"" + std::string(text) + "\"");
        const auto serial = o.connectSerialNumber;
        EXPECT_EQ(std::to_string(o.connectNumber) + (serial ? " " + std::to_string(*serial) : ""), read)
            << text;
        EXPECT_TRUE(o.connectRequested);
    }
    const std::pair<const char*, const char*> times[] = {
        {"23:59", "23 59 0"}, {"24:00", "-"}, {"7:05:09", "7 5 9"}, {"12:60", "-"},
        {"12:00:60", "-"},    {"noon", "-"},  {"-1:00", "-"},       {"0:0", "0 0 0"}};
    for (const auto& [text, read] : times) {
        const auto t = parseStartTime(text);
        const auto n = [](int v) { return std::to_string(v); };
        EXPECT_EQ(t ? n(t->hour) + " " + n(t->minute) + " " + n(t->second) : "-", read) << text;
    }
    EXPECT_EQ(joinArguments({"-simul", "-load=my night.txt", "-start=", "-prefix=\"m42\""}),
              R"(-simul -load="my night.txt" -start="" -prefix="m42")");
}

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
