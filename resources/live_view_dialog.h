#pragma once
#include "resources/dialog_template.h"

namespace orvex {

// Control ids of the live view window. The buttons post their own id to the main window, which does the
// camera's part; the frame rate list posts kFrameRateList when it changes.
enum LiveViewControl {
    kFocusFar3 = 1025,
    kFocusFar2 = 1026,
    kFocusFar1 = 1027,
    kFocusNear1 = 1028,
    kFocusNear2 = 1029,
    kFocusNear3 = 1030,
    kZoomLeft = 1031,
    kZoomUp = 1032,
    kZoomRight = 1033,
    kZoomDown = 1034,
    kPictureArea = 1022,
    kZoomCenter = 1038,
    kFrameRateList = 1039,
    kAutofocusButton = 1052,
    kZoomX5Button = 1057,
    kZoomFitButton = 1059,
};

// The window's group boxes, which only carry their texts.
enum LiveViewGroup {
    kZoomGroup = 2009,
    kFocusGroup = 2016,
    kZoomAreaGroup = 2018,
    kFrameRateGroup = 2021,
};

// The big window is for screens wider than this, in pixels.
inline constexpr int kSmallScreenWidth = 1024;

extern const DialogTemplate BIG_LIVE_VIEW_DIALOG;
extern const DialogTemplate SMALL_LIVE_VIEW_DIALOG;

} // namespace orvex
