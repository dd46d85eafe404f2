#include "run/transfer.h"

namespace orvex {

std::string pictureRoot(const Program& p) {
    return (p.script.loaded ? p.script.directory : p.startupDirectory) + p.pictureSubfolder;
}

std::string pictureFolder(const Program& p) {
    return pictureRoot(p) + p.camera.name + "/";
}

TransferJob makeTransferJob(const Program& p) {
    TransferJob job;
    job.folder = pictureFolder(p);
    job.prefix = p.settings.imagePrefix;
    job.rawOrJpegByQuality = p.camera.connected && p.camera.rules.rawOrJpegByQuality;
    job.qualityName = p.run.exposure.quality;
    const auto& lines = p.script.lines;
    if (p.run.currentLine >= 0 && p.run.currentLine < static_cast<int>(lines.size()))
        job.fileLine = lines[p.run.currentLine].fileLine;
    job.pass = p.run.passCount;
    job.pictureFile = p.pictureFiles;
    job.release = p.run.release;
    job.log = p.nightLog.get();
    return job;
}

void startTransfers(Program& p) {
    p.transferWorker.start(makeTransferJob(p));
    if (p.transfersTakeNoTime) p.transferWorker.join();
}

bool downloadLateFile(Program& p, EdsDirectoryItemRef item) {
    p.transferWorker.join();
    EdsDirectoryItemInfo info{};
    if (EdsGetDirectoryItemInfo(item, &info) != EDS_ERR_OK) return false;
    if (!p.run.picturesOwed && !filedExposure(p.transferStatus, info.szFileName)) return false;
    p.transfers.queueTransfer(item);
    startTransfers(p);
    return true;
}

void logPictureOnCard(const Program& p, EdsDirectoryItemRef item) {
    EdsDirectoryItemInfo info{};
    if (p.options.saveToHost || !p.nightLog || EdsGetDirectoryItemInfo(item, &info) != EDS_ERR_OK) return;
    p.nightLog->leftOnCard(p.run.release, cardFolderOf(item).value_or(""), info.szFileName);
}

void fileQueuedPictures(Program& p) {
    p.transferWorker.join();
    if (p.transfers.empty()) return;
    p.transferWorker.start(makeTransferJob(p));
    p.transferWorker.join();
}

void fileWhatTheBodyHandedOver(Program& p) {
    fileQueuedPictures(p);
    // Released, and not all came of it: the pictures went with the body, during its exposure or while the
    // library was bringing them over. A RAW+JPEG shot has two, and its JPEG may go after its RAW came.
    const RunState& r = p.run;
    const bool released = r.status == RunStatus::kExposure || r.status == RunStatus::kBurst ||
                          r.status == RunStatus::kPictureWait || r.status == RunStatus::kSaving;
    const auto& lines = p.script.lines;
    if (r.cameraReady || !released || r.currentLine < 0 || r.currentLine >= static_cast<int>(lines.size()))
        return;
    const bool pair = lines[r.currentLine].burst == 0 && r.exposure.quality.find('+') != std::string::npos;
    for (int missing = (pair ? 2 : 1) - r.picturesReported; missing > 0; --missing) {
        // Saving to the card there was nothing to download, but the release is logged all the same.
        if (p.options.saveToHost) ++p.run.downloadsFailed;
        if (p.nightLog) p.nightLog->nothingCame(r.release, false);
    }
}

} // namespace orvex
