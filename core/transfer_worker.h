#pragma once
// The thread that downloads the pictures the camera sends, and the one object that starts it, tells when it
// has drained the queue and waits for it.
#include "core/night_log.h"
#include "core/picture_download.h"
#include "core/run_observer.h"
#include "core/transfer_queue.h"
#include "platform/clock.h"
#include "sdk/sdk.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace orvex {

// What the worker needs to know of the run, taken when a drain starts so that it shares nothing else.
struct TransferJob {
    std::string folder;              // the picture folder, with its trailing separator
    std::string prefix;              // the image file prefix
    bool rawOrJpegByQuality = false; // bodies whose files carry no usable extension (300D)
    std::string qualityName;         // the quality the body took the shot in, for those bodies
    int fileLine = 0;                // the shot's script line and pass, for the run's observer
    int pass = 0;
    PictureFile pictureFile = PictureFile::kWritten;
    ReleaseRecord release; // the shot's release, for the night log
    NightLog* log = nullptr;
};

// The run's counters the worker writes, all atomic.
struct TransferCounters {
    std::atomic<int>& shotCount;
    std::atomic<int>& picturesReported;
    std::atomic<int>& downloadsFailed;
};

class TransferWorker {
  public:
    // `observer` is read at each report, so that whoever follows the run may change or leave meanwhile.
    TransferWorker(TransferQueue& queue, TransferStatus& status, TransferCounters counters,
                   const Clock& clock, RunObserver* const& observer);
    ~TransferWorker();
    TransferWorker(const TransferWorker&) = delete;
    TransferWorker& operator=(const TransferWorker&) = delete;

    // Drains the queue on the worker's thread, then writes the status's error, finishedAt and finished. A
    // drain still going on ends first: one at a time.
    void start(TransferJob job);
    // The drain going on takes no more items once its current one is filed: those queued from now on are the
    // next shot's, for a drain with that shot's job.
    void takeNoMore() { takeNoMore_ = true; }
    // True once the last drain started has ended.
    bool finished() const { return status_.finished; }
    // Returns once no drain is going on.
    void join();
    // A drain is going on or waits to begin: join() would wait for it.
    bool busy() const;

  private:
    void serve();
    void drain(const TransferJob& job);
    // The picture's number, and the release it came of.
    std::pair<int, ReleaseRecord> fileUnderItsExposure(const TransferJob& job, const std::string& cameraName);

    TransferQueue& queue_;
    TransferStatus& status_;
    TransferCounters counters_;
    const Clock& clock_;
    RunObserver* const& observer_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<TransferJob> job_; // handed over, not yet drained
    std::atomic<bool> takeNoMore_{false};
    bool draining_ = false;
    bool quitting_ = false;
    std::thread thread_; // started at the first drain
};

} // namespace orvex
