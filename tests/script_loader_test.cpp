#include "app/check_command.h"
#include "run/script_load.h"
#include "script/script_loader.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>
#include <sstream>

namespace orvex::test {
namespace {

struct LoadCase {
    const char* name;
    std::string content;  // the whole file
    std::string expected; // check report on success, or the error box's text (English)
};

constexpr const char* kHeader = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n";
const std::string kNothing = "\t\t0x0\t\t0x0\t0\t\t0x0\t\t0x0\t0";
std::string delayLine(int fileLine, int tenths) {
    return std::to_string(fileLine) + "\tDelay\t" + std::to_string(tenths) + "\t0" + kNothing + "\n";
}
std::string summary(int lines, int loop = 0, int burst = 0, int longExposure = 0, int move = 0) {
    return "summary\tlines=" + std::to_string(lines) + "\tloop=" + std::to_string(loop) +
           "\thas-burst=" + std::to_string(burst) + "\thas-long-exposure=" + std::to_string(longExposure) +
           "\thas-move=" + std::to_string(move) + "\n";
}
std::string h(const std::string& body) {
    return kHeader + body;
}
std::string error(const std::string& text) {
    return "ERROR " + text;
}

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

class ScriptLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(ScriptLoad, ReportsWhatItUnderstoodOrTheFirstError) {
    const LoadCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.write("case.txt", c.content);
    std::ostringstream out, err;
    const int code = checkScript(path, kEnglish, out, err);
    if (c.expected.rfind("ERROR ", 0) == 0) {
        EXPECT_EQ(code, 1);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), c.expected.substr(6) + "\n");
    } else {
        EXPECT_EQ(code, 0) << err.str();
        EXPECT_EQ(out.str(), c.expected);
    }
}

const LoadCase kLoadCases[] = {
    // Header rules.
    {"LowerCaseHeaderWithExtraColumns", "delay\tf/d\tspeedx\tspeed/\tiso\tquality\tburst\tnotes\n50\n",
     delayLine(2, 50) + summary(1)},
    {"HeaderWithLeadingBlank", " " + std::string(kHeader) + "50\n", error("Invalid header at line 1 !")},
    {"ByteOrderMarkBeforeHeader", "\xEF\xBB\xBF" + std::string(kHeader) + "50\n",
     error("Invalid header at line 1 !")},
    {"CrLfLineEnds", "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\r\n50\r\n20\r\n",
     delayLine(2, 50) + delayLine(3, 20) + summary(2)},
    // Empty scripts.
    {"HeaderAndLoopOnly", h("Loop\n"), error("\nEmpty file !")},
    // Line lengths.
    {"NinetyNineCharactersBeforeCrLf", h("50" + std::string(97, 'x') + "\r\n"),
     delayLine(2, 50) + summary(1)},
    {"CarriageReturnWithoutLineFeedCounts", h("50" + std::string(97, 'x') + "\r"),
     error("Line 2 too long !")},
    {"LastLineWithoutLineEnd", h("50\n20"), delayLine(2, 50) + delayLine(3, 20) + summary(2)},
    {"HundredCharactersOnLineThree", h("50\n" + std::string(100, '1') + "\n"), error("Line 3 too long !")},
    {"LongHeader", std::string(kHeader).substr(0, 41) + "\t" + std::string(60, 'x') + "\n50\n",
     error("Line 1 too long !")},
    // DELAY forms.
    {"MoveAndSoundInAnyCase", h("mOvE\nSOUND\n"),
     "2\tMove\t0\t0" + kNothing + "\n3\tSound\t0\t0" + kNothing + "\n" + summary(2, 0, 0, 0, 1)},
    {"MoveWithTrailingBlank", h("50\nMove \n"), error("invalid delay at line 3 !")},
    {"TimesOfDay", h("23:59:59\n7:05\n 0:0:0\n"),
     "2\tTimeOfDay\t0\t86399" + kNothing + "\n3\tTimeOfDay\t0\t25500" + kNothing + "\n4\tTimeOfDay\t0\t0" +
         kNothing + "\n" + summary(3)},
    {"HourTwentyFour", h("24:00\n"), error("invalid delay at line 2 !")},
    {"SecondSixty", h("12:00:60\n"), error("invalid delay at line 2 !")},
    {"ColonWithoutMinutes", h("12:\n"), error("invalid delay at line 2 !")},
    {"TextAfterNumberIgnored", h("50x\n  7\n"), delayLine(2, 50) + delayLine(3, 7) + summary(2)},
    {"BlanksReadAsZero", h("   \n"), delayLine(2, 0) + summary(1)},
    {"NegativeDelayRefused", h("-5\n"), error("invalid delay at line 2 !")},
    {"DelayBeyondMillisecondRange", h("21474837\n"), error("invalid delay at line 2 !")},
    {"LargestDelay", h("21474836\n"), delayLine(2, 21474836) + summary(1)},
    // Empty lines and loop markers.
    {"EmptyLineIsAnExposure", h("50\n\n20\n"),
     delayLine(2, 50) + delayLine(3, 0) + delayLine(4, 20) + summary(3)},
    {"LoopMarkerCountsForLineNumbers", h("50\nLOOP\t1\t2\nbad\n"), error("invalid delay at line 4 !")},
    {"LoopMarkerInTheMiddle", h("50\nloop\n20\n"), delayLine(2, 50) + delayLine(4, 20) + summary(2, 1)},
    // Aperture, ISO and quality names.
    {"NamesMatchWithoutCase", h("0\t5.6\t\t\t400\tr\n"),
     "2\tDelay\t0\t0\t5.6\t0x30\t\t0x0\t0\t400\t0x58\tR\t0x64FF0F\t0\n" + summary(1)},
    {"ApertureWithTrailingZero", h("0\t8.0\n"), error("invalid aperture at line 2 !")},
    {"IsoUnknown", h("0\t\t\t\t300\n"), error("Invalid sensitivity at line 2 !")},
    {"QualityRaw", h("0\t\t\t\t\traw\n"), error("Invalid quality at line 2 !")},
    {"QualityBrackets", h("0\t\t\t\t\t[m]\n"),
     "2\tDelay\t0\t0\t\t0x0\t\t0x0\t0\t\t0x0\t[M]\t0x112FF0F\t0\n" + summary(1)},
    // Exposure times.
    {"SpeedFraction", h("0\t\t1\t250\n"),
     "2\tDelay\t0\t0\t\t0x0\t1/250\t0x78\t4\t\t0x0\t\t0x0\t0\n" + summary(1)},
    {"SpeedDecimalQuotient", h("0\t\t5\t2\n"),
     "2\tDelay\t0\t0\t\t0x0\t2.5\t0x2D\t2500\t\t0x0\t\t0x0\t0\n" + summary(1)},
    {"SpeedTooShort", h("0\t\t1\t10000\n"), error("Invalid shutter speed at line 2 !")},
    {"SpeedShortestAccepted", h("0\t\t1\t9000\n"),
     "2\tDelay\t0\t0\t\t0x0\t1/8000\t0xA0\t0\t\t0x0\t\t0x0\t0\n" + summary(1)},
    {"SpeedTooLong", h("0\t\t30001\t1\n"), error("Invalid shutter speed at line 2 !")},
    {"SpeedOfThirtySecondsIsLong", h("0\t\t30\t1\n"),
     "2\tDelay\t0\t0\t\t0x0\t30\t0x10\t30000\t\t0x0\t\t0x0\t0\n" + summary(1, 0, 0, 1)},
    {"SpeedWithoutDivisorColumn", h("0\t\t1\n"), error("Invalid shutter speed at line 2 !")},
    {"SpeedDivisorWithoutNumerator", h("0\t\t\t250\n"), error("Invalid shutter speed at line 2 !")},
    {"SpeedBothEmpty", h("0\t\t\t\t\t\t\n"), delayLine(2, 0) + summary(1)},
    {"SpeedNotANumber", h("0\t\tone\t2\n"), error("Invalid shutter speed at line 2 !")},
    // Bursts.
    {"BurstWithOneSecond", h("0\t\t1\t1\t\t\t3\n"),
     "2\tDelay\t0\t0\t\t0x0\t1\t0x38\t1000\t\t0x0\t\t0x0\t3\n" + summary(1, 0, 1)},
    {"BurstWithTwoSeconds", h("0\t\t2\t1\t\t\t3\n"),
     error("Cannot burst with exposure longer than one second at line 2")},
    {"BurstZero", h("0\t\t\t\t\t\t0\n"), error("invalid burst length at line 2 !")},
    {"BurstBlanks", h("0\t\t\t\t\t\t  \n"), error("invalid burst length at line 2 !")},
    {"SeventhTabEndsTheLine", h("0\t\t\t\t\t\t2\tignored\tmore\n"),
     "2\tDelay\t0\t0" + kNothing.substr(0, kNothing.size() - 1) + "2\n" + summary(1, 0, 1)},
    // The first failing column decides.
    {"FirstErrorWins", h("x\tbad\t1\t0\tbad\tbad\t0\n"), error("invalid delay at line 2 !")},
    {"ApertureBeforeSpeed", h("0\tbad\t1\t0\n"), error("invalid aperture at line 2 !")},
};

INSTANTIATE_TEST_SUITE_P(Loader, ScriptLoad, ::testing::ValuesIn(kLoadCases),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             return std::string(info.param.name);
                         });

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
    EXPECT_EQ(t.window.title(), "Corvane - night");
    EXPECT_TRUE(t.window.isItemEnabled(kNextScriptButton));
    EXPECT_FALSE(t.window.isItemEnabled(kPrevScriptButton));
    EXPECT_TRUE(t.window.isItemEnabled(kReloadScriptButton));
    EXPECT_EQ(t.program.script.directory, dir.path().string() + "/");
    EXPECT_TRUE(t.program.script.lastWrite.has_value());
    EXPECT_TRUE(t.program.run.settings.loopEnabled) << "no loop marker: the loop stays as it was";
    EXPECT_FALSE(t.program.run.settings.loopInfinite);

    EXPECT_FALSE(load("bad.txt", {line().delay(50), line().when("nope")}));
    EXPECT_FALSE(t.program.script.loaded);
    EXPECT_TRUE(t.program.script.lines.empty());
    EXPECT_EQ(t.window.title(), "Corvane");
    EXPECT_FALSE(t.window.isItemEnabled(kReloadScriptButton));
    ASSERT_EQ(t.window.messageBoxes().size(), 1u);
    EXPECT_EQ(t.window.messageBoxes()[0].caption, "Error");
    EXPECT_EQ(t.window.messageBoxes()[0].icon, BoxIcon::Error);

    EXPECT_EQ(t.window.listSelection(kSaveToList), 1);
    ASSERT_TRUE(load("b.txt", {line().when("Loop"), line().delay(0).speed("1/10").burst(2)}));
    EXPECT_TRUE(t.program.run.settings.loopEnabled);
    EXPECT_TRUE(t.program.run.settings.loopInfinite);
    EXPECT_TRUE(t.program.options.saveToHost);
    EXPECT_EQ(t.window.listSelection(kSaveToList), 0);
    EXPECT_FALSE(t.window.isItemEnabled(kSaveToList));
    ASSERT_TRUE(load("plain.txt", {line().delay(0).speed("1/10")}));
    EXPECT_FALSE(t.program.script.hasBurst);
    EXPECT_TRUE(t.window.isItemEnabled(kSaveToList));
    t.program.language = kFrench; // a missing file is named in the user's language
    EXPECT_FALSE(loadScript(t.program, t.window, "/no/such/script.txt"));
    EXPECT_EQ(t.window.messageBoxes().back().text, "Impossible d'accéder au fichier /no/such/script.txt");
    EXPECT_EQ(t.window.messageBoxes().back().caption, "Erreur");
}

} // namespace
} // namespace orvex::test
