// orvex-cli against the emulated body, found by the library's own autodetection as a plugged-in one would be.
#include "tests/gphoto2/emulated_body.h"
#include "tests/support/cli_process.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

std::string emulated(const TempDir& home, const std::string& bodies, const std::string& faults = "") {
    return std::string("LC_ALL=C CAMLIBS=") + ORVEX_EMULATED_CAMLIBS + " IOLIBS=" + ORVEX_EMULATED_IOLIBS +
           " HOME=" + home.path().string() + " ORVEX_EMULATED_BODIES=" + bodies +
           " ORVEX_EMULATED_FAULTS=" + faults + " ORVEX_EMULATED_LOG=" + (home.path() / "body.log").string();
}

TEST(GphotoCli, CamerasListsTheBodiesFoundNumberedLikeTheCameraList) {
    TempDir home;
    struct Case {
        std::string bodies, listed;
    };
    for (const Case& c : {Case{std::string(k700D) + "," + k5DMarkIII,
                               "1\tCanon EOS 700D\tusb:001,001\n2\tCanon EOS 5D Mark III\tusb:001,002\n"},
                          Case{"", ""}}) {
        const CliResult r = runCli("cameras", emulated(home, c.bodies));
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, c.listed);
    }
}

} // namespace
} // namespace orvex::test
