#include "sdk/gphoto2/card_picture.h"

#include <utility>

namespace orvex::gphoto {

void CardPicture::tell(EdsError error, std::vector<char> bytes) {
    {
        std::lock_guard guard(lock_);
        if (done_) return;
        done_ = true;
        error_ = error;
        bytes_ = std::move(bytes);
    }
    told_.notify_all();
}

EdsError CardPicture::await() {
    std::unique_lock guard(lock_);
    told_.wait(guard, [this] { return done_; });
    return error_;
}

std::vector<char> CardPicture::take() {
    std::lock_guard guard(lock_);
    return std::exchange(bytes_, {});
}

} // namespace orvex::gphoto
