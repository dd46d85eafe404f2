#include "camera/transfer.h"

#include "platform/files.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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
std::string createTemporary(const std::string& folder, EdsStreamRef& stream, EdsError& error) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = folder + ".orvex-download-" + std::to_string(counter++) + ".part";
        error = EdsCreateFileStream(path.c_str(), kEdsFileCreateDisposition_CreateNew, kEdsAccess_ReadWrite,
                                    &stream);
        if (error == EDS_ERR_OK) return path;
        if (fileExists(path)) continue;
        return {};
    }
    return {};
}

// Moves the download to `name`; on a clash, to the camera's own name, made unique. Never replaces a file.
std::string settle(const std::string& temporary, const std::string& folder, const std::string& name,
                   const std::string& cameraName) {
    if (moveWithoutReplacing(temporary, folder + name)) return folder + name;
    const auto dot = cameraName.find('.');
    const std::string stem = cameraName.substr(0, dot),
                      ext = dot == std::string::npos ? "" : cameraName.substr(dot);
    for (int n = 0; n < 10000; ++n) {
        const std::string candidate = folder + (n == 0 ? cameraName : stem + "-" + std::to_string(n) + ext);
        if (moveWithoutReplacing(temporary, candidate)) return candidate;
    }
    return temporary;
}

const TransferStatus::FiledExposure* filedExposure(const TransferStatus& s, const std::string& cameraName) {
    const std::string stem = cameraName.substr(0, cameraName.find('.'));
    for (const auto& e : s.filed)
        if (e.stem == stem) return &e;
    return nullptr;
}

// Gives the file its number. A further file of an exposure already complete (its JPEG coming after its RAW
// by more than a tick) is not counted toward the shot in hand, which would otherwise end without its own
// picture and shift every later one. It takes the number after its exposure's last; a shot counted since,
// whose pictures have not come yet, moves up by one so that no two pictures share a number.
int fileUnderItsExposure(Program& p, const TransferJob& job, const std::string& cameraName) {
    TransferStatus& s = p.transferStatus;
    const std::string stem = cameraName.substr(0, cameraName.find('.'));
    if (p.run.picturesReported == 0 || stem != s.shotStem) {
        if (const TransferStatus::FiledExposure* late = filedExposure(s, cameraName)) {
            ++p.run.shotCount;
            if (p.observer) p.observer->shotCounted(s.lastNumber + 1, late->fileLine, late->pass);
            return ++s.lastNumber;
        }
    }
    const bool opensShot = p.run.picturesReported == 0;
    if (!opensShot || p.run.shotCount <= s.lastNumber) {
        const int shot = ++p.run.shotCount;
        if (p.observer) p.observer->shotCounted(shot, job.fileLine, job.pass);
    }
    s.lastNumber = p.run.shotCount;
    ++p.run.picturesReported;
    if (opensShot) {
        s.shotStem = stem;
        s.filed.push_back({stem, job.fileLine, job.pass});
        constexpr std::size_t kRecentExposures = 16;
        if (s.filed.size() > kRecentExposures) s.filed.erase(s.filed.begin());
    }
    return s.lastNumber;
}

} // namespace

std::string pictureFolder(const Program& p) {
    const std::string base = p.script.loaded ? p.script.directory : p.startupDirectory;
    return base + p.camera.name + "/";
}

TransferJob makeTransferJob(const Program& p) {
    TransferJob job;
    job.folder = pictureFolder(p);
    job.prefix = p.settings.imagePrefix;
    job.rawOrJpegByQuality = p.camera.connected && p.camera.rules.rawOrJpegByQuality;
    const auto& lines = p.script.lines;
    if (p.run.currentLine >= 0 && p.run.currentLine < static_cast<int>(lines.size())) {
        job.qualityName = p.tables.quality[lines[p.run.currentLine].quality].name;
        job.fileLine = lines[p.run.currentLine].fileLine;
    }
    job.pass = p.run.passCount;
    return job;
}

std::string pictureName(const std::string& prefix, const EdsTime& t, int number,
                        const std::string& extension) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d_%04d", static_cast<int>(t.year),
                  static_cast<int>(t.month), static_cast<int>(t.day), static_cast<int>(t.hour),
                  static_cast<int>(t.minute), static_cast<int>(t.second), number);
    return (prefix.empty() ? "" : prefix + "_") + text + extension;
}

void transferWorker(Program& p, TransferJob job) {
    for (;;) {
        EdsDirectoryItemRef item = p.transfers.takeQueuedTransfer(p.clock.tick());
        if (!item) break;
        Released owned{item};
        if (!p.camera.connected) continue;
        EdsDirectoryItemInfo info{};
        if (EdsGetDirectoryItemInfo(item, &info) != EDS_ERR_OK ||
            std::string(info.szFileName).find(".THM") != std::string::npos) {
            EdsDownloadCancel(item);
            continue;
        }
        const int number = fileUnderItsExposure(p, job, info.szFileName);
        std::string extension;
        if (job.rawOrJpegByQuality) {
            extension = (!job.qualityName.empty() && (job.qualityName[0] == '(' || job.qualityName[0] == '['))
                            ? ".jpg"
                            : ".crw";
        } else {
            const std::string name = info.szFileName;
            const auto dot = name.find('.');
            if (dot != std::string::npos) extension = name.substr(dot);
        }
        owned.ref = nullptr;
        if (const std::int32_t e = downloadItem(p, job, item, number, extension)) p.transferStatus.error = e;
    }
    p.transferStatus.finishedAt = p.clock.tick();
    p.transferStatus.finished = true;
}

bool downloadLateFile(Program& p, EdsDirectoryItemRef item) {
    if (p.transferWorker.joinable()) p.transferWorker.join();
    EdsDirectoryItemInfo info{};
    if (EdsGetDirectoryItemInfo(item, &info) != EDS_ERR_OK) return false;
    if (!filedExposure(p.transferStatus, info.szFileName)) return false;
    p.transfers.queueTransfer(item);
    p.transferWorker = std::thread(transferWorker, std::ref(p), makeTransferJob(p));
    if (p.transfersTakeNoTime) p.transferWorker.join();
    return true;
}

std::int32_t downloadItem(Program& p, const TransferJob& job, EdsDirectoryItemRef item, int number,
                          const std::string& extension) {
    Released ownedItem{item};
    EdsDirectoryItemInfo info{};
    if (const EdsError e = EdsGetDirectoryItemInfo(item, &info)) return static_cast<std::int32_t>(e);
    EdsStreamRef stream = nullptr;
    EdsError error = EDS_ERR_OK;
    const std::string temporary = createTemporary(job.folder, stream, error);
    if (temporary.empty()) {
        EdsDownloadCancel(item);
        return static_cast<std::int32_t>(error ? error : EDS_ERR_STREAM_OPEN_ERROR);
    }
    Released ownedStream{stream};
    if (EdsDownload(item, info.size, stream) != EDS_ERR_OK) {
        // One picture lost over a hiccup must not cost the rest of an unattended night: it is counted and
        // told, and the run goes on. Only a camera that cannot even cancel is an error of the run.
        const EdsError cancelled = EdsDownloadCancel(item);
        EdsRelease(stream);
        ownedStream.ref = nullptr;
        removeFile(temporary);
        ++p.run.downloadsFailed;
        if (p.observer) p.observer->downloadFailed(number, info.szFileName);
        return static_cast<std::int32_t>(cancelled);
    }
    EdsImageRef image = nullptr;
    EdsTime taken{};
    EdsError dateError = EdsCreateImageRef(stream, &image);
    if (dateError == EDS_ERR_OK) {
        dateError = EdsGetPropertyData(image, kEdsPropID_DateTime, 0, sizeof taken, &taken);
        EdsRelease(image);
    }
    // The file is whole whether or not its date can be read: the camera may let it go.
    EdsDownloadComplete(item);
    EdsRelease(stream);
    ownedStream.ref = nullptr;
    const std::string cameraName = info.szFileName;
    const std::string name =
        dateError == EDS_ERR_OK ? pictureName(job.prefix, taken, number, extension) : cameraName;
    const std::string stored = settle(temporary, job.folder, name, cameraName);
    if (p.observer && stored != temporary) p.observer->pictureStored(stored);
    return static_cast<std::int32_t>(dateError);
}

} // namespace orvex
