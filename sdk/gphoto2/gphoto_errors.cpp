#include "sdk/gphoto2/gphoto_errors.h"

#include <gphoto2/gphoto2-result.h>

namespace orvex::gphoto {

EdsError edsError(int r, Asked asked) {
    if (r >= GP_OK) return EDS_ERR_OK;
    switch (r) {
    case GP_ERROR:
        switch (asked) {
        case Asked::Setting: // a label the body refuses
            return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        case Asked::Release: // "Perhaps no focus?"
            return EDS_ERR_TAKE_PICTURE_AF_NG;
        case Asked::Preview: // no frame within the library's own 3 s of retries
            return EDS_ERR_OBJECT_NOTREADY;
        case Asked::Download:
            return EDS_ERR_INCOMPLETE_TRANSFER;
        case Asked::Other:
            return EDS_ERR_INTERNAL_ERROR;
        }
        return EDS_ERR_INTERNAL_ERROR;
    case GP_ERROR_CAMERA_BUSY:
        return EDS_ERR_DEVICE_BUSY;
    case GP_ERROR_NOT_SUPPORTED:
        return EDS_ERR_NOT_SUPPORTED;
    case GP_ERROR_BAD_PARAMETERS: // no widget of that name on this body
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    case GP_ERROR_NO_MEMORY:
        return EDS_ERR_MEM_ALLOC_FAILED;
    case GP_ERROR_CORRUPTED_DATA:
    case GP_ERROR_FILE_NOT_FOUND:
        return asked == Asked::Download ? EDS_ERR_INCOMPLETE_TRANSFER : EDS_ERR_INTERNAL_ERROR;
    case GP_ERROR_IO_USB_CLAIM:
    case GP_ERROR_IO_LOCK:
        return EDS_ERR_COMM_PORT_IS_IN_USE;
    case GP_ERROR_IO:
    case GP_ERROR_TIMEOUT:
    case GP_ERROR_IO_SUPPORTED_SERIAL:
    case GP_ERROR_IO_SUPPORTED_USB:
    case GP_ERROR_IO_INIT:
    case GP_ERROR_IO_READ:
    case GP_ERROR_IO_WRITE:
    case GP_ERROR_IO_UPDATE:
    case GP_ERROR_IO_USB_CLEAR_HALT:
    case GP_ERROR_IO_USB_FIND:
    case GP_ERROR_MODEL_NOT_FOUND:
        return EDS_ERR_COMM_DISCONNECTED;
    default:
        return EDS_ERR_INTERNAL_ERROR;
    }
}

EdsError releaseError(int gpResult, std::string_view explanation) {
    const EdsError error = edsError(gpResult, Asked::Release);
    const auto says = [&](std::string_view words) {
        return explanation.find(words) != std::string_view::npos;
    };
    // The library answers "no memory" for the card: "Perhaps no more memory on card?", "Card read-only?".
    if (error == EDS_ERR_MEM_ALLOC_FAILED)
        return says("read-only") ? EDS_ERR_TAKE_PICTURE_CARD_PROTECT_NG : EDS_ERR_TAKE_PICTURE_CARD_NG;
    if (error != EDS_ERR_TAKE_PICTURE_AF_NG || says("no focus")) return error;
    if (says("mirror up")) return EDS_ERR_TAKE_PICTURE_MIRROR_UP_NG;
    return EDS_ERR_OPERATION_REFUSED;
}

bool saysGone(std::string_view explanation) {
    return explanation.find("Get Changes failed") != std::string_view::npos;
}

} // namespace orvex::gphoto
