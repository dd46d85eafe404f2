#include "resources/parameter_dialog.h"

#include "platform/window.h"

namespace orvex {
namespace {

using K = ControlKind;

// Group boxes come first so that the controls inside them are drawn over them.
constexpr ControlTemplate kControls[] = {
    {kStartTimeGroup, K::GroupBox, 182, 17, 10, 120, 108},
    {kBrowserGroup, K::GroupBox, 136, 17, 123, 120, 43},
    {kLoopGroup, K::GroupBox, 105, 148, 10, 97, 52},
    {kMoveGroup, K::GroupBox, 115, 148, 66, 97, 52},
    {kSoundGroup, K::GroupBox, 176, 147, 123, 97, 43},
    {kArchiveGroup, K::GroupBox, 13, 17, 170, 228, 39},
    {kEditorGroup, K::GroupBox, 161, 17, 214, 109, 35},
    {kLanguageGroup, K::GroupBox, 88, 136, 214, 109, 35},
    {kHourLabel, K::Label, 67, 27, 24, 35, 8},
    {kHourList, K::DropDownList, -1, 68, 21, 35, 87},
    {kMinuteLabel, K::Label, 111, 27, 44, 35, 8},
    {kMinuteList, K::DropDownList, -1, 67, 41, 35, 87},
    {kSecondLabel, K::Label, 165, 27, 64, 35, 8},
    {kSecondList, K::DropDownList, -1, 68, 61, 35, 87},
    {kUtCheck, K::CheckBox, 193, 25, 92, 21, 10},
    {kCurrentTimeButton, K::PushButton, 39, 52, 89, 53, 14},
    {kBrowserEdit, K::Edit, -1, 24, 140, 92, 14},
    {kBrowseButton, K::PushButton, -1, 117, 140, 13, 14},
    {kInfiniteCheck, K::CheckBox, 70, 156, 24, 55, 10},
    {kCountLabel, K::Label, 104, 156, 44, 37, 8},
    {kCountEdit, K::Edit, -1, 200, 41, 35, 14, kStyleCentred},
    {kMoveLevelLabel, K::Label, 137, 156, 79, 35, 8},
    {kMoveLevelList, K::DropDownList, -1, 200, 76, 35, 87},
    {kPixelsLabel, K::Label, 138, 156, 98, 35, 8},
    {kPixelsEdit, K::Edit, -1, 200, 95, 35, 14, kStyleCentred},
    {kThresholdLabel, K::Label, 177, 156, 143, 35, 8},
    {kThresholdList, K::DropDownList, -1, 200, 140, 35, 87},
    {kPrefixLabel, K::Label, 58, 31, 187, 63, 8},
    {kPrefixEdit, K::Edit, -1, 112, 184, 111, 14},
    {kEditorList, K::DropDownList, -1, 29, 226, 76, 87},
    {kLanguageList, K::DropDownList, -1, 152, 226, 76, 87},
    {kOkCommand, K::PushButton, -1, 35, 262, 50, 14, kStyleDefaultButton},
    {kCancelCommand, K::PushButton, 22, 181, 262, 50, 14},
};

} // namespace

const DialogTemplate PARAMETER_DIALOG = {"PARAMETER_DIALOG", 262, 290, true, false, kControls};

} // namespace orvex
