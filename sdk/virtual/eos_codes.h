#pragma once
// The EOS property codes the virtual body interprets: shutter speeds, image quality, drive modes.
#include "sdk/sdk.h"

#include <optional>
#include <vector>

namespace orvex::virtualcam {

inline constexpr EdsUInt32 kTvBulb = 0x0C;
inline constexpr EdsUInt32 kAeProgram = 0, kAeTv = 1, kAeAv = 2, kAeManual = 3, kAeBulb = 4;

// Exposure of a shutter-speed code in microseconds; none for Bulb and for codes that are no speed.
std::optional<std::uint64_t> shutterMicroseconds(EdsUInt32 tvCode);

// The ISO speed of a sensitivity code; Auto (0) reads as the 100 the body would choose in daylight.
unsigned isoNumber(EdsUInt32 isoCode);

// Milliseconds between the frames of a burst in a continuous drive mode; none for single shooting.
std::optional<unsigned> burstIntervalMs(EdsUInt32 driveMode);
bool isKnownDriveMode(EdsUInt32 driveMode);

// The files one shot yields, as the quality code describes them.
enum class FileKind { Jpeg, Cr2, Crw, Thumbnail };
struct QualityFiles {
    FileKind primary = FileKind::Jpeg;
    bool jpegToo = false; // a JPEG beside the RAW
    int jpegSize = 0;     // 0 large, 1 medium, 2 small
    bool fine = true;
};
// None when the body's protocol would refuse the code: the older protocol writes "no second picture" as
// 0x0000, the standard one as 0xFF0F; only the older protocol records CRW, only the standard one CR2.
std::optional<QualityFiles> decodeQuality(EdsUInt32 code, bool legacyProtocol);

// Code lists of typical bodies, offered by the presets and used when a profile gives none.
std::vector<EdsUInt32> standardShutterCodes(bool fastest8000);
std::vector<EdsUInt32> apertureCodesFrom(EdsUInt32 widest);
std::vector<EdsUInt32> standardIsoCodes();
std::vector<EdsUInt32> fullStopIsoCodes();

} // namespace orvex::virtualcam
