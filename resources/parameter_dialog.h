#pragma once
#include "resources/dialog_template.h"

namespace orvex {

// Control ids of the parameters dialog; OK and Cancel are kOkCommand and kCancelCommand.
enum ParameterControl {
    kCurrentTimeButton = 1004,
    kBrowseButton = 1005,
    kHourList = 1045,
    kMinuteList = 1047,
    kMoveLevelList = 1049,
    kPixelsEdit = 1050,
    kSecondList = 1051,
    kThresholdList = 1052,
    kInfiniteCheck = 1055,
    kCountEdit = 1056,
    kUtCheck = 1058,
    kLanguageList = 1060,
    kPrefixEdit = 1069,
    kBrowserEdit = 1070,
    kEditorList = 1072,
};

// The parameters dialog's frames and labels, which only carry their texts.
enum ParameterLabel {
    kHourLabel = 2012,
    kMinuteLabel = 2013,
    kSecondLabel = 2014,
    kCountLabel = 2015,
    kPrefixLabel = 2017,
    kMoveLevelLabel = 2019,
    kThresholdLabel = 2020,
    kPixelsLabel = 2023,
    kStartTimeGroup = 2028,
    kLanguageGroup = 2032,
    kLoopGroup = 2033,
    kArchiveGroup = 2034,
    kEditorGroup = 2036,
    kMoveGroup = 2037,
    kSoundGroup = 2038,
    kBrowserGroup = 2039,
};

// Texts the template keeps in every language.
inline constexpr const char* kParameterOkText = "OK";
inline constexpr const char* kBrowseButtonText = "...";

extern const DialogTemplate PARAMETER_DIALOG;

} // namespace orvex
