#include "resources/script_chain_dialog.h"

namespace orvex {
namespace {

using K = ControlKind;

constexpr ControlTemplate kControls[] = {
    {1041, K::ListBox, -1, 7, 7, 120, 110},
    {1043, K::PushButton, 8, 135, 7, 50, 14},
    {1044, K::PushButton, 148, 135, 25, 50, 14},
    {1046, K::PushButton, 163, 135, 50, 50, 14},
    {1048, K::PushButton, 160, 135, 68, 50, 14},
    {1042, K::CheckBox, 32, 7, 125, 70, 10},
    {1, K::PushButton, -1, 135, 103, 50, 14, kStyleDefaultButton},
    {2, K::PushButton, 22, 135, 121, 50, 14},
};

} // namespace

const DialogTemplate SCRIPT_CHAIN_DIALOG = {"SCRIPT_CHAIN_DIALOG", 192, 142, true, false, kControls};

} // namespace orvex
