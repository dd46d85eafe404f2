#include "resources/connect_dialog.h"

#include "platform/window.h"

namespace orvex {
namespace {

using K = ControlKind;

// The camera list is filled by the program; only Cancel has a catalogue text. Return chooses the camera.
constexpr ControlTemplate kControls[] = {
    {kCameraChoiceList, K::DropDownList, -1, 7, 7, 172, 80},
    {kOkCommand, K::PushButton, -1, 75, 29, 50, 14, kStyleDefaultButton},
    {kCancelCommand, K::PushButton, 22, 129, 29, 50, 14},
};

} // namespace

const DialogTemplate CONNECT_DIALOG = {"CONNECT_DIALOG", 186, 50, true, false, kControls};

} // namespace orvex
