// The desktop program's own window, on the computer's clock, connecting a virtual body and running a
// short script until it completes.
#include "platform/thread_scheduler.h"
#include "sdk/virtual/virtual_camera.h"
#include "tests/qt/program_window.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvex {
namespace {

namespace fs = std::filesystem;

TEST(VirtualCameraRun, TheDesktopProgramRunsAScriptToCompletion) {
    const test::ScratchFolder folder;
    const std::string script = folder.write(
        "short.txt",
        "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n0\t8\t1\t250\t100\t(L)\n2\t8\t1\t250\t100\t(L)\n");

    SystemClock clock;
    ThreadScheduler scheduler;
    VirtualProfile profile = *virtualPreset("bulb");
    profile.processingMs = 50; // keeps the test short on the real clock
    const auto camera = makeVirtualCamera(profile, clock, scheduler);
    sdk::registerCameraDriver(camera);
    NoSerialPorts systemPorts;
    VirtualCablePorts ports(systemPorts, camera);
    {
        Program program(clock, ports);
        program.options = parseCommandLine("-connect=\"\" -start=\"\" -load=\"" + script + "\"");
        QtDialogWindow window(
            MAIN_DIALOG, [&](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
            [&](int id) { return colourField(program.mainView(), id); });
        window.show();
        EXPECT_EQ(window.itemText(kCameraField), "1 - Canon EOS 600D");
        EXPECT_TRUE(program.run.running);
        EXPECT_EQ(window.itemText(kStartButton), "Stop");

        EXPECT_TRUE(test::runEventsUntil([&] { return !program.run.running; }, 20000));
        EXPECT_EQ(window.itemText(kStatusField), "Completed");
        EXPECT_EQ(window.itemText(kShotsField), "2");
        window.saveScreenshot(QString::fromStdString(test::screenshotPath("virtual_camera_run.png")));
        mainWindowProcedure(program, window, {MessageKind::Close, 0, {}});
    }
    sdk::unregisterCameraDriver(camera);
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(folder.path() + "/1 - Canon EOS 600D")) {
        EXPECT_EQ(entry.path().extension(), ".JPG");
        ++pictures;
    }
    EXPECT_EQ(pictures, 2);
}

} // namespace
} // namespace orvex
