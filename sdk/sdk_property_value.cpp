#include "sdk/sdk_property_value.h"

#include <cstring>
#include <type_traits>

namespace orvex::sdk::detail {

EdsDataType propertyDataType(EdsPropertyID property) {
    switch (property) {
    case kEdsPropID_ProductName:
    case kEdsPropID_OwnerName:
    case kEdsPropID_FirmwareVersion:
    case kEdsPropID_BodyIDEx:
        return kEdsDataType_String;
    case kEdsPropID_DateTime:
        return kEdsDataType_Time;
    case kEdsPropID_Evf_ZoomPosition:
        return kEdsDataType_Point;
    case kEdsPropID_Evf_CoordinateSystem:
        return kEdsDataType_Size;
    case kEdsPropID_BatteryLevel:
    case kEdsPropID_CFn:
    case kEdsPropID_SaveTo:
    case kEdsPropID_ImageQuality:
    case kEdsPropID_AEMode:
    case kEdsPropID_DriveMode:
    case kEdsPropID_ISOSpeed:
    case kEdsPropID_AFMode:
    case kEdsPropID_Av:
    case kEdsPropID_Tv:
    case kEdsPropID_AvailableShots:
    case kEdsPropID_LensStatus:
    case kEdsPropID_Evf_OutputDevice:
    case kEdsPropID_Evf_Mode:
    case kEdsPropID_Evf_Zoom:
    case kEdsPropID_Evf_AFMode:
        return kEdsDataType_UInt32;
    default:
        return kEdsDataType_ByteBlock;
    }
}

void describeValue(const PropertyValue& value, EdsDataType& type, EdsUInt32& size) {
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                type = kEdsDataType_String;
                size = static_cast<EdsUInt32>(std::strlen(v.c_str()) + 1);
            } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
                type = kEdsDataType_ByteBlock;
                size = static_cast<EdsUInt32>(v.size());
            } else {
                type = std::is_same_v<T, EdsUInt32>  ? kEdsDataType_UInt32
                       : std::is_same_v<T, EdsTime>  ? kEdsDataType_Time
                       : std::is_same_v<T, EdsPoint> ? kEdsDataType_Point
                                                     : kEdsDataType_Size;
                size = sizeof(T);
            }
        },
        value);
}

EdsError copyValueOut(const PropertyValue& value, EdsUInt32 size, void* out) {
    EdsDataType type = kEdsDataType_Unknown;
    EdsUInt32 needed = 0;
    describeValue(value, type, needed);
    if (size < needed) return EDS_ERR_INVALID_LENGTH;
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                std::memcpy(out, v.c_str(), needed); // a driver's embedded NUL ends the text here too
            } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
                if (needed != 0) std::memcpy(out, v.data(), needed);
            } else {
                std::memcpy(out, &v, sizeof(T));
            }
        },
        value);
    return EDS_ERR_OK;
}

namespace {

template <class T> EdsError decodeFixed(EdsUInt32 size, const void* data, PropertyValue& out) {
    if (size < sizeof(T)) return EDS_ERR_INVALID_LENGTH;
    T v;
    std::memcpy(&v, data, sizeof(T));
    out = v;
    return EDS_ERR_OK;
}

} // namespace

EdsError decodeValue(EdsPropertyID property, EdsUInt32 size, const void* data, PropertyValue& out) {
    switch (propertyDataType(property)) {
    case kEdsDataType_String: {
        const auto* text = static_cast<const char*>(data);
        const void* end = std::memchr(text, '\0', size);
        out = std::string(text, end ? static_cast<const char*>(end) : text + size);
        return EDS_ERR_OK;
    }
    case kEdsDataType_Time:
        return decodeFixed<EdsTime>(size, data, out);
    case kEdsDataType_Point:
        return decodeFixed<EdsPoint>(size, data, out);
    case kEdsDataType_Size:
        return decodeFixed<EdsSize>(size, data, out);
    case kEdsDataType_UInt32:
        return decodeFixed<EdsUInt32>(size, data, out);
    default: {
        const auto* first = static_cast<const std::uint8_t*>(data);
        out = std::vector<std::uint8_t>(first, first + size);
        return EDS_ERR_OK;
    }
    }
}

} // namespace orvex::sdk::detail
