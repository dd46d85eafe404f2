#pragma once
// One value shared by every instance of the program on the computer: the tick at which the master's run
// began. Each publication also moves a generation on, so that a second start at the same tick is still
// seen as new.
#include <cstdint>

namespace orvex {

struct SyncReading {
    std::uint32_t value = 0;
    std::uint32_t generation = 0; // 0 until an instance has published
    friend bool operator==(const SyncReading&, const SyncReading&) = default;
};

class Synchro {
  public:
    virtual ~Synchro() = default;
    // The last publication of any instance.
    virtual SyncReading getSynchro() = 0;
    virtual void synchro(std::uint32_t tick) = 0;
};

} // namespace orvex
