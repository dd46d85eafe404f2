#include "core/startup_options.h"

#include <gtest/gtest.h>
#include <optional>
#include <tuple>

namespace orvex {
namespace {

// Flags and values anywhere, the first occurrence counting; quoted values are never searched for options.
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
    };
    for (const Case& c : cases) {
        const StartupOptions o = parseCommandLine(c.line);
        EXPECT_EQ((std::tuple{o.simulation, o.slave, o.saveToHost, o.connectRequested}),
                  (std::tuple{c.simulation, c.slave, c.saveToHost, c.connect}))
            << c.line;
        EXPECT_EQ(o.loadPath, c.load) << c.line;
        EXPECT_EQ(o.prefixText, c.prefix) << c.line;
        EXPECT_FALSE(o.startText.has_value()) << c.line;
    }
    EXPECT_EQ(optionValue(R"(-prefix="-virtualcam="x" -virtualcam="bulb")", "-virtualcam="), "bulb");
    EXPECT_EQ(parseCommandLine(R"(-load="a.txt" -fromline="14")").fromLineText, "14");
}

TEST(CommandLine, ValueEndsAtNextQuoteOrEndOfLine) {
    EXPECT_EQ(optionValue(R"(-load="x.txt)", "-load="), "x.txt");
    EXPECT_EQ(optionValue(R"(-start="" -loop="5")", "-start="), "");
    EXPECT_EQ(optionValue(R"(-load=x.txt)", "-load="), std::nullopt);
    // Options are case-sensitive.
    EXPECT_EQ(optionValue(R"(-LOAD="x")", "-load="), std::nullopt);
}

// The 32-bit identifier as "%lu" reads it, and beside it the whole serial number printed on an EOS body.
TEST(CommandLine, ConnectNumberReadAsUnsigned32AndAsTheWholeSerialNumber) {
    struct Case {
        const char* text;
        std::uint32_t number;
        std::optional<std::uint64_t> serial;
    };
    const Case cases[] = {{"", 0, {}},
                          {"123", 123, {}},
                          {"42abc", 42, {}},
                          {"4294967295", 0xFFFFFFFF, {}},
                          {"083021004217", 0xFFFFFFFF, 83021004217},
                          {"-1", 0xFFFFFFFF, {}},
                          {"-99999999999", 0xFFFFFFFF, {}},
                          {"99999999999999999999", 0xFFFFFFFF, {}},
                          {"+7", 7, {}},
                          {" -0", 0, {}}};
    for (const Case& c : cases) {
        const StartupOptions o = parseCommandLine("-connect=\"" + std::string(c.text) + "\"");
        EXPECT_EQ(o.connectNumber, c.number) << c.text;
        EXPECT_EQ(o.connectSerialNumber, c.serial) << c.text;
        EXPECT_TRUE(o.connectRequested);
    }
}

TEST(CommandLine, StartTimes) {
    struct Case {
        const char* text;
        bool valid;
        int h, m, s;
    };
    const Case cases[] = {{"23:59", true, 23, 59, 0},   {"24:00", false, 0, 0, 0},
                          {"7:05:09", true, 7, 5, 9},   {"12:60", false, 0, 0, 0},
                          {"12:00:60", false, 0, 0, 0}, {"noon", false, 0, 0, 0},
                          {"-1:00", false, 0, 0, 0},    {"0:0", true, 0, 0, 0}};
    for (const Case& c : cases) {
        const auto t = parseStartTime(c.text);
        ASSERT_EQ(t.has_value(), c.valid) << c.text;
        if (t) {
            EXPECT_EQ((std::tuple{t->hour, t->minute, t->second}), (std::tuple{c.h, c.m, c.s})) << c.text;
        }
    }
}

TEST(CommandLine, ArgumentsGetBackTheQuotesTheShellRemoved) {
    EXPECT_EQ(joinArguments({"-simul", "-load=my night.txt", "-start=", "-prefix=\"m42\""}),
              R"(-simul -load="my night.txt" -start="" -prefix="m42")");
}

} // namespace
} // namespace orvex
