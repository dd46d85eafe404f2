#pragma once
// Pictures the camera asked to send, waiting for the transfer worker, and the handshake with that worker.
#include "core/release_record.h"
#include "sdk/sdk.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace orvex {

class TransferQueue {
  public:
    // Takes ownership of the item.
    void queueTransfer(EdsDirectoryItemRef item);
    // The oldest item, owned by the caller from now on, or null when the queue is empty.
    EdsDirectoryItemRef takeQueuedTransfer(std::uint32_t nowTick);
    bool empty() const;
    std::size_t size() const;
    // Tick at which the last item was taken out.
    std::uint32_t emptySince() const { return emptySince_; }
    // Cancels and releases every item left; those on the camera's card stay there, and are counted.
    void clear();
    ~TransferQueue() { clear(); }

    // The pictures that could not be stored and stay on the camera's card, in these folders.
    struct KeptOnCard {
        int count = 0;
        std::vector<std::string> folders;
    };
    void keptOnCard(const std::string& folder);
    // What was counted so far, counted again from nothing.
    KeptOnCard takeKeptOnCard();

  private:
    mutable std::mutex mutex_;
    std::deque<EdsDirectoryItemRef> items_;
    std::atomic<std::uint32_t> emptySince_{0};
    KeptOnCard kept_;
};

// Written by the run engine before the worker starts; afterwards the worker writes error, then finishedAt,
// then finished. The worker is only taken as finished once the pause has passed since finishedAt: some
// bodies need that time after a cable shot before they take commands again.
struct TransferStatus {
    int seenShotCount = 0;
    std::atomic<std::int32_t> error{0};
    bool running = false;
    std::atomic<bool> finished{false};
    std::atomic<std::uint32_t> finishedAt{0};
    // Set by the worker from before it takes an item until the item is counted: with the queue empty and this
    // clear, every picture handed over is counted, though the last may still be coming over.
    std::atomic<bool> counting{false};
    unsigned pauseBeforeFinishingMs = 0;
    // The worker's own record, kept from one worker to the next within a run; read by others only once the
    // worker is joined. A body may send the JPEG of an exposure long after its RAW, when the shot is already
    // complete: the camera base name they share tells that file apart from the next shot's.
    struct FiledExposure {
        std::string stem; // the camera base name its files share
        int fileLine = 0;
        int pass = 0;
        ReleaseRecord release;
    };
    std::vector<FiledExposure> filed; // this run's recent exposures
    std::string shotStem;             // the one of the shot in hand
    int lastNumber = 0;               // the number the last picture was filed under
};

// The recent exposure whose files share the camera base name of `cameraName`, or null.
const TransferStatus::FiledExposure* filedExposure(const TransferStatus& status,
                                                   const std::string& cameraName);

} // namespace orvex
