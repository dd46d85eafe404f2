// The virtual camera's profile reader on any text: a profile, or an error that says what is wrong.
#include "sdk/virtual/virtual_profile.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto profile =
        orvex::parseVirtualProfile(std::string(reinterpret_cast<const char*>(data), size), "fuzz.ini", error);
    if (!profile && error.empty()) std::abort();
    return 0;
}
