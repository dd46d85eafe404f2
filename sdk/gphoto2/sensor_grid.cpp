#include "sdk/gphoto2/sensor_grid.h"

#include "platform/ascii_case.h"

#include <cctype>

namespace orvex::gphoto {
namespace {

struct Grid {
    const char* name; // after "EOS", without blanks, in lower case
    EdsSize size;
};

// Longer names first: "5dmarkii" must not take a 5D Mark III, nor "7d" a 7D Mark II.
constexpr Grid kGrids[] = {
    {"5dmarkiv", {6720, 4480}},  {"5dmarkiii", {5760, 3840}}, {"5dmarkii", {5616, 3744}},
    {"5ds", {8688, 5792}},       {"6dmarkii", {6240, 4160}},  {"6d", {5472, 3648}},
    {"7dmarkii", {5472, 3648}},  {"7d", {5184, 3456}},        {"1dxmarkiii", {5472, 3648}},
    {"1dxmarkii", {5472, 3648}}, {"1dx", {5184, 3456}},       {"1dc", {5184, 3456}},
    {"1dmarkiv", {4896, 3264}},  {"90d", {6960, 4640}},       {"80d", {6000, 4000}},
    {"77d", {6000, 4000}},       {"70d", {5472, 3648}},       {"60d", {5184, 3456}},
    {"50d", {4752, 3168}},       {"40d", {3888, 2592}},       {"850d", {6000, 4000}},
    {"800d", {6000, 4000}},      {"760d", {6000, 4000}},      {"750d", {6000, 4000}},
    {"700d", {5184, 3456}},      {"650d", {5184, 3456}},      {"600d", {5184, 3456}},
    {"550d", {5184, 3456}},      {"500d", {4752, 3168}},      {"450d", {4272, 2848}},
    {"250d", {6000, 4000}},      {"200d", {6000, 4000}},      {"100d", {5184, 3456}},
    {"4000d", {5184, 3456}},     {"2000d", {6000, 4000}},     {"1500d", {6000, 4000}},
    {"1300d", {5184, 3456}},     {"1200d", {5184, 3456}},     {"1100d", {4272, 2848}},
    {"1000d", {3888, 2592}},
};

constexpr EdsSize kMostOfTheRange{5184, 3456};

} // namespace

EdsSize sensorGrid(const std::string& model) {
    // "Canon EOS 5D Mark III", "Canon:EOS 7D MarkII": the names the library gives, spelt either way.
    std::string name;
    for (const char c : model)
        if (!std::isspace(static_cast<unsigned char>(c))) name += lowerAscii(c);
    const std::size_t eos = name.find("eos");
    if (eos == std::string::npos) return kMostOfTheRange;
    const std::string rest = name.substr(eos + 3);
    for (const Grid& g : kGrids)
        if (rest.rfind(g.name, 0) == 0) return g.size;
    return kMostOfTheRange;
}

EdsPoint centredZoomArea(EdsSize grid) {
    return {2 * grid.width / 5, 2 * grid.height / 5};
}

} // namespace orvex::gphoto
