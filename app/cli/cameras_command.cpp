#include "app/cli/cameras_command.h"

#include "camera/camera_driver.h"
#include "camera/gphoto2/gphoto_driver.h"

namespace orvex::cli {

int listCameras(std::ostream& out) {
    if (EdsInitializeSDK() != EDS_ERR_OK) return 0;
    const auto driver = makeGphotoDriver();
    sdk::registerCameraDriver(driver);
    EdsCameraListRef list = nullptr;
    if (EdsGetCameraList(&list) == EDS_ERR_OK) {
        EdsUInt32 count = 0;
        EdsGetChildCount(list, &count);
        for (EdsUInt32 index = 0; index < count; ++index) {
            EdsCameraRef camera = nullptr;
            if (EdsGetChildAtIndex(list, static_cast<EdsInt32>(index), &camera) != EDS_ERR_OK) continue;
            EdsDeviceInfo info{};
            // Numbered as the camera list numbers them: by place in the list, skipping none.
            if (EdsGetDeviceInfo(camera, &info) == EDS_ERR_OK)
                out << index + 1 << '\t' << info.szDeviceDescription << '\t' << info.szPortName << '\n';
            EdsRelease(camera);
        }
        EdsRelease(list);
    }
    EdsTerminateSDK();
    sdk::unregisterCameraDriver(driver);
    return 0;
}

} // namespace orvex::cli
