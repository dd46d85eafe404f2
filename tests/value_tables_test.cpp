#include "core/value_tables.h"

#include <gtest/gtest.h>
#include <tuple>

namespace orvex {
namespace {

TEST(ValueTables, FindByName) {
    const ValueTables t = makeValueTables();
    struct Case {
        const ValueTable* table;
        const char* name;
        const char* found; // nullptr: no row
    };
    // Case aside, only the exact name is found; an empty name finds the empty first row.
    const Case cases[] = {
        {&t.aperture, "5,6", nullptr},  {&t.aperture, "f/5.6", nullptr},  {&t.aperture, "", ""},
        {&t.quality, "(l)", "(L)"},     {&t.quality, "mr+[s]", "MR+[S]"}, {&t.quality, "R + (L)", nullptr},
        {&t.quality, "(L)+R", nullptr}, {&t.iso, " 400", nullptr}};
    for (const Case& c : cases) {
        const int row = findByName(*c.table, c.name);
        EXPECT_EQ(row < 0 ? "(none)" : (*c.table)[row].name, c.found ? c.found : "(none)") << c.name;
        EXPECT_EQ(!c.found && row != -1, false) << c.name;
    }
}

// The ends of each table and the rows beside a gap in the codes, where a neighbour's code is easily taken;
// each code leads back to its name.
TEST(ValueTables, RowsWhereACodeIsEasilyWrongGoBothWays) {
    const ValueTables t = makeValueTables();
    // Of the qualities, a RAW and a JPEG: the RAW in the high half, the JPEG in the low one.
    const std::pair<const ValueTable*, std::vector<std::pair<const char*, std::uint32_t>>> tables[] = {
        {&t.aperture, {{"1", 0x08}, {"13", 0x43}, {"14", 0x45}, {"91", 0x70}}},
        {&t.shutter,
         {{"30", 0x10}, {"0.3", 0x44}, {"1/4", 0x48}, {"1/125", 0x70}, {"1/160", 0x73}, {"1/8000", 0xA0}}},
        {&t.iso, {{"6", 0x28}, {"800", 0x60}, {"1600", 0x68}, {"102400", 0x98}}},
        {&t.quality, {{"R", 0x0064FF0F}, {"(L)", 0x0013FF0F}, {"[S]", 0x0212FF0F}}},
        {&t.quality,
         {{"R+(L)", 0x00640013}, {"R+[S]", 0x00640212}, {"MR+(M)", 0x01640113}, {"SR+[S]", 0x02640212}}}};
    for (const auto& [table, rows] : tables)
        for (const auto& [name, code] : rows) {
            const int row = findByName(*table, name);
            ASSERT_GE(row, 0) << name;
            EXPECT_EQ((*table)[row].code, code) << name;
            EXPECT_EQ(nameOfCode(*table, code), name);
        }
    EXPECT_EQ(nameOfCode(t.shutter, t.bulb.code), "") << "Bulb is no row of the speeds";
    EXPECT_EQ(nameOfCode(t.quality, 0x12345678), "");
    // The single pictures keep their places; the 18 pairs follow them.
    EXPECT_EQ(std::tuple(t.quality[9].name, t.quality[10].name, t.quality.size()),
              std::tuple("[S]", "R+(L)", 28u));
}

// Halfway between two rows the longer time wins; beyond the ends the end rows stand.
TEST(ValueTables, NearestShutterRow) {
    const ValueTables t = makeValueTables();
    struct Case {
        double seconds;
        const char* row;
    };
    const Case cases[] = {{1.0 / 9000, "1/8000"}, {60, "30"},      {27.5, "30"},
                          {22.5, "25"},           {2.25, "2.5"},   {1.0 / 250, "1/250"},
                          {0.28, "0.3"},          {0.2749, "1/4"}, {1.0 / 7100, "1/6400"},
                          {1.0 / 7200, "1/8000"}};
    for (const Case& c : cases)
        EXPECT_EQ(t.shutter[findNearestShutter(t.shutter, c.seconds)].name, c.row) << c.seconds;
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

} // namespace
} // namespace orvex
