#include "app/cli/cameras_command.h"

#include "core/catalogue.h"
#include "sdk/camera_driver.h"
#include "sdk/gphoto2/gphoto_driver.h"

#include <string>

namespace orvex::cli {
namespace {

constexpr int kMessageNoCamera = 121; // "(No camera found)"

// As the body tells it, the very text -connect is compared with; a session is opened for it.
std::string bodyIdOf(EdsCameraRef camera) {
    if (EdsOpenSession(camera) != EDS_ERR_OK) return {};
    // One byte more than the read may fill, so the text is always terminated.
    char text[81] = {};
    if (EdsGetPropertyData(camera, kEdsPropID_BodyIDEx, 0, 80, text) != EDS_ERR_OK) text[0] = '\0';
    EdsCloseSession(camera);
    return text;
}

} // namespace

int listCameras(int language, std::ostream& out, std::ostream& err) {
    if (EdsInitializeSDK() != EDS_ERR_OK) return 0;
    const auto driver = makeGphotoDriver();
    sdk::registerCameraDriver(driver);
    EdsUInt32 count = 0;
    EdsCameraListRef list = nullptr;
    if (EdsGetCameraList(&list) == EDS_ERR_OK) {
        EdsGetChildCount(list, &count);
        for (EdsUInt32 index = 0; index < count; ++index) {
            EdsCameraRef camera = nullptr;
            if (EdsGetChildAtIndex(list, static_cast<EdsInt32>(index), &camera) != EDS_ERR_OK) continue;
            EdsDeviceInfo info{};
            // Numbered as the camera list numbers them: by place in the list, skipping none.
            if (EdsGetDeviceInfo(camera, &info) == EDS_ERR_OK)
                out << index + 1 << '\t' << info.szDeviceDescription << '\t' << info.szPortName << '\t'
                    << bodyIdOf(camera) << '\n';
            EdsRelease(camera);
        }
        EdsRelease(list);
    }
    EdsTerminateSDK();
    sdk::unregisterCameraDriver(driver);
    if (count == 0) {
        // The camera list shows this text in brackets, as a list entry; said alone it stands without them.
        std::string none = messageText(language, kMessageNoCamera);
        if (none.size() > 2 && none.front() == '(' && none.back() == ')')
            none = none.substr(1, none.size() - 2);
        err << none << '\n';
    }
    return 0;
}

} // namespace orvex::cli
