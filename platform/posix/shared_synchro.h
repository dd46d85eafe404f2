#pragma once
// The shared value in a POSIX shared memory object that only this user may open: one 64-bit word that
// holds the generation and the tick together, so that a reader never sees one without the other. The word is
// read and written through the file, under a lock, never through a mapping: an object cut short by someone
// else then reads short instead of killing the process.
#include "platform/synchro.h"

#include <cstdint>
#include <string>

namespace orvex {

// Why the object cannot be used, for the program to say in the user's language: the fault, the object's name,
// and the system's error text or the size found.
struct SynchroProblem {
    enum Fault { kNone, kCannotOpen, kCannotSize, kCannotRead, kNotTheUsers, kNotOrvexs, kSpoiled };
    Fault fault = kNone;
    std::string name, detail;
};

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

    // False when the object belongs to someone else, could not be made or was spoiled since: then this
    // instance neither publishes nor sees anything new, and `problem` says why.
    bool usable() const { return fd_ >= 0; }
    const SynchroProblem& problem() const { return problem_; }

    SyncReading getSynchro() override;
    void synchro(std::uint32_t tick) override;

  private:
    // Opens the object under the name, making it when there is none; `problem` says why it cannot be used.
    void attach();
    void followName();
    // Reads the word, under the lock the caller holds; false when the object no longer holds one.
    bool read(SyncReading& reading);
    void spoiled();

    std::string name_;
    int fd_ = -1;
    bool whole_ = false; // the object has held its word: from then on it must always hold it
    SyncReading last_;
    SynchroProblem problem_;
};

} // namespace orvex
