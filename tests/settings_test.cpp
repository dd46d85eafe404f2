// Orvex.ini: the settings read and written, and the profile text beneath them, which keeps every byte it
// was not asked to change.
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/profile/profile_file.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace orvex::test {
namespace {

using namespace std::string_literals;

TEST(ProfileText, WritingKeepsEveryOtherByte) {
    struct Case {
        const char* what;
        std::string before;
        std::vector<ProfileEntry> written;
        std::string after;
    };
    const Case cases[] = {
        {"in place, spelling, blanks and CRLF kept",
         "; mine\r\n[corvane]\r\n  count = 3  \r\nodd line\r\n",
         {{"Count", "25"}},
         "; mine\r\n[corvane]\r\n  count = 25  \r\nodd line\r\n"},
        {"same value: same bytes", "[Corvane]\nUT=NO\n", {{"UT", "NO"}}, "[Corvane]\nUT=NO\n"},
        {"missing key after the section's last line, before its blank lines",
         "[Corvane]\r\nCount=3\r\n; note\r\n\r\n[Other]\r\nUT=YES\r\n",
         {{"UT", "NO"}, {"Level", "20"}},
         "[Corvane]\r\nCount=3\r\n; note\r\nUT=NO\r\nLevel=20\r\n\r\n[Other]\r\nUT=YES\r\n"},
        {"missing section at the end, last line unterminated",
         "[Other]\nk=v",
         {{"UT", "NO"}},
         "[Other]\nk=v\n[Corvane]\nUT=NO\n"},
        {"new file",
         "",
         {{"Script editor", "Notepad.exe"}, {"UT", "NO"}},
         "[Corvane]\nScript editor=Notepad.exe\nUT=NO\n"},
        {"first of duplicate keys and sections",
         "[Corvane]\nUT=1\nUT=2\n[CORVANE]\nUT=3\nLevel=4\n",
         {{"ut", "YES"}, {"Level", "9"}},
         "[Corvane]\nUT=YES\nUT=2\nLevel=9\n[CORVANE]\nUT=3\nLevel=4\n"},
        {"comments, odd lines and an open bracket are no keys or headers",
         "[Corvane]\n;UT=1\n# UT=2\nUT\n[Other\n=5\n",
         {{"UT", "NO"}},
         "[Corvane]\n;UT=1\n# UT=2\nUT\n[Other\n=5\nUT=NO\n"},
        {"empty value; blanks around a value are not written, so saving again adds none",
         "[Corvane]\nA=   \nB = x \nC=\n",
         {{"A", "v"}, {"B", " y "}, {"B", " y "}, {"C", ""}, {"D", " z\t"}},
         "[Corvane]\nA=   v\nB = y \nC=\nD=z\n"},
        {"a line break ends the value",
         "[Corvane]\n",
         {{"Image file prefix", "m42\n[Evil]\nx=1"}},
         "[Corvane]\nImage file prefix=m42\n"},
        {"byte-order mark kept",
         "\xEF\xBB\xBF[Corvane]\nUT=NO\n",
         {{"UT", "YES"}},
         "\xEF\xBB\xBF[Corvane]\nUT=YES\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withProfileValues(c.before, "Corvane", c.written), c.after) << c.what;
}

TEST(ProfileText, NamesThatCannotBeStoredWriteNothing) {
    for (const char* key : {"", " UT", "a=b", ";UT", "[UT]", "U\nT", "#"})
        EXPECT_EQ(withProfileValues("", "Corvane", {{key, "1"}}), std::nullopt) << key;
    for (const char* section : {"", "a]b", " Corvane", "a\rb"})
        EXPECT_EQ(withProfileValues("", section, {{"UT", "1"}}), std::nullopt) << section;
}

TEST(ProfileText, ReadingFindsTheFirstKeyOfTheFirstSection) {
    const std::tuple<std::string, const char*, std::optional<std::string>> cases[] = {
        {"[ corvane ]  junk\r\n\t UT \t=\t yes \t\r\n", "ut", "yes"},
        {"UT=1\n[Corvane]\nUT=2\nUT=3\n[Corvane]\nUT=4\n", "UT", "2"},
        {"[Corvane]\n[Other]\nUT=2\n[Corvane]\nUT=4\n", "UT", std::nullopt},
        {"[Corvane\nUT=1\n", "UT", std::nullopt},
        {"[Corvane]\n;UT=1\n#UT=2\n", "UT", std::nullopt},
        {"[Corvane]\r[x\rUT=a=b\r", "UT", "a=b"},
        {"[Corvane]\nPrefix=ab\0cd\n"s, "Prefix", "ab"},
        {"\xEF\xBB\xBF[Corvane]\nUT=\n", "UT", ""},
    };
    for (const auto& [text, key, value] : cases) EXPECT_EQ(profileValue(text, "Corvane", key), value) << text;
}

TEST(ProfileFile, WritesThroughLinksAndNeverReplacesWhatItCannotRead) {
    TempDir dir;
    const std::string file = dir.write("real.ini", "[Corvane]\r\nUT=NO\r\n");
    const auto link = dir.path() / "Orvex.ini";
    std::filesystem::create_symlink(file, link);
    ASSERT_TRUE(writeProfileString(link.string(), "Corvane", "UT", "YES"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(dir.read(file), "[Corvane]\r\nUT=YES\r\n");
    EXPECT_EQ(getProfileString(link.string(), "Corvane", "ut"), "YES");

    const auto missing = (dir.path() / "new.ini").string();
    EXPECT_EQ(getProfileString(missing, "Corvane", "UT"), std::nullopt);
    ASSERT_TRUE(writeProfileStrings(missing, "Corvane", {{"UT", "NO"}}));
    EXPECT_EQ(dir.read(missing), "[Corvane]\nUT=NO\n");

    const auto folder = dir.path() / "folder.ini";
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(writeProfileString(folder.string(), "Corvane", "UT", "NO"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    // Nothing left behind: the two files, the link and the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

// Missing keys and values as a hand may write them; key names ignore case, and a text is cut at 99 bytes,
// before a letter rather than through it, without its trailing blanks; a program's path is read whole. A
// delayed start outside the day would be awaited at another time than the one counted down.
TEST(Settings, DefaultsAndValuesAsWrittenByHand) {
    struct Case {
        std::optional<std::string> lines; // none: no settings file
        bool infinite = false, ut = false;
        int count = 10, level = 20, threshold = 50, pixels = 10000;
        std::string editor = "Notepad.exe", prefix = "", browser = "";
        std::tuple<int, int, int> start = {0, 0, 0};
    };
    const Case cases[] = {
        {},
        {"Infinite=yes\nUT=Yes\n", true, true},
        {"Infinite=Y\nUT=1\n"},
        {.lines = "Count=12abc\n", .count = 12},
        {.lines = "Count=abc\n", .count = 0},
        // A threshold out of range would divide by zero in the sound detector; the move detector takes
        // whatever Level and Pixels say.
        {.lines = "Level=0\nThreshold=250\nPixels=-3\n", .level = 0, .threshold = 100, .pixels = -3},
        {.lines = "Level=150\nThreshold=0\nPixels=0\n", .level = 150, .threshold = 1, .pixels = 0},
        {.lines = "script EDITOR=gedit\nImage file prefix=" + std::string(97, 'p') +
                  "  xyz\nPicture browser=" + std::string(120, 'b') + "\n",
         .editor = "gedit",
         .prefix = std::string(97, 'p'),
         .browser = std::string(120, 'b')},
        {.lines = "Script editor=" + std::string(150, 'e') + "\n", .editor = std::string(150, 'e')},
        {.lines = "Image file prefix=" + std::string(98, 'p') + "\xC3\xA9\n", .prefix = std::string(98, 'p')},
        // One that Parameters would refuse would name pictures out of their folder, or split the log's rows.
        {"Image file prefix=../../up\n"},
        {"Image file prefix=a\tb\n"},
        {.lines = "Hours=23\nMinutes=59\nSeconds=59\n", .start = {23, 59, 59}},
        {"Hours=2130\nMinutes=60\nSeconds=-1\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string file =
            c.lines ? dir.write("Orvex.ini", "[Corvane]\n" + *c.lines) : (dir.path() / "Orvex.ini").string();
        Settings s;
        RunSettings run;
        loadSettings(file, s, run);
        EXPECT_EQ((std::tuple{run.loopInfinite, run.universalTime, run.loopCount, s.moveLevel,
                              s.soundThreshold.load(), s.movePixels, s.scriptEditor, s.imagePrefix,
                              s.pictureBrowser, std::tuple(run.startHour, run.startMinute, run.startSecond)}),
                  (std::tuple{c.infinite, c.ut, c.count, c.level, c.threshold, c.pixels, c.editor, c.prefix,
                              c.browser, c.start}))
            << c.lines.value_or("no file");
    }
}

// Twelve distinct values, so that no key can be written or read in another's place.
TEST(Settings, SavingWritesAllKeysInPlaceAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string file =
        dir.write("Orvex.ini", "[Other]\r\nkeep = me\r\n[Corvane]\r\nCustom=1\r\ncount = 3\r\n");
    const Settings s{"gedit", "eog", "m42", 7, 4321, 65, {}};
    const RunSettings run{false, true, 25, false, 21, 34, 56, true};
    ASSERT_TRUE(saveSettings(file, s, run));
    EXPECT_EQ(dir.read(file), "[Other]\r\nkeep = me\r\n[Corvane]\r\nCustom=1\r\ncount = 25\r\n"
                              "Script editor=gedit\r\nPicture browser=eog\r\nImage file prefix=m42\r\n"
                              "Infinite=YES\r\nHours=21\r\nMinutes=34\r\nSeconds=56\r\nUT=YES\r\nLevel=7\r\n"
                              "Pixels=4321\r\nThreshold=65\r\n");

    Settings back;
    RunSettings runBack;
    loadSettings(file, back, runBack);
    const auto kept = [](const Settings& s, const RunSettings& r) {
        return std::tuple(s.scriptEditor, s.pictureBrowser, s.imagePrefix, s.moveLevel, s.movePixels,
                          s.soundThreshold.load(), r.loopInfinite, r.loopCount, r.startHour, r.startMinute,
                          r.startSecond, r.universalTime);
    };
    EXPECT_EQ(kept(back, runBack), kept(s, run));
}

} // namespace
} // namespace orvex::test
