#include "tests/gphoto2/emulated_body.h"

#include <cstdlib>
#include <fstream>
#include <utility>

namespace orvex::test {
namespace {

std::vector<std::pair<std::string, std::string>> settings(const TempDir& home, const std::string& bodies,
                                                          const std::string& faults) {
    return {{"CAMLIBS", ORVEX_EMULATED_CAMLIBS}, {"IOLIBS", ORVEX_EMULATED_IOLIBS},
            {"HOME", home.path().string()},      {"ORVEX_EMULATED_BODIES", bodies},
            {"ORVEX_EMULATED_FAULTS", faults},   {"ORVEX_EMULATED_LOG", (home.path() / "body.log").string()}};
}

} // namespace

void useEmulatedBodies(const TempDir& home, const std::string& bodies, const std::string& faults) {
    for (const auto& [name, value] : settings(home, bodies, faults)) setenv(name.c_str(), value.c_str(), 1);
}

std::string emulatedEnvironment(const TempDir& home, const std::string& bodies, const std::string& faults) {
    std::string environment = "LC_ALL=C";
    for (const auto& [name, value] : settings(home, bodies, faults)) environment += " " + name + "=" + value;
    return environment;
}

std::vector<std::string> bodyLog(const TempDir& home) {
    std::ifstream log(home.path() / "body.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
}

void EmulatedBody::SetUp() {
    useEmulatedBodies(home, k700D);
    ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
    sdk::registerCameraDriver(driver);
}

void EmulatedBody::TearDown() {
    if (camera) EdsRelease(camera);
    EdsTerminateSDK();
    sdk::unregisterCameraDriver(driver);
}

EdsCameraRef EmulatedBody::open(int index) {
    EdsCameraListRef list = nullptr;
    EXPECT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    EXPECT_EQ(EdsGetChildAtIndex(list, index, &camera), EDS_ERR_OK);
    EdsRelease(list);
    EXPECT_EQ(EdsOpenSession(camera), EDS_ERR_OK);
    return camera;
}

EdsCameraRef EmulatedBody::reopen(const std::string& bodies, const std::string& faults) {
    if (camera) {
        EdsCloseSession(camera);
        EdsRelease(camera);
        camera = nullptr;
    }
    useEmulatedBodies(home, bodies, faults);
    return open();
}

} // namespace orvex::test
