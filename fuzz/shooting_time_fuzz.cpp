// The shooting-time reader on any bytes, as a body's file may hold them: a JPEG, a TIFF-based RAW or a CR3
// whose offsets point anywhere. It reads within the file, in bounded time, and a time it finds is a moment.
#include "sdk/exif_time.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto read = [&](std::uint64_t at, void* out, std::size_t count) {
        if (at > size || count > size - at) return false;
        std::memcpy(out, data + at, count);
        return true;
    };
    std::optional<EdsTime> t;
    const EdsError result = orvex::sdk::detail::readShootingTime(read, t);
    const bool moment = !t || (t->month >= 1 && t->month <= 12 && t->day >= 1 && t->day <= 31 &&
                               t->hour <= 23 && t->minute <= 59 && t->second <= 60 && t->milliseconds <= 999);
    if ((result != EDS_ERR_OK && (result != EDS_ERR_FILE_FORMAT_UNRECOGNIZED || t)) || !moment) {
        std::fprintf(stderr, "shooting time broken: result %u\n", static_cast<unsigned>(result));
        std::abort();
    }
    return 0;
}
