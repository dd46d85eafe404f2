#pragma once
#include "resources/dialog_template.h"

namespace orvex {

// Control ids of the script chain dialog; OK and Cancel are kOkCommand and kCancelCommand.
enum ChainControl {
    kChainList = 1041,
    kCloseChainCheck = 1042,
    kAddButton = 1043,
    kRemoveButton = 1044,
    kMoveUpButton = 1046,
    kMoveDownButton = 1048,
};

// The OK button's text: the template's own, the same in every language.
inline constexpr const char* kChainOkText = "OK";

extern const DialogTemplate SCRIPT_CHAIN_DIALOG;

} // namespace orvex
