#include "core/transfer_queue.h"

namespace orvex {

void TransferQueue::queueTransfer(EdsDirectoryItemRef item) {
    std::lock_guard lock(mutex_);
    items_.push_back(item);
}

EdsDirectoryItemRef TransferQueue::takeQueuedTransfer(std::uint32_t nowTick) {
    std::lock_guard lock(mutex_);
    if (items_.empty()) return nullptr;
    EdsDirectoryItemRef item = items_.front();
    items_.pop_front();
    if (items_.empty()) emptySince_ = nowTick;
    return item;
}

bool TransferQueue::empty() const {
    std::lock_guard lock(mutex_);
    return items_.empty();
}

const TransferStatus::FiledExposure* filedExposure(const TransferStatus& s, const std::string& cameraName) {
    const std::string stem = cameraName.substr(0, cameraName.find('.'));
    for (const auto& e : s.filed)
        if (e.stem == stem) return &e;
    return nullptr;
}

void TransferQueue::clear() {
    std::lock_guard lock(mutex_);
    for (EdsDirectoryItemRef item : items_) {
        EdsDownloadCancel(item);
        EdsRelease(item);
    }
    items_.clear();
}

} // namespace orvex
