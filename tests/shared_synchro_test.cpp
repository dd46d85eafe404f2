// The value the instances on one computer share: what it reads before and after a start is published, what
// it makes of objects of the same name left by others, and readers and writers on several threads.
#include "platform/posix/shared_synchro.h"
#include "tests/support/sync_name.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace orvex::test {
namespace {

TEST(SharedSynchro, EveryPublicationIsNewEvenAtTheSameTick) {
    PrivateSyncName name;
    SharedSynchro master(name.name()), slave(name.name());
    ASSERT_TRUE(master.usable()) << master.problem();
    EXPECT_EQ(slave.getSynchro(), (SyncReading{0, 0}));
    master.synchro(123456);
    EXPECT_EQ(slave.getSynchro(), (SyncReading{123456, 1}));
    master.synchro(123456);
    EXPECT_EQ(slave.getSynchro(), (SyncReading{123456, 2}));
    // A slave that becomes master publishes on the same object.
    slave.synchro(0xFFFFFFFFu);
    EXPECT_EQ(master.getSynchro(), (SyncReading{0xFFFFFFFFu, 3}));
}

// An object already there under the name: one of ours that holds a word, or none yet (an instance beside is
// making it), is used; any other is refused by every instance that finds it, and left exactly as it was.
TEST(SharedSynchro, ObjectsLeftUnderTheNameAreUsedOrRefused) {
    const struct {
        const char* what;
        off_t size;
        mode_t mode;
        bool usable;
        SyncReading read;
    } cases[] = {
        {"ours, holding a publication", 8, 0600, true, {0x42, 7}},
        {"ours, empty", 0, 0600, true, {0, 0}},
        {"ours, of another size", 16, 0600, false, {0, 0}},
        {"ours, too short", 4, 0600, false, {0, 0}},
        {"open to the group", 8, 0660, false, {0, 0}},
        {"open to everyone", 8, 0606, false, {0, 0}},
    };
    constexpr std::uint64_t kPlanted = 0x0000000700000042u; // a start at tick 0x42, seventh publication
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PrivateSyncName name;
        const int fd = shm_open(name.name().c_str(), O_RDWR | O_CREAT | O_EXCL, c.mode);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(fchmod(fd, c.mode), 0); // past the umask
        if (c.size) {
            ASSERT_EQ(ftruncate(fd, c.size), 0);
            ASSERT_EQ(pwrite(fd, &kPlanted, std::min<std::size_t>(sizeof kPlanted, c.size), 0),
                      std::min<ssize_t>(sizeof kPlanted, c.size));
        }
        SharedSynchro first(name.name()), second(name.name());
        for (SharedSynchro* synchro : {&first, &second}) {
            EXPECT_EQ(synchro->usable(), c.usable) << synchro->problem();
            EXPECT_EQ(synchro->problem().find(name.name()) != std::string::npos, !c.usable);
            EXPECT_EQ(synchro->getSynchro(), c.read);
        }
        first.synchro(99);
        struct stat facts {};
        ASSERT_EQ(fstat(fd, &facts), 0) << "never removed";
        std::uint64_t word = 0;
        ASSERT_EQ(pread(fd, &word, sizeof word, 0), std::min<ssize_t>(sizeof word, c.usable ? 8 : c.size));
        close(fd);
        if (c.usable) {
            EXPECT_EQ(second.getSynchro(), (SyncReading{99, c.read.generation + 1}));
        } else {
            EXPECT_EQ(facts.st_size, c.size) << "a refused object is left as it was";
            if (c.size >= 8) {
                EXPECT_EQ(word, kPlanted);
            }
        }
    }
}

// An object cut by another program while in use never kills the instance nor looks like a new start: it
// reads as the last publication seen, and the instance gives it up and says why.
TEST(SharedSynchro, AnObjectCutWhileInUseIsGivenUp) {
    for (const off_t size : {0, 3}) {
        SCOPED_TRACE(size);
        PrivateSyncName name;
        SharedSynchro master(name.name()), slave(name.name());
        master.synchro(42);
        ASSERT_EQ(slave.getSynchro(), (SyncReading{42, 1}));
        const int fd = shm_open(name.name().c_str(), O_RDWR, 0);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
        EXPECT_EQ(slave.getSynchro(), (SyncReading{42, 1}));
        EXPECT_FALSE(slave.usable());
        EXPECT_NE(slave.problem().find(name.name()), std::string::npos);
        master.synchro(43);
        EXPECT_FALSE(master.usable());
        EXPECT_EQ(slave.getSynchro(), (SyncReading{42, 1}));
    }
}

TEST(SharedSynchro, TheNameIsTheUsersAndItsGroups) {
    const std::string user = "/orvex-sync-" + std::to_string(geteuid());
    unsetenv("ORVEX_SYNC_GROUP");
    EXPECT_EQ(SharedSynchro::userObjectName(), user);
    setenv("ORVEX_SYNC_GROUP", "rig/2", 1);
    EXPECT_EQ(SharedSynchro::userObjectName(), user + "-rig_2");
    unsetenv("ORVEX_SYNC_GROUP");
}

// A reader always sees a tick with its own generation, never half of one publication and half of another;
// two masters publishing at once lose no publication.
TEST(SharedSynchro, WritersAndReadersOnThreadsSeeWholePublications) {
    PrivateSyncName name;
    constexpr std::uint32_t kEach = 20000;
    SharedSynchro reader(name.name());
    std::thread counting([&name] {
        SharedSynchro own(name.name());
        for (std::uint32_t tick = 1; tick <= kEach; ++tick) own.synchro(tick); // each generation is its tick
    });
    bool torn = false, backwards = false;
    for (SyncReading last; last.generation < kEach;) {
        const SyncReading r = reader.getSynchro();
        torn |= r.value != r.generation;
        backwards |= r.generation < last.generation;
        last = r;
    }
    counting.join();
    EXPECT_FALSE(torn);
    EXPECT_FALSE(backwards);

    std::vector<std::thread> masters;
    for (int m = 0; m < 2; ++m)
        masters.emplace_back([&name] {
            SharedSynchro own(name.name());
            for (std::uint32_t i = 0; i < kEach; ++i) own.synchro(i);
        });
    for (std::thread& t : masters) t.join();
    EXPECT_EQ(reader.getSynchro().generation, 3 * kEach);
}

} // namespace
} // namespace orvex::test
