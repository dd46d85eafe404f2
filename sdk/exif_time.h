#pragma once
// The moment a picture was taken, read from its own file: the EXIF block of a JPEG, the tags of a TIFF-based
// RAW file (CR2), or those of a CR3. Used when the camera's driver cannot tell it.
#include "sdk/sdk.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace orvex::sdk::detail {

// Reads `size` bytes at `offset`; false when they are not all there.
using ReadAt = std::function<bool(std::uint64_t offset, void* out, std::size_t size)>;

// EDS_ERR_FILE_FORMAT_UNRECOGNIZED when the data is neither JPEG, TIFF nor CR3. A recognised file without a
// readable date gives EDS_ERR_OK and no time.
EdsError readShootingTime(const ReadAt& read, std::optional<EdsTime>& out);

} // namespace orvex::sdk::detail
