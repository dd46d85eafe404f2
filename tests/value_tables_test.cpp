#include "script/value_tables.h"

#include <gtest/gtest.h>

namespace orvex {
namespace {

TEST(ValueTables, FindByName) {
    const ValueTables t = makeValueTables();
    struct Case {
        const ValueTable* table;
        const char* name;
        const char* found; // nullptr: no row
        std::uint32_t code;
    };
    const Case cases[] = {
        {&t.aperture, "5.6", "5.6", 0x30},      {&t.aperture, "5,6", nullptr, 0},
        {&t.aperture, "f/5.6", nullptr, 0},     {&t.aperture, "", "", 0},
        {&t.quality, "r", "R", 0x0064FF0F},     {&t.quality, "raw", nullptr, 0},
        {&t.quality, "(l)", "(L)", 0x0013FF0F}, {&t.iso, "102400", "102400", 0x98},
        {&t.iso, " 400", nullptr, 0},
    };
    for (const Case& c : cases) {
        const int row = findByName(*c.table, c.name);
        if (!c.found) {
            EXPECT_EQ(row, -1) << c.name;
            continue;
        }
        ASSERT_GE(row, 0) << c.name;
        EXPECT_EQ((*c.table)[row].name, c.found);
        EXPECT_EQ((*c.table)[row].code, c.code);
    }
}

TEST(ValueTables, TablesHaveTheirRows) {
    const ValueTables t = makeValueTables();
    EXPECT_EQ(t.aperture.size(), 46u);
    EXPECT_EQ(t.shutter.size(), 64u);
    EXPECT_EQ(t.iso.size(), 26u);
    EXPECT_EQ(t.quality.size(), 10u);
}

TEST(ValueTables, NearestShutterRow) {
    const ValueTables t = makeValueTables();
    struct Case {
        double seconds;
        const char* row;
    };
    const Case cases[] = {{1.0 / 8000, "1/8000"}, {1.0 / 9000, "1/8000"},
                          {1.0 / 7000, "1/6400"}, {27.5, "30"},
                          {22.5, "25"},           {60, "30"},
                          {1.0 / 250, "1/250"},   {0.36, "0.4"},
                          {2.5, "2.5"},           {30000, "30"},
                          {0.28, "0.3"},          {0.2749, "1/4"},
                          {1.0 / 7100, "1/6400"}, {1.0 / 7200, "1/8000"},
                          {2.25, "2.5"},          {4.5, "5"}};
    for (const Case& c : cases)
        EXPECT_EQ(t.shutter[findNearestShutter(t.shutter, c.seconds)].name, c.row) << c.seconds;
}

TEST(ValueTables, NameOfCode) {
    const ValueTables t = makeValueTables();
    EXPECT_EQ(nameOfCode(t.shutter, 0x78), "1/250");
    EXPECT_EQ(nameOfCode(t.shutter, t.bulb.code), "");
    EXPECT_EQ(nameOfCode(t.iso, 0), "");
    EXPECT_EQ(nameOfCode(t.quality, 0x12345678), "");
    EXPECT_EQ(t.bulb.name, "Bulb");
    EXPECT_EQ(t.bulb.code, 0x0Cu);
}

TEST(ValueTables, AdaptationKeepsTheLastSupportedCode) {
    ValueTables t = makeValueTables();
    adaptToCamera(t, {0x0D, 0x30}, {0x5C});
    EXPECT_EQ(t.aperture[findByName(t.aperture, "1.2")].code, 0x0Du);
    EXPECT_EQ(nameOfCode(t.aperture, 0x0D), "1.2");
    EXPECT_EQ(t.shutter[findByName(t.shutter, "1/20")].code, 0x5Cu);
    // A later camera that supports neither code leaves the row as it was.
    adaptToCamera(t, {0x30}, {});
    EXPECT_EQ(t.aperture[findByName(t.aperture, "1.2")].code, 0x0Du);
    // Both codes supported: the later pair wins.
    adaptToCamera(t, {0x14, 0x15}, {0x44, 0x45});
    EXPECT_EQ(t.aperture[findByName(t.aperture, "1.8")].code, 0x15u);
    EXPECT_EQ(t.shutter[findByName(t.shutter, "0.3")].code, 0x45u);
}

} // namespace
} // namespace orvex
