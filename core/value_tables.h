#pragma once
// The exposure value tables: the names a photographer writes in a script and the camera's codes for them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

struct ValueRow {
    std::string name;
    double seconds = 0; // shutter rows only
    std::uint32_t code = 0;
};

// Each table starts with the row of empty name and code 0: the value the script leaves to the camera.
using ValueTable = std::vector<ValueRow>;

struct ValueTables {
    ValueTable aperture;
    ValueTable shutter;
    ValueTable iso;
    ValueTable quality;
    ValueRow bulb; // beyond the shutter table: no lookup reaches it
};

ValueTables makeValueTables();

// Index of the first row whose name equals the text without regard to case, or -1.
int findByName(const ValueTable& table, std::string_view name);
// Index of the shutter row nearest to the time; ties keep the longer time.
int findNearestShutter(const ValueTable& shutter, double seconds);
// Name of the first row carrying the code, or the empty text.
std::string nameOfCode(const ValueTable& table, std::uint32_t code);
// Gives the rows that have two codes the one the connected camera supports.
void adaptToCamera(ValueTables& tables, const std::vector<std::uint32_t>& apertureCodes,
                   const std::vector<std::uint32_t>& shutterCodes);

} // namespace orvex
