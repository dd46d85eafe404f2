#include "camera/camera_choice_dialog.h"

#include "core/catalogue.h"
#include "resources/connect_dialog.h"

#include <cstdlib>
#include <string>

namespace orvex {
namespace {

// The original read the line into a buffer of this size.
constexpr std::size_t kLineLimit = 80;

void chooseCamera(CameraSession& session, int number) {
    session.camera = nullptr;
    session.cameraNumber = number;
    EdsGetChildAtIndex(session.cameraList, number - 1, &session.camera);
}

void endChoice(CameraSession& session, Window& dialog, int result) {
    session.connectDialogOpen = false;
    dialog.endDialog(result);
}

void listCameras(CameraSession& session, int language, Window& dialog) {
    for (const ControlTemplate& c : CONNECT_DIALOG.controls)
        if (c.message >= 0) dialog.setItemText(c.id, messageText(language, c.message));
    dialog.setItemText(kOkCommand, kConnectOkText);
    dialog.setTitle(messageText(language, 38));

    session.cameraList = nullptr;
    session.camera = nullptr;
    EdsUInt32 count = 0;
    if (EdsGetCameraList(&session.cameraList) == EDS_ERR_OK) EdsGetChildCount(session.cameraList, &count);
    int listed = 0;
    int onlyNumber = 0;
    for (EdsUInt32 index = 0; index < count; ++index) {
        EdsCameraRef camera = nullptr;
        if (EdsGetChildAtIndex(session.cameraList, static_cast<EdsInt32>(index), &camera) != EDS_ERR_OK)
            continue;
        EdsDeviceInfo info{};
        const bool read = EdsGetDeviceInfo(camera, &info) == EDS_ERR_OK;
        EdsRelease(camera);
        if (!read) continue;
        const int number = static_cast<int>(index) + 1;
        dialog.listAdd(kCameraChoiceList, std::to_string(number) + " - " + info.szDeviceDescription);
        ++listed;
        onlyNumber = number;
    }

    if (listed == 0) {
        dialog.listAdd(kCameraChoiceList, messageText(language, 121));
        // A drop-down list shows nothing until an entry is selected.
        dialog.listSelectIndex(kCameraChoiceList, 0);
        dialog.enableItem(kOkCommand, false);
        if (session.cameraList) EdsRelease(session.cameraList);
        session.cameraList = nullptr;
        return;
    }
    if (listed == 1) {
        // The camera that was listed, which is not the first of the list when an earlier one did not answer.
        chooseCamera(session, onlyNumber);
        endChoice(session, dialog, kOkCommand);
        return;
    }
    dialog.listSelectIndex(kCameraChoiceList, 0);
}

void acceptChoice(CameraSession& session, Window& dialog) {
    // A disabled OK cannot be pressed, whatever sends the command.
    if (!dialog.isItemEnabled(kOkCommand)) return;
    std::string line = dialog.listText(kCameraChoiceList, dialog.listSelection(kCameraChoiceList));
    if (line.size() > kLineLimit) line.resize(kLineLimit);
    char* end = nullptr;
    const long number = std::strtol(line.c_str(), &end, 10);
    if (end != line.c_str() && number > 0 && number <= 0x7FFFFFFF)
        chooseCamera(session, static_cast<int>(number));
    endChoice(session, dialog, kOkCommand);
}

} // namespace

void cameraChoiceProcedure(CameraSession& session, int language, Window& dialog,
                           const DialogMessage& message) {
    switch (message.kind) {
    case MessageKind::Init:
        listCameras(session, language, dialog);
        break;
    case MessageKind::Command:
        if (message.id == kOkCommand)
            acceptChoice(session, dialog);
        else if (message.id == kCancelCommand)
            endChoice(session, dialog, kCancelCommand);
        break;
    case MessageKind::Close:
        endChoice(session, dialog, kCancelCommand);
        break;
    default:
        break;
    }
}

} // namespace orvex
