#include "core/value_tables.h"

#include <cstdio>
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

// Every row, in order, as "name code" pairs after the empty first row.
std::string rowsOf(const ValueTable& table) {
    std::string text;
    char code[16];
    for (std::size_t i = 1; i < table.size(); ++i) {
        std::snprintf(code, sizeof code, "%X", table[i].code);
        text += (i > 1 ? " " : "") + table[i].name + " " + code;
    }
    return table.front().name.empty() && table.front().code == 0 ? text : "no empty first row";
}

TEST(ValueTables, EveryRowHasItsCameraCode) {
    const ValueTables t = makeValueTables();
    struct Case {
        const ValueTable* table;
        const char* rows;
    };
    const Case cases[] = {
        {&t.aperture,
         "1 8 1.1 B 1.2 C 1.4 10 1.6 13 1.8 14 2 18 2.2 1B 2.5 1C 2.8 20 3.2 23 3.5 24 4 28 4.5 2B "
         "5 2D 5.6 30 6.3 33 6.7 34 7.1 35 8 38 9 3B 9.5 3C 10 3D 11 40 13 43 14 45 16 48 18 4B "
         "20 4D 22 50 25 53 29 55 32 58 36 5B 38 5C 40 5D 45 60 51 63 54 64 57 65 64 68 72 6B "
         "76 6C 80 6D 91 70"},
        {&t.shutter,
         "30 10 25 13 20 14 15 18 13 1B 10 1C 8 20 6 23 5 25 4 28 3.2 2B 3 2C 2.5 2D 2 30 1.6 33 "
         "1.5 34 1.3 35 1 38 0.8 3B 0.7 3C 0.6 3D 0.5 40 0.4 43 0.3 44 1/4 48 1/5 4B 1/6 4C 1/8 50 "
         "1/10 53 1/13 55 1/15 58 1/20 5B 1/25 5D 1/30 60 1/40 63 1/45 64 1/50 65 1/60 68 1/80 6B "
         "1/90 6C 1/100 6D 1/125 70 1/160 73 1/200 75 1/250 78 1/320 7B 1/350 7C 1/400 7D 1/500 80 "
         "1/640 83 1/800 85 1/1000 88 1/1250 8B 1/1500 8C 1/1600 8D 1/2000 90 1/2500 93 1/3000 94 "
         "1/3200 95 1/4000 98 1/5000 9B 1/6400 9D 1/8000 A0"},
        {&t.iso,
         "6 28 12 30 25 38 50 40 100 48 125 4B 160 4D 200 50 250 53 320 55 400 58 500 5B 640 5D 800 60 "
         "1000 63 1250 65 1600 68 3200 70 6400 78 8000 7B 10000 7D 12800 80 25600 88 51200 90 102400 98"},
        {&t.quality,
         "R 64FF0F MR 164FF0F SR 264FF0F (L) 13FF0F (M) 113FF0F (S) 213FF0F [L] 12FF0F [M] 112FF0F "
         "[S] 212FF0F"},
    };
    for (const Case& c : cases) EXPECT_EQ(rowsOf(*c.table), c.rows);
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
    EXPECT_EQ(nameOfCode(t.aperture, 0x0D), "1.2");
    // A later camera that supports neither code leaves the row as it was.
    adaptToCamera(t, {0x30}, {});
    EXPECT_EQ(t.aperture[findByName(t.aperture, "1.2")].code, 0x0Du);
    EXPECT_EQ(t.shutter[findByName(t.shutter, "1/20")].code, 0x5Cu);
    // Both codes supported: the later pair wins.
    adaptToCamera(t, {0x14, 0x15}, {0x44, 0x45});
    EXPECT_EQ(t.aperture[findByName(t.aperture, "1.8")].code, 0x15u);
    EXPECT_EQ(t.shutter[findByName(t.shutter, "0.3")].code, 0x45u);
}

// Each pair of the two alternative lists, offered alone, gives its row that code.
TEST(ValueTables, EveryAlternativeCodeReachesItsRow) {
    struct Case {
        bool aperture;
        std::uint32_t code;
        const char* row;
    };
    const Case cases[] = {
        {true, 0x0C, "1.2"},   {true, 0x0D, "1.2"},   {true, 0x14, "1.8"},   {true, 0x15, "1.8"},
        {true, 0x1C, "2.5"},   {true, 0x1D, "2.5"},   {true, 0x24, "3.5"},   {true, 0x25, "3.5"},
        {true, 0x43, "13"},    {true, 0x44, "13"},    {false, 0x14, "20"},   {false, 0x15, "20"},
        {false, 0x1C, "10"},   {false, 0x1D, "10"},   {false, 0x23, "6"},    {false, 0x24, "6"},
        {false, 0x44, "0.3"},  {false, 0x45, "0.3"},  {false, 0x4C, "1/6"},  {false, 0x4D, "1/6"},
        {false, 0x53, "1/10"}, {false, 0x54, "1/10"}, {false, 0x5B, "1/20"}, {false, 0x5C, "1/20"}};
    for (const Case& c : cases) {
        ValueTables t = makeValueTables();
        const std::vector<std::uint32_t> offered{c.code};
        adaptToCamera(t, c.aperture ? offered : std::vector<std::uint32_t>{},
                      c.aperture ? std::vector<std::uint32_t>{} : offered);
        const ValueTable& table = c.aperture ? t.aperture : t.shutter;
        EXPECT_EQ(table[findByName(table, c.row)].code, c.code) << c.row;
    }
}

} // namespace
} // namespace orvex
