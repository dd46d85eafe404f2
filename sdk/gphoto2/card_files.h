#pragma once
// What a file announced on a body's card needs from that body: its bytes when asked, and its removal once
// the computer holds it whole. The body hands its files out as items; they reach it back only through this.
#include "sdk/sdk.h"

#include <string>
#include <vector>

namespace orvex::gphoto {

class CardFiles {
  public:
    virtual ~CardFiles() = default;
    // The bytes of a file the body announced on its card.
    virtual EdsError fetchFile(const std::string& folder, const std::string& name,
                               std::vector<char>& out) = 0;
    // Has a picture brought over for the computer removed from the card when the body has a quiet moment;
    // returns at once. A delete the body refuses is asked again at a later quiet moment.
    virtual void forget(const std::string& folder, const std::string& name) = 0;
};

} // namespace orvex::gphoto
