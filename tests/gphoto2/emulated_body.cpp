#include "tests/gphoto2/emulated_body.h"

#include <cstdlib>
#include <fstream>

namespace orvex::test {

void useEmulatedBodies(const TempDir& home, const std::string& bodies, const std::string& faults) {
    setenv("CAMLIBS", ORVEX_EMULATED_CAMLIBS, 1);
    setenv("IOLIBS", ORVEX_EMULATED_IOLIBS, 1);
    setenv("HOME", home.path().c_str(), 1);
    setenv("ORVEX_EMULATED_BODIES", bodies.c_str(), 1);
    setenv("ORVEX_EMULATED_FAULTS", faults.c_str(), 1);
    setenv("ORVEX_EMULATED_LOG", (home.path() / "body.log").c_str(), 1);
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

std::vector<std::string> EmulatedBody::actions() const {
    std::ifstream log(home.path() / "body.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
}

} // namespace orvex::test
