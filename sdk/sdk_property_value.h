#pragma once
// Property values between the caller's (id, size, buffer) and the typed values drivers deal in.
#include "sdk/camera_driver.h"

namespace orvex::sdk::detail {

// The data type of a property id the program knows; kEdsDataType_ByteBlock for any other.
EdsDataType propertyDataType(EdsPropertyID property);

void describeValue(const PropertyValue& value, EdsDataType& type, EdsUInt32& size);
// EDS_ERR_INVALID_LENGTH when the buffer cannot hold the value (a string with its terminating NUL).
EdsError copyValueOut(const PropertyValue& value, EdsUInt32 size, void* out);
// Reads the caller's buffer as the property's type; a string ends at its first NUL or at `size`.
EdsError decodeValue(EdsPropertyID property, EdsUInt32 size, const void* data, PropertyValue& out);

} // namespace orvex::sdk::detail
