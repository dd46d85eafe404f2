#pragma once
// libgphoto2's result codes as the SDK codes the program already handles.
#include "sdk/sdk.h"

#include <string_view>

namespace orvex::gphoto {

// What was asked when the library answered: its plain failure (-1) means something else for each.
enum class Asked { Other, Setting, Release, Preview, Download };

EdsError edsError(int gpResult, Asked asked = Asked::Other);

// The result of pressing the release, a refusal told apart by the library's explanation: only "Perhaps no
// focus?" is a focus failure; a raised mirror, a full or a write-protected card have codes of their own, and
// any other refusal is one.
EdsError releaseError(int gpResult, std::string_view explanation);

// A failure whose explanation means the body has gone, though its code alone does not say so: a body
// switching off fails the library's event poll with "Canon EOS Get Changes failed".
bool saysGone(std::string_view explanation);

// The body is gone: unplugged or switched off.
inline bool isGone(EdsError error) {
    return error == EDS_ERR_COMM_DISCONNECTED;
}

} // namespace orvex::gphoto
