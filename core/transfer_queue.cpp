#include "core/transfer_queue.h"

#include "core/picture_download.h"

#include <algorithm>
#include <utility>

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

std::size_t TransferQueue::size() const {
    std::lock_guard guard(mutex_);
    return items_.size();
}

const TransferStatus::FiledExposure* filedExposure(const TransferStatus& s, const std::string& cameraName) {
    const std::string stem = cameraName.substr(0, cameraName.find('.'));
    for (const auto& e : s.filed)
        if (e.stem == stem) return &e;
    return nullptr;
}

void TransferQueue::clear() {
    std::deque<EdsDirectoryItemRef> items;
    {
        std::lock_guard lock(mutex_);
        items.swap(items_);
    }
    for (EdsDirectoryItemRef item : items) {
        EdsDownloadCancel(item);
        if (const std::optional<std::string> folder = cardFolderOf(item)) keptOnCard(*folder);
        EdsRelease(item);
    }
}

void TransferQueue::keptOnCard(const std::string& folder) {
    std::lock_guard lock(mutex_);
    ++kept_.count;
    if (std::find(kept_.folders.begin(), kept_.folders.end(), folder) == kept_.folders.end())
        kept_.folders.push_back(folder);
}

TransferQueue::KeptOnCard TransferQueue::takeKeptOnCard() {
    std::lock_guard lock(mutex_);
    return std::exchange(kept_, {});
}

} // namespace orvex
