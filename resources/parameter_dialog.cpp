#include "resources/parameter_dialog.h"

namespace orvex {
namespace {

using K = ControlKind;

// Group boxes come first so that the controls inside them are drawn over them.
constexpr ControlTemplate kControls[] = {
    {2028, K::GroupBox, 182, 17, 10, 120, 108},
    {2039, K::GroupBox, 136, 17, 123, 120, 43},
    {2033, K::GroupBox, 105, 148, 10, 97, 52},
    {2037, K::GroupBox, 115, 148, 66, 97, 52},
    {2038, K::GroupBox, 176, 147, 123, 97, 43},
    {2034, K::GroupBox, 13, 17, 170, 228, 39},
    {2036, K::GroupBox, 161, 17, 214, 109, 35},
    {2032, K::GroupBox, 88, 136, 214, 109, 35},
    {2012, K::Label, 67, 27, 24, 35, 8},
    {1045, K::DropDownList, -1, 68, 21, 35, 87},
    {2013, K::Label, 111, 27, 44, 35, 8},
    {1047, K::DropDownList, -1, 67, 41, 35, 87},
    {2014, K::Label, 165, 27, 64, 35, 8},
    {1051, K::DropDownList, -1, 68, 61, 35, 87},
    {1058, K::CheckBox, 193, 25, 92, 21, 10},
    {1004, K::PushButton, 39, 52, 89, 53, 14},
    {1070, K::Edit, -1, 24, 140, 92, 14},
    {1005, K::PushButton, -1, 117, 140, 13, 14},
    {1055, K::CheckBox, 70, 156, 24, 55, 10},
    {2015, K::Label, 104, 156, 44, 37, 8},
    {1056, K::Edit, -1, 200, 41, 35, 14, kStyleCentred},
    {2019, K::Label, 137, 156, 79, 35, 8},
    {1049, K::DropDownList, -1, 200, 76, 35, 87},
    {2023, K::Label, 138, 156, 98, 35, 8},
    {1050, K::Edit, -1, 200, 95, 35, 14, kStyleCentred},
    {2020, K::Label, 177, 156, 143, 35, 8},
    {1052, K::DropDownList, -1, 200, 140, 35, 87},
    {2017, K::Label, 58, 31, 187, 63, 8},
    {1069, K::Edit, -1, 112, 184, 111, 14},
    {1072, K::DropDownList, -1, 29, 226, 76, 87},
    {1060, K::DropDownList, -1, 152, 226, 76, 87},
    {1, K::PushButton, -1, 35, 262, 50, 14, kStyleDefaultButton},
    {2, K::PushButton, 22, 181, 262, 50, 14},
};

} // namespace

const DialogTemplate PARAMETER_DIALOG = {"PARAMETER_DIALOG", 262, 290, true, false, kControls};

} // namespace orvex
