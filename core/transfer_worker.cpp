#include "core/transfer_worker.h"

#include "core/picture_download.h"

#include <utility>

namespace orvex {

TransferWorker::TransferWorker(TransferQueue& queue, TransferStatus& status, TransferCounters counters,
                               const Clock& clock, RunObserver* const& observer)
    : queue_(queue), status_(status), counters_(counters), clock_(clock), observer_(observer) {}

// A drain handed over still runs: the records it uses outlive this object.
TransferWorker::~TransferWorker() {
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void TransferWorker::start(TransferJob job) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !job_ && !draining_; });
    job_ = std::move(job);
    takeNoMore_ = false;
    if (!thread_.joinable()) thread_ = std::thread(&TransferWorker::serve, this);
    changed_.notify_all();
}

void TransferWorker::join() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !job_ && !draining_; });
}

bool TransferWorker::busy() const {
    std::lock_guard lock(mutex_);
    return job_ || draining_;
}

// One thread for every drain of the program's life, so that a picture does not cost a thread.
void TransferWorker::serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return job_ || quitting_; });
        if (!job_) return;
        const TransferJob job = std::move(*job_);
        job_.reset();
        draining_ = true;
        lock.unlock();
        drain(job);
        lock.lock();
        draining_ = false;
        changed_.notify_all();
    }
}

void TransferWorker::drain(const TransferJob& job) {
    for (;;) {
        status_.counting = true;
        if (takeNoMore_) break;
        EdsDirectoryItemRef item = queue_.takeQueuedTransfer(clock_.tick());
        if (!item) break;
        EdsDirectoryItemInfo info{};
        if (EdsGetDirectoryItemInfo(item, &info) != EDS_ERR_OK ||
            std::string(info.szFileName).find(".THM") != std::string::npos) {
            EdsDownloadCancel(item);
            EdsRelease(item);
            continue;
        }
        const auto [number, release] = fileUnderItsExposure(job, info.szFileName);
        status_.counting = false;
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
        const DownloadOutcome outcome =
            downloadPicture(item, job.folder, job.prefix, number, extension, job.pictureFile);
        if (outcome.lost) {
            // One picture lost over a hiccup must not cost the rest of an unattended night: it is counted and
            // told, and the run goes on. Only a camera that cannot even cancel is an error of the run.
            ++counters_.downloadsFailed;
            if (observer_) observer_->downloadFailed(number, outcome.cameraName);
        }
        if (outcome.onCard) queue_.keptOnCard(*outcome.onCard);
        if (observer_ && !outcome.stored.empty()) observer_->pictureStored(outcome.stored);
        if (outcome.error) status_.error = outcome.error;
        if (job.log) job.log->pictureDone(release, outcome);
    }
    status_.counting = false;
    status_.finishedAt = clock_.tick();
    status_.finished = true;
}

// Gives the file its number. A further file of an exposure already complete (its JPEG coming after its RAW
// by more than a tick) is not counted toward the shot in hand, which would otherwise end without its own
// picture and shift every later one. It takes the number after its exposure's last; a shot counted since,
// whose pictures have not come yet, moves up by one so that no two pictures share a number.
std::pair<int, ReleaseRecord> TransferWorker::fileUnderItsExposure(const TransferJob& job,
                                                                   const std::string& cameraName) {
    TransferStatus& s = status_;
    const std::string stem = cameraName.substr(0, cameraName.find('.'));
    if (counters_.picturesReported == 0 || stem != s.shotStem) {
        if (const TransferStatus::FiledExposure* late = filedExposure(s, cameraName)) {
            ++counters_.shotCount;
            if (observer_) observer_->shotCounted(s.lastNumber + 1, late->fileLine, late->pass);
            return {++s.lastNumber, late->release};
        }
    }
    const bool opensShot = counters_.picturesReported == 0;
    if (!opensShot || counters_.shotCount <= s.lastNumber) {
        const int shot = ++counters_.shotCount;
        if (observer_) observer_->shotCounted(shot, job.fileLine, job.pass);
    }
    s.lastNumber = counters_.shotCount;
    ++counters_.picturesReported;
    if (opensShot) {
        s.shotStem = stem;
        s.filed.push_back({stem, job.fileLine, job.pass, job.release});
        constexpr std::size_t kRecentExposures = 16;
        if (s.filed.size() > kRecentExposures) s.filed.erase(s.filed.begin());
    }
    return {s.lastNumber, job.release};
}

} // namespace orvex
