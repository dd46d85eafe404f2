// The value the instances on one computer share: what it reads before and after a start is published, what
// it makes of objects of the same name left by others, and readers and writers on several threads.
#include "platform/posix/shared_synchro.h"
#include "tests/support/sync_name.h"

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
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

// An object already there under the name: one of ours of another size is replaced; one others may open is
// refused, and then nothing is read from it or written to it.
TEST(SharedSynchro, ObjectsLeftUnderTheNameAreReplacedOrRefused) {
    const struct {
        const char* what;
        off_t size;
        mode_t mode;
        bool usable;
    } cases[] = {
        {"ours, of another size", 16, 0600, true},
        {"ours, empty", 0, 0600, true},
        {"open to the group", 8, 0660, false},
        {"open to everyone", 8, 0606, false},
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
            ASSERT_EQ(pwrite(fd, &kPlanted, sizeof kPlanted, 0), static_cast<ssize_t>(sizeof kPlanted));
        }
        SharedSynchro synchro(name.name());
        EXPECT_EQ(synchro.usable(), c.usable) << synchro.problem();
        EXPECT_EQ(synchro.problem().empty(), c.usable);
        EXPECT_EQ(synchro.getSynchro(), (SyncReading{0, 0}));
        synchro.synchro(99);
        std::uint64_t word = 0;
        ASSERT_EQ(pread(fd, &word, sizeof word, 0), static_cast<ssize_t>(sizeof word));
        close(fd);
        if (c.usable) {
            EXPECT_EQ(SharedSynchro(name.name()).getSynchro(), (SyncReading{99, 1}));
        } else {
            EXPECT_EQ(word, kPlanted) << "a refused object is left as it was";
        }
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
