#include "camera/error_texts.h"

#include "camera/program_errors.h"
#include "core/catalogue.h"
#include "sdk/sdk.h"

namespace orvex {
namespace {

struct CodeText {
    std::int32_t code;
    int message;
};

constexpr CodeText kErrorTexts[] = {
    {EDS_ERR_INTERNAL_ERROR, 71},
    {EDS_ERR_NOT_SUPPORTED, 127},
    {EDS_ERR_PROPERTIES_UNAVAILABLE, 140},
    {EDS_ERR_PROPERTIES_MISMATCH, 141},
    {EDS_ERR_PROPERTIES_NOT_LOADED, 142},
    {EDS_ERR_DEVICE_BUSY, 43},
    {EDS_ERR_STREAM_OPEN_ERROR, 186},
    {EDS_ERR_COMM_PORT_IS_IN_USE, 34},
    {EDS_ERR_COMM_DISCONNECTED, 33},
    {EDS_ERR_TAKE_PICTURE_AF_NG, 61},
    {EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG, 112},
    {EDS_ERR_TAKE_PICTURE_CARD_NG, 212},
    {EDS_ERR_TAKE_PICTURE_CARD_PROTECT_NG, 213},
    {EDS_ERR_OPERATION_REFUSED, 214},
    {EDS_ERR_LOW_BATTERY, 14},
    {kErrorQualityNotSupported, 144},
    {kErrorPictureFolder, 25},
    {kErrorAutofocusOn, 45},
    {kErrorBulbWithoutSpeed, 17},
    {kErrorLockupOffOnCamera, 113},
    {kErrorApertureNeedsAvOrManual, 27},
    {kErrorSpeedNeedsTvOrManual, 29},
    {kErrorIsoNeedsCreativeMode, 28},
    {kErrorDriveNotContinuous, 19},
    {kErrorDownloadTimeout, 146},
    {kErrorStoreTimeout, 185},
    {kErrorSpeedNeedsManual, 107},
    {kErrorSpeedNotInBulb, 110},
    {kErrorSpeedNeedsBulb, 108},
    {kErrorBurstInBulb, 23},
    {kErrorApertureNotSupported, 12},
    {kErrorSpeedNotSupported, 180},
    {kErrorIsoNotSupported, 166},
};

} // namespace

std::string errorText(int language, std::int32_t code) {
    for (const CodeText& e : kErrorTexts)
        if (e.code == code) return messageText(language, e.message);
    return formatMessage(language, 192, static_cast<long long>(static_cast<std::uint32_t>(code)));
}

} // namespace orvex
