#include "platform/posix/shared_synchro.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvex {
namespace {

using Word = std::atomic_ref<std::uint64_t>;
// Another process reads the same word: only a lock-free atomic is shared safely through memory.
static_assert(Word::is_always_lock_free);

constexpr off_t kSize = sizeof(std::uint64_t);

SyncReading unpack(std::uint64_t word) {
    return {static_cast<std::uint32_t>(word), static_cast<std::uint32_t>(word >> 32)};
}

std::uint64_t pack(SyncReading r) {
    return static_cast<std::uint64_t>(r.generation) << 32 | r.value;
}

std::string failure(const std::string& what, const std::string& name) {
    return what + " " + name + ": " + std::strerror(errno);
}

} // namespace

std::string SharedSynchro::groupName() {
    const char* group = std::getenv("ORVEX_SYNC_GROUP");
    return group ? group : "";
}

std::string SharedSynchro::userObjectName() {
    std::string name = "/orvex-sync-" + std::to_string(geteuid());
    if (const std::string group = groupName(); !group.empty()) {
        name += '-';
        // The group only adds to the name: a separator in it would make no valid object name.
        for (const char c : group) name += c == '/' ? '_' : c;
    }
    return name;
}

SharedSynchro::SharedSynchro() : SharedSynchro(userObjectName()) {}

SharedSynchro::SharedSynchro(const std::string& name) {
    // A left-over of another size is replaced; two tries are enough unless someone keeps spoiling it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd < 0) {
            problem_ = failure("cannot open", name);
            return;
        }
        struct stat facts {};
        if (fstat(fd, &facts) != 0) {
            problem_ = failure("cannot read", name);
            close(fd);
            return;
        }
        // Someone else's object, or one others may write, could start runs at will: never trusted.
        if (facts.st_uid != geteuid() || (facts.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
            problem_ = name + " belongs to another user or is open to others";
            close(fd);
            return;
        }
        // Just made (by this instance or one starting beside it): sized, and it reads zero.
        if (facts.st_size == 0 && ftruncate(fd, kSize) == 0) facts.st_size = kSize;
        if (facts.st_size != kSize) {
            close(fd);
            shm_unlink(name.c_str());
            continue;
        }
        void* memory = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (memory == MAP_FAILED) {
            problem_ = failure("cannot map", name);
            return;
        }
        word_ = static_cast<std::uint64_t*>(memory);
        return;
    }
    problem_ = name + " keeps changing size";
}

SharedSynchro::~SharedSynchro() {
    if (word_) munmap(word_, kSize);
}

SyncReading SharedSynchro::getSynchro() {
    if (!word_) return {};
    return unpack(Word(*word_).load());
}

void SharedSynchro::synchro(std::uint32_t tick) {
    if (!word_) return;
    Word word(*word_);
    std::uint64_t seen = word.load();
    SyncReading next;
    do {
        next.value = tick;
        // Generation 0 stays "nothing published yet", after a wrap too.
        next.generation = unpack(seen).generation + 1;
        if (next.generation == 0) next.generation = 1;
    } while (!word.compare_exchange_weak(seen, pack(next)));
}

} // namespace orvex
