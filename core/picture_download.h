#pragma once
// Downloading one picture into the picture folder under the name of the moment it was taken.
#include "sdk/sdk.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvex {

// The picture name: [prefix_]YYYY-MM-DD_hh-mm-ss_NNNN.ext
std::string pictureName(const std::string& prefix, const EdsTime& taken, int number,
                        const std::string& extension);

struct DownloadOutcome {
    std::int32_t error = 0;            // 0 or an error code
    bool lost = false;                 // the download itself failed: the picture is not in the folder
    std::string cameraName;            // the file's name on the camera
    std::string stored;                // where it was filed; empty when nowhere
    std::optional<std::string> onCard; // not stored, it stays on the camera's card, in this folder
    std::optional<EdsTime> taken;      // the picture's own shooting time, when it could be read
};

// The card folder of a file the camera announced, when it is on a card.
std::optional<std::string> cardFolderOf(EdsDirectoryItemRef item);

// Whether a downloaded picture becomes a file, or is only read for its name (a rehearsal's, by default).
enum class PictureFile { kWritten, kNamedOnly };

// Downloads the item (which it releases) into `folder` (with its trailing separator), named with `number`,
// or with the camera's name when its date cannot be read. Never replaces a file. The camera may let its
// copy go only once the file is stored whole under its name: a download that fails in any way, the folder
// full, unwritable or gone, is cancelled, its partial file removed, and a picture on the camera's card stays
// there. The error is then the cancel's, or the failure's. Named only, the picture is read into memory and
// given the name a file would get beside those already in the folder.
DownloadOutcome downloadPicture(EdsDirectoryItemRef item, const std::string& folder,
                                const std::string& prefix, int number, const std::string& extension,
                                PictureFile file = PictureFile::kWritten);

} // namespace orvex
