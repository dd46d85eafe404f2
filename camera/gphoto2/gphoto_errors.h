#pragma once
// libgphoto2's result codes as the SDK codes the program already handles.
#include "camera/sdk.h"

namespace orvex::gphoto {

// What was asked when the library answered: its plain failure (-1) means something else for each.
enum class Asked { Other, Setting, Release, Preview, Download };

EdsError edsError(int gpResult, Asked asked = Asked::Other);

// The body is gone: unplugged or switched off.
inline bool isGone(EdsError error) {
    return error == EDS_ERR_COMM_DISCONNECTED;
}

} // namespace orvex::gphoto
