#pragma once
// Every entry point of sdk.h answers with a code: an exception thrown by a driver or by the standard
// library must not cross into the program's C-style calls.
#include "sdk/sdk.h"

#include <new>
#include <stdexcept>

namespace orvex::sdk::detail {

template <class Fn> EdsError guarded(Fn&& fn) noexcept {
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return EDS_ERR_MEM_ALLOC_FAILED;
    } catch (const std::length_error&) {
        return EDS_ERR_MEM_ALLOC_FAILED;
    } catch (...) {
        return EDS_ERR_INTERNAL_ERROR;
    }
}

} // namespace orvex::sdk::detail
