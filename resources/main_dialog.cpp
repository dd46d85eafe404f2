#include "resources/main_dialog.h"

namespace orvex {
namespace {

using K = ControlKind;

// Texts of lists and of the camera field are filled by the program, not by the template.
constexpr ControlTemplate kControls[] = {
    {1001, K::PushButton, 37, 7, 6, 50, 14},       {1023, K::PushButton, 147, 7, 26, 50, 14},
    {1014, K::PushButton, 95, 7, 46, 50, 14},      {1015, K::PushButton, 96, 7, 66, 50, 14},
    {1003, K::PushButton, 181, 7, 86, 50, 14},     {1010, K::PushButton, 133, 71, 86, 50, 14},
    {1021, K::PushButton, 92, 133, 86, 50, 14},    {1008, K::Toggle, 174, 191, 29, 50, 10},
    {1011, K::Toggle, 103, 191, 48, 50, 10},       {1054, K::Toggle, 41, 191, 68, 50, 10},
    {2039, K::Label, 151, 249, 29, 26, 8},         {1071, K::DropDownList, -1, 279, 26, 44, 87},
    {2009, K::Label, 94, 247, 49, 28, 8},          {1036, K::DropDownList, -1, 279, 46, 44, 87},
    {2010, K::Label, 99, 250, 69, 25, 8},          {1020, K::DropDownList, -1, 279, 66, 44, 87},
    {2011, K::Label, 167, 244, 89, 31, 8},         {1024, K::DropDownList, -1, 279, 86, 44, 87},
    {1006, K::ReadOnlyField, -1, 86, 6, 120, 14},  {2002, K::Label, 183, 62, 28, 21, 8},
    {1009, K::ReadOnlyField, -1, 86, 26, 35, 14},  {2005, K::Label, 195, 123, 28, 19, 8},
    {1018, K::ReadOnlyField, -1, 145, 26, 35, 14}, {1092, K::ProgressBar, -1, 145, 26, 35, 14},
    {2001, K::Label, 179, 60, 48, 22, 8},          {1016, K::ReadOnlyField, -1, 86, 46, 35, 14},
    {2003, K::Label, 56, 130, 48, 12, 8},          {1005, K::ReadOnlyField, -1, 145, 46, 35, 14},
    {2006, K::Label, 85, 71, 68, 12, 8},           {1017, K::ReadOnlyField, -1, 86, 66, 35, 14},
    {2008, K::Label, 143, 126, 68, 18, 8},         {1019, K::ReadOnlyField, -1, 145, 66, 35, 14},
    {2007, K::Label, 172, 214, 8, 33, 8},          {1007, K::ReadOnlyField, -1, 252, 6, 70, 14},
};

} // namespace

const DialogTemplate MAIN_DIALOG = {"MAIN_DIALOG", 333, 122, true, true, kControls};

} // namespace orvex
