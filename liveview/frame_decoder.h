#pragma once
// Turns the camera's live view JPEG into a Frame.
#include "core/live_view_state.h"

#include <cstddef>

namespace orvex {

// Decodes into `frame`, reusing its buffers; false when the data is no picture this program can hold, and
// `frame` is then not to be used.
bool decodeFrame(const unsigned char* jpeg, std::size_t size, Frame& frame);

} // namespace orvex
