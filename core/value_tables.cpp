#include "core/value_tables.h"

#include "core/text_scan.h"
#include "platform/ascii_case.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orvex {
namespace {

ValueTable table(std::initializer_list<std::pair<const char*, std::uint32_t>> rows) {
    ValueTable t{{"", 0, 0}};
    for (const auto& [name, code] : rows) t.push_back({name, 0, code});
    return t;
}

// A shutter name denotes seconds: a decimal number, or 1/n.
double secondsOfName(const std::string& name) {
    if (name.rfind("1/", 0) == 0) return 1.0 / scanDecimal(name.substr(2)).value_or(0);
    return scanDecimal(name).value_or(0);
}

struct Alternative {
    std::uint32_t code;
    const char* row;
};

constexpr Alternative kApertureAlternatives[] = {{0x0C, "1.2"}, {0x0D, "1.2"}, {0x14, "1.8"}, {0x15, "1.8"},
                                                 {0x1C, "2.5"}, {0x1D, "2.5"}, {0x24, "3.5"}, {0x25, "3.5"},
                                                 {0x43, "13"},  {0x44, "13"}};
constexpr Alternative kShutterAlternatives[] = {{0x14, "20"},   {0x15, "20"},  {0x1C, "10"},   {0x1D, "10"},
                                                {0x23, "6"},    {0x24, "6"},   {0x44, "0.3"},  {0x45, "0.3"},
                                                {0x4C, "1/6"},  {0x4D, "1/6"}, {0x53, "1/10"}, {0x54, "1/10"},
                                                {0x5B, "1/20"}, {0x5C, "1/20"}};

template <std::size_t N>
void adapt(ValueTable& t, const Alternative (&pairs)[N], const std::vector<std::uint32_t>& supported) {
    for (const Alternative& a : pairs) {
        if (std::find(supported.begin(), supported.end(), a.code) == supported.end()) continue;
        const int row = findByName(t, a.row);
        if (row >= 0) t[row].code = a.code;
    }
}

} // namespace

ValueTables makeValueTables() {
    ValueTables t;
    t.aperture =
        table({{"1", 0x08},   {"1.1", 0x0B}, {"1.2", 0x0C}, {"1.4", 0x10}, {"1.6", 0x13}, {"1.8", 0x14},
               {"2", 0x18},   {"2.2", 0x1B}, {"2.5", 0x1C}, {"2.8", 0x20}, {"3.2", 0x23}, {"3.5", 0x24},
               {"4", 0x28},   {"4.5", 0x2B}, {"5", 0x2D},   {"5.6", 0x30}, {"6.3", 0x33}, {"6.7", 0x34},
               {"7.1", 0x35}, {"8", 0x38},   {"9", 0x3B},   {"9.5", 0x3C}, {"10", 0x3D},  {"11", 0x40},
               {"13", 0x43},  {"14", 0x45},  {"16", 0x48},  {"18", 0x4B},  {"20", 0x4D},  {"22", 0x50},
               {"25", 0x53},  {"29", 0x55},  {"32", 0x58},  {"36", 0x5B},  {"38", 0x5C},  {"40", 0x5D},
               {"45", 0x60},  {"51", 0x63},  {"54", 0x64},  {"57", 0x65},  {"64", 0x68},  {"72", 0x6B},
               {"76", 0x6C},  {"80", 0x6D},  {"91", 0x70}});
    t.shutter =
        table({{"30", 0x10},     {"25", 0x13},     {"20", 0x14},     {"15", 0x18},     {"13", 0x1B},
               {"10", 0x1C},     {"8", 0x20},      {"6", 0x23},      {"5", 0x25},      {"4", 0x28},
               {"3.2", 0x2B},    {"3", 0x2C},      {"2.5", 0x2D},    {"2", 0x30},      {"1.6", 0x33},
               {"1.5", 0x34},    {"1.3", 0x35},    {"1", 0x38},      {"0.8", 0x3B},    {"0.7", 0x3C},
               {"0.6", 0x3D},    {"0.5", 0x40},    {"0.4", 0x43},    {"0.3", 0x44},    {"1/4", 0x48},
               {"1/5", 0x4B},    {"1/6", 0x4C},    {"1/8", 0x50},    {"1/10", 0x53},   {"1/13", 0x55},
               {"1/15", 0x58},   {"1/20", 0x5B},   {"1/25", 0x5D},   {"1/30", 0x60},   {"1/40", 0x63},
               {"1/45", 0x64},   {"1/50", 0x65},   {"1/60", 0x68},   {"1/80", 0x6B},   {"1/90", 0x6C},
               {"1/100", 0x6D},  {"1/125", 0x70},  {"1/160", 0x73},  {"1/200", 0x75},  {"1/250", 0x78},
               {"1/320", 0x7B},  {"1/350", 0x7C},  {"1/400", 0x7D},  {"1/500", 0x80},  {"1/640", 0x83},
               {"1/800", 0x85},  {"1/1000", 0x88}, {"1/1250", 0x8B}, {"1/1500", 0x8C}, {"1/1600", 0x8D},
               {"1/2000", 0x90}, {"1/2500", 0x93}, {"1/3000", 0x94}, {"1/3200", 0x95}, {"1/4000", 0x98},
               {"1/5000", 0x9B}, {"1/6400", 0x9D}, {"1/8000", 0xA0}});
    for (std::size_t i = 1; i < t.shutter.size(); ++i)
        t.shutter[i].seconds = secondsOfName(t.shutter[i].name);
    t.iso = table({{"6", 0x28},     {"12", 0x30},    {"25", 0x38},    {"50", 0x40},    {"100", 0x48},
                   {"125", 0x4B},   {"160", 0x4D},   {"200", 0x50},   {"250", 0x53},   {"320", 0x55},
                   {"400", 0x58},   {"500", 0x5B},   {"640", 0x5D},   {"800", 0x60},   {"1000", 0x63},
                   {"1250", 0x65},  {"1600", 0x68},  {"3200", 0x70},  {"6400", 0x78},  {"8000", 0x7B},
                   {"10000", 0x7D}, {"12800", 0x80}, {"25600", 0x88}, {"51200", 0x90}, {"102400", 0x98}});
    t.quality = table({{"R", 0x0064FF0F},
                       {"MR", 0x0164FF0F},
                       {"SR", 0x0264FF0F},
                       {"(L)", 0x0013FF0F},
                       {"(M)", 0x0113FF0F},
                       {"(S)", 0x0213FF0F},
                       {"[L]", 0x0012FF0F},
                       {"[M]", 0x0112FF0F},
                       {"[S]", 0x0212FF0F}});
    // A RAW and a JPEG of each exposure, named by their parts: each of the three RAW rows above, "+", each
    // of the six JPEG rows. The code carries the RAW in its high half and the JPEG in its low half, where a
    // single picture has 0xFF0F.
    for (std::size_t raw = 1; raw <= 3; ++raw)
        for (std::size_t jpeg = 4; jpeg <= 9; ++jpeg)
            t.quality.push_back({t.quality[raw].name + "+" + t.quality[jpeg].name, 0,
                                 (t.quality[raw].code & 0xFFFF0000) | t.quality[jpeg].code >> 16});
    t.bulb = {"Bulb", 0, 0x0C};
    return t;
}

int findByName(const ValueTable& table, std::string_view name) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (equalsIgnoringCase(table[i].name, name)) return static_cast<int>(i);
    return -1;
}

int findNearestShutter(const ValueTable& shutter, double seconds) {
    // The rows run from the longest time to the shortest: the nearest is one of the two around the time.
    const auto first = shutter.begin() + 1;
    const auto shorter = std::partition_point(first, shutter.end(),
                                              [seconds](const ValueRow& r) { return r.seconds > seconds; });
    if (shorter == first) return 1;
    if (shorter == shutter.end()) return static_cast<int>(shutter.size()) - 1;
    const auto nearest = std::fabs(shorter->seconds - seconds) < std::fabs((shorter - 1)->seconds - seconds)
                             ? shorter
                             : shorter - 1;
    return static_cast<int>(nearest - shutter.begin());
}

std::string nameOfCode(const ValueTable& table, std::uint32_t code) {
    for (const ValueRow& row : table)
        if (row.code == code) return row.name;
    return {};
}

void adaptToCamera(ValueTables& tables, const std::vector<std::uint32_t>& apertureCodes,
                   const std::vector<std::uint32_t>& shutterCodes) {
    adapt(tables.aperture, kApertureAlternatives, apertureCodes);
    adapt(tables.shutter, kShutterAlternatives, shutterCodes);
}

} // namespace orvex
