#include "core/value_tables.h"

#include <gtest/gtest.h>

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
        if (!c.found) {
            EXPECT_EQ(row, -1) << c.name;
            continue;
        }
        ASSERT_GE(row, 0) << c.name;
        EXPECT_EQ((*c.table)[row].name, c.found);
    }
}

// The ends of each table and the rows beside a gap in the codes, where a neighbour's code is easily taken;
// each code leads back to its name.
TEST(ValueTables, RowsWhereACodeIsEasilyWrongGoBothWays) {
    const ValueTables t = makeValueTables();
    struct Case {
        const ValueTable* table;
        const char* name;
        std::uint32_t code;
    };
    const Case cases[] = {
        {&t.aperture, "1", 0x08},
        {&t.aperture, "13", 0x43},
        {&t.aperture, "14", 0x45},
        {&t.aperture, "91", 0x70},
        {&t.shutter, "30", 0x10},
        {&t.shutter, "0.3", 0x44},
        {&t.shutter, "1/4", 0x48},
        {&t.shutter, "1/125", 0x70},
        {&t.shutter, "1/160", 0x73},
        {&t.shutter, "1/8000", 0xA0},
        {&t.iso, "6", 0x28},
        {&t.iso, "800", 0x60},
        {&t.iso, "1600", 0x68},
        {&t.iso, "102400", 0x98},
        {&t.quality, "R", 0x0064FF0F},
        {&t.quality, "(L)", 0x0013FF0F},
        {&t.quality, "[S]", 0x0212FF0F},
        // A RAW and a JPEG: the RAW in the high half, the JPEG in the low one.
        {&t.quality, "R+(L)", 0x00640013},
        {&t.quality, "R+[S]", 0x00640212},
        {&t.quality, "MR+(M)", 0x01640113},
        {&t.quality, "SR+[S]", 0x02640212},
    };
    for (const Case& c : cases) {
        const int row = findByName(*c.table, c.name);
        ASSERT_GE(row, 0) << c.name;
        EXPECT_EQ((*c.table)[row].code, c.code) << c.name;
        EXPECT_EQ(nameOfCode(*c.table, c.code), c.name);
    }
    EXPECT_EQ(nameOfCode(t.shutter, t.bulb.code), "") << "Bulb is no row of the speeds";
    EXPECT_EQ(nameOfCode(t.quality, 0x12345678), "");
    // The single pictures keep their places; the 18 pairs follow them.
    EXPECT_EQ(t.quality[9].name, "[S]");
    EXPECT_EQ(t.quality[10].name, "R+(L)");
    EXPECT_EQ(t.quality.size(), 28u);
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
    adaptToCamera(t, {0x0D, 0x30, 0x44}, {0x5C});
    EXPECT_EQ(nameOfCode(t.aperture, 0x0D), "1.2");
    EXPECT_EQ(nameOfCode(t.aperture, 0x44), "13") << "not 14, whose code is 0x45";
    adaptToCamera(t, {0x30}, {});
    EXPECT_EQ(t.aperture[findByName(t.aperture, "1.2")].code, 0x0Du);
    EXPECT_EQ(t.shutter[findByName(t.shutter, "1/20")].code, 0x5Cu);
    adaptToCamera(t, {0x14, 0x15}, {0x44, 0x45});
    EXPECT_EQ(t.aperture[findByName(t.aperture, "1.8")].code, 0x15u);
    EXPECT_EQ(t.shutter[findByName(t.shutter, "0.3")].code, 0x45u);
}

} // namespace
} // namespace orvex
