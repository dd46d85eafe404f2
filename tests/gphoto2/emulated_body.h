#pragma once
// The real libgphoto2 with the emulated EOS body of tests/gphoto2/emulated, in a home folder of the test's
// own (the library keeps the capture target there), the SDK layer started with the libgphoto2 driver.
#include "sdk/camera_driver.h"
#include "sdk/gphoto2/gphoto_driver.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace orvex::test {

inline constexpr const char* k700D = "3272";
inline constexpr const char* k5DMarkIII = "323a";

// Points the library at the emulated modules and a fresh home; set before any thread of the test starts.
void useEmulatedBodies(const TempDir& home, const std::string& bodies, const std::string& faults = "");
// The same as the environment of a command, for orvex-cli.
std::string emulatedEnvironment(const TempDir& home, const std::string& bodies,
                                const std::string& faults = "");
// The body's log lines without their time stamps.
std::vector<std::string> bodyLog(const TempDir& home);
// How many of the lines start with `start`.
inline long countStarting(const std::vector<std::string>& lines, const std::string& start) {
    return std::ranges::count_if(lines, [&](const std::string& l) { return l.starts_with(start); });
}

// Where the nth line equal to `line` stands; lines.size() when there is none.
inline long indexOf(const std::vector<std::string>& lines, const std::string& line, int nth = 1) {
    return std::find_if(lines.begin(), lines.end(),
                        [&](const std::string& l) { return l == line && --nth == 0; }) -
           lines.begin();
}

// The first of `wanted` that does not come after the one before it, as a part of `text` or as a whole line of
// `lines`; "" when all come in that order.
inline std::string firstMissing(const std::string& text, const std::vector<std::string>& wanted) {
    std::size_t at = 0;
    for (const std::string& part : wanted) {
        if ((at = text.find(part, at)) == std::string::npos) return part;
        at += part.size();
    }
    return "";
}

inline std::string firstMissing(const std::vector<std::string>& lines,
                                const std::vector<std::string>& wanted) {
    auto at = lines.begin();
    for (const std::string& line : wanted) {
        if ((at = std::find(at, lines.end(), line)) == lines.end()) return line;
        ++at;
    }
    return "";
}

class EmulatedBody : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Opens a session on the body at that place of the camera list.
    EdsCameraRef open(int index = 0);
    // Lets the body open before go, plugs in those bodies with those faults and opens the first.
    EdsCameraRef reopen(const std::string& bodies, const std::string& faults = "");
    void set(EdsPropertyID property, EdsUInt32 code) {
        ASSERT_EQ(EdsSetPropertyData(camera, property, 0, sizeof code, &code), EDS_ERR_OK) << property;
    }
    EdsUInt32 get(EdsPropertyID property) {
        EdsUInt32 value = 0xDEADBEEF;
        EXPECT_EQ(EdsGetPropertyData(camera, property, 0, sizeof value, &value), EDS_ERR_OK) << property;
        return value;
    }
    std::vector<std::string> actions(std::size_t since = 0) const {
        const std::vector<std::string> all = bodyLog(home);
        return {all.begin() + static_cast<long>(std::min(since, all.size())), all.end()};
    }

    TempDir home;
    std::shared_ptr<sdk::CameraDriver> driver = makeGphotoDriver();
    EdsCameraRef camera = nullptr;
};

} // namespace orvex::test
