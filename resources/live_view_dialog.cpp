#include "resources/live_view_dialog.h"

namespace orvex {
namespace {

using K = ControlKind;

// The focus arrows keep their texts in every language: they carry no message.
constexpr ControlTemplate kBig[] = {
    {kPictureArea, K::PictureArea, -1, 0, 0, 535, 390},
    {kFrameRateGroup, K::GroupBox, 62, 24, 393, 52, 40},
    {kFrameRateList, K::DropDownList, -1, 33, 410, 35, 87},
    {kZoomGroup, K::GroupBox, 201, 86, 393, 57, 40},
    {kZoomFitButton, K::PushButton, 204, 94, 409, 20, 14},
    {kZoomX5Button, K::PushButton, 210, 118, 409, 20, 14},
    {kFocusGroup, K::GroupBox, 60, 152, 393, 176, 40},
    {kFocusNear3, K::PushButton, -1, 159, 409, 20, 14},
    {kFocusNear2, K::PushButton, -1, 181, 409, 20, 14},
    {kFocusNear1, K::PushButton, -1, 203, 409, 20, 14},
    {kAutofocusButton, K::PushButton, -1, 230, 409, 20, 14},
    {kFocusFar1, K::PushButton, -1, 257, 409, 20, 14},
    {kFocusFar2, K::PushButton, -1, 279, 409, 20, 14},
    {kFocusFar3, K::PushButton, -1, 301, 409, 20, 14},
    {kZoomAreaGroup, K::GroupBox, 206, 337, 393, 152, 40},
    {kZoomLeft, K::PushButton, 205, 345, 409, 27, 14},
    {kZoomRight, K::PushButton, 207, 401, 409, 27, 14},
    {kZoomUp, K::PushButton, 208, 375, 403, 24, 14},
    {kZoomDown, K::PushButton, 203, 375, 417, 24, 14},
    {kZoomCenter, K::PushButton, 202, 445, 409, 31, 14},
};

constexpr ControlTemplate kSmall[] = {
    {kPictureArea, K::PictureArea, -1, 0, 0, 390, 260},
    {kFrameRateGroup, K::GroupBox, 62, 6, 262, 47, 40},
    {kFrameRateList, K::DropDownList, -1, 12, 278, 35, 87},
    {kZoomGroup, K::GroupBox, 201, 58, 262, 48, 40},
    {kZoomFitButton, K::PushButton, 204, 62, 278, 20, 14},
    {kZoomX5Button, K::PushButton, 210, 82, 278, 20, 14},
    {kFocusGroup, K::GroupBox, 60, 110, 262, 151, 40},
    {kFocusNear3, K::PushButton, -1, 114, 278, 20, 14},
    {kFocusNear2, K::PushButton, -1, 134, 278, 20, 14},
    {kFocusNear1, K::PushButton, -1, 154, 278, 20, 14},
    {kAutofocusButton, K::PushButton, -1, 176, 278, 20, 14},
    {kFocusFar1, K::PushButton, -1, 197, 278, 20, 14},
    {kFocusFar2, K::PushButton, -1, 217, 278, 20, 14},
    {kFocusFar3, K::PushButton, -1, 237, 278, 20, 14},
    {kZoomAreaGroup, K::GroupBox, 206, 265, 263, 120, 40},
    {kZoomLeft, K::PushButton, 205, 269, 278, 27, 14},
    {kZoomRight, K::PushButton, 207, 322, 278, 27, 14},
    {kZoomUp, K::PushButton, 208, 297, 272, 24, 14},
    {kZoomDown, K::PushButton, 203, 297, 286, 24, 14},
    {kZoomCenter, K::PushButton, 202, 351, 278, 27, 14},
};

} // namespace

const DialogTemplate BIG_LIVE_VIEW_DIALOG = {"BIG_LIVE_VIEW_DIALOG", 535, 441, false, true, kBig};
const DialogTemplate SMALL_LIVE_VIEW_DIALOG = {"SMALL_LIVE_VIEW_DIALOG", 390, 308, false, true, kSmall};

} // namespace orvex
