#pragma once
// The program's own failure codes. They are negative so that they share one number space with the camera
// SDK's codes: an error report and its text take either.
#include <cstdint>

namespace orvex {

enum ProgramError : std::int32_t {
    kErrorQualityNotSupported = -1,
    kErrorPictureFolder = -2,
    kErrorAutofocusOn = -3,
    kErrorBulbWithoutSpeed = -4,
    kErrorLockupOffOnCamera = -5,
    kErrorApertureNeedsAvOrManual = -6,
    kErrorSpeedNeedsTvOrManual = -7,
    kErrorIsoNeedsCreativeMode = -8,
    kErrorDriveNotContinuous = -9,
    kErrorDownloadTimeout = -10,
    kErrorSoundInput = -11,
    kErrorStoreTimeout = -12,
    kErrorSpeedNeedsManual = -13,
    kErrorSpeedNotInBulb = -14,
    kErrorSpeedNeedsBulb = -15,
    kErrorBurstInBulb = -16,
    kErrorBodyIdNotANumber = -17,
    kErrorApertureNotSupported = -18,
    kErrorSpeedNotSupported = -19,
    kErrorIsoNotSupported = -20,
};

} // namespace orvex
