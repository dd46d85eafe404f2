#pragma once
#include "resources/dialog_template.h"

namespace orvex {

// Control ids of the camera choice dialog; OK and Cancel are kOkCommand and kCancelCommand.
enum ConnectControl {
    kCameraChoiceList = 1002,
};

// The OK button's text: the template's own, the same in every language.
inline constexpr const char* kConnectOkText = "OK";

extern const DialogTemplate CONNECT_DIALOG;

} // namespace orvex
