#pragma once
// The shared value in a POSIX shared memory object that only this user may open: one 64-bit word that
// holds the generation and the tick together, so that a reader never sees one without the other.
#include "platform/synchro.h"

#include <cstdint>
#include <string>

namespace orvex {

class SharedSynchro final : public Synchro {
  public:
    // The object of this user, in the group ORVEX_SYNC_GROUP names when it is set.
    SharedSynchro();
    // The object of that name ("/..."), made on first use.
    explicit SharedSynchro(const std::string& name);
    ~SharedSynchro() override;
    SharedSynchro(const SharedSynchro&) = delete;
    SharedSynchro& operator=(const SharedSynchro&) = delete;

    // ORVEX_SYNC_GROUP, empty when it is not set: the default group.
    static std::string groupName();
    // "/orvex-sync-UID", with "-GROUP" after it when ORVEX_SYNC_GROUP is set.
    static std::string userObjectName();

    // False when the object belongs to someone else or could not be made: then this instance neither
    // publishes nor sees anything, and `problem` says why.
    bool usable() const { return word_ != nullptr; }
    const std::string& problem() const { return problem_; }

    SyncReading getSynchro() override;
    void synchro(std::uint32_t tick) override;

  private:
    std::uint64_t* word_ = nullptr;
    std::string problem_;
};

} // namespace orvex
