#pragma once
// A picture for the computer on its way over from the card. The body brings it over piece by piece on its
// owner thread; the item the program was handed as soon as the body announced the file waits for it on the
// transfer worker's thread, holding no lock the program's calls need.
#include "sdk/sdk.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace orvex::gphoto {

class CardPicture {
  public:
    CardPicture(std::string folder, std::string name, std::uint64_t size)
        : folder(std::move(folder)), name(std::move(name)), size(size) {}

    const std::string folder, name;
    const std::uint64_t size; // as the body told it; 0 when it did not

    // The body's side: the whole file, or why it could not come over. Only the first telling counts.
    void arrived(std::vector<char> bytes) { tell(EDS_ERR_OK, std::move(bytes)); }
    void failed(EdsError error) { tell(error, {}); }
    // Let go by the program before it came over: the body stops bringing it.
    bool unwanted() const { return unwanted_; }

    // The item's side. Waits until the body has told, then gives its error.
    EdsError await();
    // After a successful `await`: the file's bytes, handed over once.
    std::vector<char> take();
    void letGo() { unwanted_ = true; }

  private:
    void tell(EdsError error, std::vector<char> bytes);

    mutable std::mutex lock_;
    std::condition_variable told_;
    bool done_ = false;
    EdsError error_ = EDS_ERR_OK;
    std::vector<char> bytes_;
    std::atomic<bool> unwanted_{false};
};

} // namespace orvex::gphoto
