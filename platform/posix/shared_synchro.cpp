#include "platform/posix/shared_synchro.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvex {
namespace {

constexpr off_t kSize = sizeof(std::uint64_t);

SyncReading unpack(std::uint64_t word) {
    return {static_cast<std::uint32_t>(word), static_cast<std::uint32_t>(word >> 32)};
}

std::uint64_t pack(SyncReading r) {
    return static_cast<std::uint64_t>(r.generation) << 32 | r.value;
}

// The system's words for the fault, in the user's language as the sentence around them: orvex-cli leaves the
// process in the C locale, where strerror would put English into a French message.
SynchroProblem failure(SynchroProblem::Fault fault, const std::string& name) {
    const int error = errno;
    const locale_t user = newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    std::string said = user ? strerror_l(error, user) : std::strerror(error);
    if (user) freelocale(user);
    return {fault, name, said};
}

// Holds the object's lock for one read or one publication: readers together, a writer alone.
class Locked {
  public:
    Locked(int fd, int how) : fd_(fd) {
        while (flock(fd_, how) != 0 && errno == EINTR) {
        }
    }
    ~Locked() { flock(fd_, LOCK_UN); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

  private:
    int fd_;
};

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

SharedSynchro::SharedSynchro(const std::string& name) : name_(name) {
    attach();
}

void SharedSynchro::attach() {
    // Made whole by whoever makes it; the others only open it. No instance ever removes it: another may be
    // using it.
    int fd = shm_open(name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    const bool made = fd >= 0;
    if (!made && errno == EEXIST) fd = shm_open(name_.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) {
        problem_ = failure(SynchroProblem::kCannotOpen, name_);
        return;
    }
    if (made && ftruncate(fd, kSize) != 0) {
        problem_ = failure(SynchroProblem::kCannotSize, name_);
        close(fd);
        return;
    }
    struct stat facts {};
    if (fstat(fd, &facts) != 0) {
        problem_ = failure(SynchroProblem::kCannotRead, name_);
        close(fd);
        return;
    }
    // Someone else's object, or one others may write, could start runs at will: never trusted.
    if (facts.st_uid != geteuid() || (facts.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        problem_ = {SynchroProblem::kNotTheUsers, name_, {}};
        close(fd);
        return;
    }
    // Empty, it is being made by an instance starting beside this one (or was left so by one that stopped
    // there): the first publication gives it its word.
    if (facts.st_size != kSize && facts.st_size != 0) {
        problem_ = {SynchroProblem::kNotOrvexs, name_, std::to_string(facts.st_size)};
        close(fd);
        return;
    }
    fd_ = fd;
    // One this instance sized is whole, whatever another program did to it since.
    whole_ = made || facts.st_size == kSize;
}

// The name may lead to another object than this instance's: systemd-logind removes a user's shared memory
// when their last session ends (RemoveIPC), while instances started from it go on, and the next instance
// makes the object again. Instances on two objects would never start together: each goes over to the one
// under the name, making it again when it is gone.
void SharedSynchro::followName() {
    if (fd_ < 0) return;
    const int named = shm_open(name_.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (named < 0 && errno != ENOENT) return;
    struct stat now {};
    struct stat held {};
    const bool same = named >= 0 && fstat(named, &now) == 0 && fstat(fd_, &held) == 0 &&
                      now.st_dev == held.st_dev && now.st_ino == held.st_ino;
    if (named >= 0) close(named);
    if (same) return;
    close(fd_);
    fd_ = -1;
    attach();
}

SharedSynchro::~SharedSynchro() {
    if (fd_ >= 0) close(fd_);
}

bool SharedSynchro::read(SyncReading& reading) {
    std::uint64_t word = 0;
    const ssize_t n = pread(fd_, &word, sizeof word, 0);
    if (n == kSize) {
        whole_ = true;
        reading = unpack(word);
        return true;
    }
    reading = {};
    return n == 0 && !whole_;
}

void SharedSynchro::spoiled() {
    problem_ = {SynchroProblem::kSpoiled, name_, {}};
    close(fd_);
    fd_ = -1;
}

SyncReading SharedSynchro::getSynchro() {
    followName();
    if (fd_ < 0) return last_;
    SyncReading now;
    bool held = false;
    {
        const Locked lock(fd_, LOCK_SH);
        held = read(now);
    }
    // A spoiled object reads as the last publication seen: it must not look like a new start. Nor must an
    // object that holds none yet, made again under the name since.
    if (!held)
        spoiled();
    else if (now.generation != 0)
        last_ = now;
    return last_;
}

void SharedSynchro::synchro(std::uint32_t tick) {
    followName();
    if (fd_ < 0) return;
    bool published = false;
    {
        const Locked lock(fd_, LOCK_EX);
        SyncReading next;
        if (read(next)) {
            next.value = tick;
            // Generation 0 stays "nothing published yet", after a wrap too.
            if (++next.generation == 0) next.generation = 1;
            const std::uint64_t word = pack(next);
            published = pwrite(fd_, &word, sizeof word, 0) == kSize;
            if (published) {
                whole_ = true;
                last_ = next;
            }
        }
    }
    if (!published) spoiled();
}

} // namespace orvex
