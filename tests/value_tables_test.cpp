// The program's own tables: the exposure values by name and code, and every text by number.
#include "core/catalogue.h"
#include "core/value_tables.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace orvex {
namespace {

// Each table opens with the row left to the camera, each of its names and codes leads back to its own row
// alone, and the speeds run from the longest time to the shortest, as the search for the nearest one needs.
TEST(ValueTables, EveryRowIsFoundByItsNameAndByItsCode) {
    const ValueTables t = makeValueTables();
    for (const ValueTable* table : {&t.aperture, &t.shutter, &t.iso, &t.quality}) {
        ASSERT_GT(table->size(), 1u);
        EXPECT_EQ(std::tuple(table->front().name, table->front().code), std::tuple("", 0u));
        // Case aside, only the exact name is found.
        for (const char* name : {"5,6", "f/5.6", "R + (L)", "(L)+R", " 400"})
            EXPECT_EQ(findByName(*table, name), -1) << name;
        for (std::size_t i = 0; i < table->size(); ++i) {
            const ValueRow& row = (*table)[i];
            EXPECT_EQ(findByName(*table, row.name), static_cast<int>(i)) << row.name;
            EXPECT_EQ(nameOfCode(*table, row.code), row.name) << row.name;
            if (table == &t.shutter && i > 1) {
                EXPECT_LT(row.seconds, (*table)[i - 1].seconds) << row.name;
            }
        }
    }
    EXPECT_EQ(nameOfCode(t.shutter, t.bulb.code), "") << "Bulb is no row of the speeds";
    // The camera's codes at the ends of each table and beside a gap, where a neighbour's code is easily
    // taken. A RAW and a JPEG together: the RAW's code in the high half, the JPEG's in the low one. The
    // single pictures keep their places; the 18 pairs follow them.
    const std::pair<const ValueTable*, std::vector<std::pair<const char*, std::uint32_t>>> codes[] = {
        {&t.aperture, {{"1", 0x08}, {"13", 0x43}, {"14", 0x45}, {"91", 0x70}}},
        {&t.shutter,
         {{"30", 0x10}, {"0.3", 0x44}, {"1/4", 0x48}, {"1/125", 0x70}, {"1/160", 0x73}, {"1/8000", 0xA0}}},
        {&t.iso, {{"6", 0x28}, {"800", 0x60}, {"1600", 0x68}, {"102400", 0x98}}},
        {&t.quality, {{"R", 0x0064FF0F}, {"(L)", 0x0013FF0F}, {"[S]", 0x0212FF0F}}},
        {&t.quality,
         {{"R+(L)", 0x00640013}, {"R+[S]", 0x00640212}, {"MR+(M)", 0x01640113}, {"SR+[S]", 0x02640212}}}};
    for (const auto& [table, rows] : codes)
        for (const auto& [name, code] : rows) EXPECT_EQ(nameOfCode(*table, code), name) << code;
    EXPECT_EQ(std::tuple(t.quality[9].name, t.quality[10].name, t.quality.size()),
              std::tuple("[S]", "R+(L)", 28u));
}

// Halfway between two rows the longer time wins; the rows beyond the ends are the script checks'. The same on
// a French desktop, whose locale reads "0.3" as 0.
TEST(ValueTables, NearestShutterRow) {
    for (const char* name : {"C", "fr_FR.UTF-8"}) {
        const test::ScopedLocale locale(name);
        ASSERT_TRUE(locale.taken()) << name << ": run scripts/install-deps.sh";
        const ValueTables t = makeValueTables();
        const std::pair<double, const char*> cases[] = {
            {27.5, "30"}, {22.5, "25"}, {2.25, "2.5"}, {0.28, "0.3"}, {0.2749, "1/4"}};
        for (const auto& [seconds, row] : cases)
            EXPECT_EQ(t.shutter[findNearestShutter(t.shutter, seconds)].name, row) << name << " " << seconds;
    }
}

// A body that offers an alternative code gives its row that code; of two, the later; a later body that
// offers neither leaves the row as it was.
TEST(ValueTables, AdaptationKeepsTheLastSupportedCode) {
    ValueTables t = makeValueTables();
    const auto codes = [&](const char* aperture, const char* speed) {
        return std::tuple(t.aperture[findByName(t.aperture, aperture)].code,
                          t.shutter[findByName(t.shutter, speed)].code);
    };
    adaptToCamera(t, {0x0D, 0x30, 0x44}, {0x5C});
    EXPECT_EQ(nameOfCode(t.aperture, 0x0D), "1.2");
    EXPECT_EQ(nameOfCode(t.aperture, 0x44), "13") << "not 14, whose code is 0x45";
    adaptToCamera(t, {0x30}, {});
    EXPECT_EQ(codes("1.2", "1/20"), std::tuple(0x0Du, 0x5Cu));
    adaptToCamera(t, {0x14, 0x15}, {0x44, 0x45});
    EXPECT_EQ(codes("1.8", "0.3"), std::tuple(0x15u, 0x45u));
}

// A number in none of the catalogue's rows, inside its range or not, gives "???" in both languages; every
// other, from the first row to the last, has a text in each (an empty one included).
TEST(Catalogue, EveryNumberButTheHolesHasTextsInBothLanguages) {
    const std::set<int> holes = {5,   6,   7,   78,  86,  87,  90,  118, 123, 175,
                                 228, 229, 233, 234, 235, 236, 237, 238, 239};
    for (int n = -1; n <= 317; ++n)
        for (int language : {kEnglish, kFrench})
            EXPECT_EQ(std::string(messageText(language, n)) == "???", n < 0 || n == 317 || holes.count(n))
                << n << " in " << language;
    for (int language : {kEnglish, kFrench}) EXPECT_STREQ(messageText(language, 1000), "???");
}

// An unknown language, English whatever the language, the language of a system's id, and texts filled in,
// each in its own language.
TEST(Catalogue, OtherLookups) {
    for (int language : {0, 52}) EXPECT_STREQ(messageText(language, 54), "Unknown language !");
    EXPECT_STREQ(englishText(161), "Script editor");
    for (unsigned id : {1036u, 6156u}) EXPECT_EQ(languageFromLangId(id), kFrench) << id;
    for (unsigned id : {0u, 1033u, 1031u, 7180u}) EXPECT_EQ(languageFromLangId(id), kEnglish) << id;
    EXPECT_EQ(formatMessage(kFrench, 74, 12), "Délai invalide à la ligne 12 !");
    EXPECT_EQ(formatMessage(kEnglish, 168, std::string("ttyUSB0")), "Cannot access serial port ttyUSB0 !");
}

} // namespace
} // namespace orvex
