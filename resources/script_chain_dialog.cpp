#include "resources/script_chain_dialog.h"

#include "platform/window.h"

namespace orvex {
namespace {

using K = ControlKind;

constexpr ControlTemplate kControls[] = {
    {kChainList, K::ListBox, -1, 7, 7, 120, 110},
    {kAddButton, K::PushButton, 8, 135, 7, 50, 14},
    {kRemoveButton, K::PushButton, 148, 135, 25, 50, 14},
    {kMoveUpButton, K::PushButton, 163, 135, 50, 50, 14},
    {kMoveDownButton, K::PushButton, 160, 135, 68, 50, 14},
    {kCloseChainCheck, K::CheckBox, 32, 7, 125, 70, 10},
    {kOkCommand, K::PushButton, -1, 135, 103, 50, 14, kStyleDefaultButton},
    {kCancelCommand, K::PushButton, 22, 135, 121, 50, 14},
};

} // namespace

const DialogTemplate SCRIPT_CHAIN_DIALOG = {"SCRIPT_CHAIN_DIALOG", 192, 142, true, false, kControls};

} // namespace orvex
