#pragma once
// The bytes of the virtual body's files: JPEG pictures with their EXIF block, TIFF-based RAW files, and
// live view frames of a synthetic scene.
#include "sdk/sdk.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::virtualcam {

using Bytes = std::vector<std::uint8_t>;

// What a picture's EXIF data tells about it.
struct PictureFacts {
    std::string model; // the body's description
    std::string owner;
    std::string bodyId;
    EdsTime taken{}; // the body's clock when the shutter opened
    std::uint64_t exposureMicroseconds = 0;
    unsigned iso = 100;
    unsigned number = 0; // the file number, drawn on the picture
};

// A JPEG of `width` × `height` pixels showing the file number on a gradient, with EXIF data that a
// reader finds by walking the JPEG's marker segments.
Bytes makeJpegPicture(const PictureFacts& facts, int width, int height, bool fine);
// A small TIFF-based RAW file: a preview strip and the same EXIF data. `cr2` adds the marker that tells
// a CR2 apart from a plain TIFF.
Bytes makeRawPicture(const PictureFacts& facts, bool cr2);

// The area of the sensor a live view frame shows, in sensor pixels, and the object in the scene.
struct LiveViewShot {
    int sensorWidth = 0, sensorHeight = 0;
    double left = 0, top = 0, width = 0, height = 0; // the part of the sensor shown
    double objectX = 0, objectY = 0, objectRadius = 0;
};
inline constexpr int kLiveViewWidth = 720;
inline constexpr int kLiveViewHeight = 480;
Bytes renderLiveView(const LiveViewShot& shot);

// RGB bytes, three per pixel, as a baseline JPEG. Throws std::runtime_error when the encoder fails.
Bytes encodeJpeg(const Bytes& rgb, int width, int height, int quality);

} // namespace orvex::virtualcam
