#include "core/picture_download.h"

#include "platform/files.h"

#include <atomic>
#include <cstdio>
#include <utility>

namespace orvex {
namespace {

// Releases a reference at the end of the scope, on every path.
struct Released {
    EdsBaseRef ref = nullptr;
    ~Released() {
        if (ref) EdsRelease(ref);
    }
};

// A name of our own in the picture folder that no camera file can have, created new so it never replaces one.
// Another Orvex downloading into the same folder holds names of this form too, and frees them as its
// pictures are stored: a name refused may already be free again when looked at, so every refusal moves on
// to the next name. A folder that takes no file refuses them all.
std::string createTemporary(const std::string& folder, EdsStreamRef& stream, EdsError& error) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = folder + ".orvex-download-" + std::to_string(counter++) + ".part";
        error = EdsCreateFileStream(path.c_str(), kEdsFileCreateDisposition_CreateNew, kEdsAccess_ReadWrite,
                                    &stream);
        if (error == EDS_ERR_OK) return path;
    }
    return {};
}

// Files the download under `name`; on a clash, under the camera's own name, made unique. `take` files it
// under one candidate and says whether that name was free: a name is never taken from a file already there.
template <typename Take>
std::string settle(Take take, const std::string& folder, const std::string& name,
                   const std::string& cameraName) {
    if (take(folder + name)) return folder + name;
    const auto dot = cameraName.find('.');
    const std::string stem = cameraName.substr(0, dot),
                      ext = dot == std::string::npos ? "" : cameraName.substr(dot);
    for (int n = 0; n < 10000; ++n) {
        const std::string candidate = folder + (n == 0 ? cameraName : stem + "-" + std::to_string(n) + ext);
        if (take(candidate)) return candidate;
    }
    return {};
}

} // namespace

std::string pictureName(const std::string& prefix, const EdsTime& t, int number,
                        const std::string& extension) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d_%04d", static_cast<int>(t.year),
                  static_cast<int>(t.month), static_cast<int>(t.day), static_cast<int>(t.hour),
                  static_cast<int>(t.minute), static_cast<int>(t.second), number);
    return (prefix.empty() ? "" : prefix + "_") + text + extension;
}

std::optional<std::string> cardFolderOf(EdsDirectoryItemRef item) {
    EdsBaseRef folder = nullptr;
    if (EdsGetParent(item, &folder) != EDS_ERR_OK) return std::nullopt;
    Released ownedFolder{folder};
    EdsDirectoryItemInfo info{};
    if (EdsGetDirectoryItemInfo(folder, &info) != EDS_ERR_OK) return std::nullopt;
    return std::string(info.szFileName);
}

DownloadOutcome downloadPicture(EdsDirectoryItemRef item, const std::string& folder,
                                const std::string& prefix, int number, const std::string& extension,
                                PictureFile file) {
    DownloadOutcome outcome;
    Released ownedItem{item};
    EdsDirectoryItemInfo info{};
    if (const EdsError e = EdsGetDirectoryItemInfo(item, &info)) {
        outcome.error = static_cast<std::int32_t>(e);
        return outcome;
    }
    outcome.cameraName = info.szFileName;
    // Not stored: the camera keeps its copy, and a copy on its card is the picture's only one.
    const auto keptByTheCamera = [&](EdsError failure) {
        const EdsError cancel = EdsDownloadCancel(item);
        outcome.error = static_cast<std::int32_t>(cancel ? cancel : failure);
        outcome.onCard = cardFolderOf(item);
        return outcome;
    };
    EdsStreamRef stream = nullptr;
    EdsError error = EDS_ERR_OK;
    const bool kept = file == PictureFile::kWritten;
    std::string temporary;
    if (kept)
        temporary = createTemporary(folder, stream, error);
    else
        error = EdsCreateMemoryStream(info.size, &stream);
    if (kept ? temporary.empty() : error != EDS_ERR_OK)
        return keptByTheCamera(error ? error : EDS_ERR_STREAM_OPEN_ERROR);
    Released ownedStream{stream};
    if (EdsDownload(item, info.size, stream) != EDS_ERR_OK) {
        EdsRelease(std::exchange(ownedStream.ref, nullptr));
        if (kept) removeFile(temporary);
        outcome.lost = true;
        return keptByTheCamera(EDS_ERR_OK);
    }
    EdsImageRef image = nullptr;
    EdsTime taken{};
    EdsError dateError = EdsCreateImageRef(stream, &image);
    if (dateError == EDS_ERR_OK) {
        dateError = EdsGetPropertyData(image, kEdsPropID_DateTime, 0, sizeof taken, &taken);
        EdsRelease(image);
    }
    EdsRelease(std::exchange(ownedStream.ref, nullptr));
    if (dateError == EDS_ERR_OK) outcome.taken = taken;
    const std::string name =
        dateError == EDS_ERR_OK ? pictureName(prefix, taken, number, extension) : outcome.cameraName;
    // Without a file the name is still chosen as if there were one, beside the files already there.
    outcome.stored = kept ? settle([&](const std::string& to) { return moveWithoutReplacing(temporary, to); },
                                   folder, name, outcome.cameraName)
                          : settle([](const std::string& to) { return !fileExists(to); }, folder, name,
                                   outcome.cameraName);
    // Stored whole under its name, whether or not its date could be read: the camera may let it go.
    const std::optional<std::uint64_t> size = kept ? fileSize(outcome.stored) : info.size;
    if (outcome.stored.empty() || !size || (info.size != 0 && *size != info.size)) {
        // Cut short (the disk filled as it closed): no picture, and the camera's copy is the whole one.
        if (kept) removeFile(outcome.stored.empty() ? temporary : outcome.stored);
        outcome.stored.clear();
        outcome.lost = true;
        return keptByTheCamera(EDS_ERR_OK);
    }
    EdsDownloadComplete(item);
    outcome.error = static_cast<std::int32_t>(dateError);
    return outcome;
}

} // namespace orvex
