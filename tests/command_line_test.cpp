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
        EXPECT_EQ(std::tuple(o.simulation, o.slave, o.saveToHost, o.connectRequested, o.loadPath,
                             o.prefixText, o.startText.has_value()),
                  std::tuple(c.simulation, c.slave, c.saveToHost, c.connect, c.load, c.prefix, false))
            << c.line;
    }
    EXPECT_EQ(parseCommandLine(R"(-load="a.txt" -fromline="14")").fromLineText, "14");
}

// A value ends at the next quote or at the end of the line; options are case-sensitive.
TEST(CommandLine, ValueEndsAtNextQuoteOrEndOfLine) {
    for (const auto& [line, option, value] :
         {std::tuple{R"(-load="x.txt)", "-load=", std::optional<std::string>("x.txt")},
          {R"(-start="" -loop="5")", "-start=", ""},
          {R"(-load=x.txt)", "-load=", std::nullopt},
          {R"(-LOAD="x")", "-load=", std::nullopt},
          {R"(-prefix="-virtualcam="x" -virtualcam="bulb")", "-virtualcam=", "bulb"}})
        EXPECT_EQ(optionValue(line, option), value) << line;
}

// The 32-bit identifier as "%lu" reads it, and beside it the whole serial number printed on an EOS body.
TEST(CommandLine, ConnectNumberReadAsUnsigned32AndAsTheWholeSerialNumber) {
    // The number, then the serial number when there is one.
    const std::pair<const char*, const char*> cases[] = {{"", "0"},
                                                         {"123", "123"},
                                                         {"42abc", "42"},
                                                         {"4294967295", "4294967295"},
                                                         {"083021004217", "4294967295 83021004217"},
                                                         {"-1", "4294967295"},
                                                         {"-99999999999", "4294967295"},
                                                         {"99999999999999999999", "4294967295"},
                                                         {"+7", "7"},
                                                         {" -0", "0"}};
    for (const auto& [text, read] : cases) {
        const StartupOptions o = parseCommandLine("-connect=\"" + std::string(text) + "\"");
        const auto serial = o.connectSerialNumber;
        EXPECT_EQ(std::to_string(o.connectNumber) + (serial ? " " + std::to_string(*serial) : ""), read)
            << text;
        EXPECT_TRUE(o.connectRequested);
    }
}

TEST(CommandLine, StartTimes) {
    // "-" when refused, else hours, minutes and seconds.
    const std::pair<const char*, const char*> cases[] = {
        {"23:59", "23 59 0"}, {"24:00", "-"}, {"7:05:09", "7 5 9"}, {"12:60", "-"},
        {"12:00:60", "-"},    {"noon", "-"},  {"-1:00", "-"},       {"0:0", "0 0 0"}};
    for (const auto& [text, read] : cases) {
        const auto t = parseStartTime(text);
        EXPECT_EQ(t ? std::to_string(t->hour) + " " + std::to_string(t->minute) + " " +
                          std::to_string(t->second)
                    : "-",
                  read)
            << text;
    }
}

TEST(CommandLine, ArgumentsGetBackTheQuotesTheShellRemoved) {
    EXPECT_EQ(joinArguments({"-simul", "-load=my night.txt", "-start=", "-prefix=\"m42\""}),
              R"(-simul -load="my night.txt" -start="" -prefix="m42")");
}

} // namespace
} // namespace orvex
