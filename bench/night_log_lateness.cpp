// What the night log costs the releases: the same night run in real time on the virtual body, downloads
// taking the time of a 30 MB/s link, with its log and without, turn about, in one process. Each release's
// lateness (its press less its line's due moment) is printed, then the median and worst of each kind.
//   orvex_night_log_lateness [RUNS]
#include "app/cli/session_time.h"
#include "app/main_window.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/kernel_clock.h"
#include "resources/main_dialog.h"
#include "sdk/camera_driver.h"
#include "sdk/virtual/virtual_camera.h"
#include "ui/main_controls.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace orvex;

// Reads each release's lateness as the run reckons it for the log, whether or not a log is kept.
class Lateness final : public RunObserver {
  public:
    explicit Lateness(const Program& program) : program_(program) {}
    std::vector<double> ms;
    void statusChanged(RunStatus) override {}
    void shotCounted(int, int, int) override {}
    void pictureStored(const std::string&) override {}
    void shutterReleased(int, int) override { ms.push_back(program_.run.release.lateMs); }

  private:
    const Program& program_;
};

std::vector<double> runNight(const std::string& script, bool keepLog) {
    const std::unique_ptr<cli::SessionTime> time = cli::realTime();
    VirtualProfile profile = *virtualPreset("bulb");
    profile.processingMs = 100;
    profile.downloadMBps = 30;
    const auto camera = makeVirtualCamera(profile, time->clock(), time->cameraTimers(), [](unsigned ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    });
    sdk::registerCameraDriver(camera);
    NoSerialPorts ports;
    std::vector<double> lateness;
    {
        Program program(time->clock(), ports);
        // As orvex-cli run and the desktop program have it: a run's log, whose rows go to the disk itself.
        program.kernelClock = &systemKernelClock();
        Lateness observer(program);
        program.observer = &observer;
        HeadlessWindow window([&](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
                              [&](int id) { return colourField(program.mainView(), id); },
                              &time->windowTimers());
        program.options = parseCommandLine("-load=\"" + script + "\" -connect=\"\"");
        window.create(MAIN_DIALOG);
        if (!program.camera.connected) window.click(kConnectButton);
        window.click(kStartButton);
        // The log is made at the start, before the first release: without it, it is let go at once.
        if (!keepLog) program.nightLog.reset();
        while (program.run.running) {
            time->pass();
            window.pump();
        }
        program.transferWorker.join();
        program.observer = nullptr;
        lateness = observer.ms;
        window.send({MessageKind::Close, 0, {}});
    }
    sdk::unregisterCameraDriver(camera);
    return lateness;
}

void report(const char* name, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-12s %3zu releases  median %6.1f ms  worst %6.1f ms\n", name, ms.size(),
                ms.empty() ? 0 : ms[ms.size() / 2], ms.empty() ? 0 : ms.back());
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const auto folder = std::filesystem::temp_directory_path() / "orvex-night-log-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string script = (folder / "pairs.txt").string();
    {
        // Pairs half a second apart, the pairs two seconds apart, in Large Fine JPEG.
        std::ofstream out(script);
        out << "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n";
        for (int i = 0; i < 12; ++i) out << (i % 2 ? "5" : "15") << "\t8\t1\t250\t100\t(L)\t\n";
    }
    std::vector<double> with, without;
    for (int run = 0; run < runs; ++run) {
        for (const bool keepLog : {true, false}) {
            const std::vector<double> ms = runNight(script, keepLog);
            std::printf("%-12s", keepLog ? "with log" : "without log");
            for (const double m : ms) std::printf(" %.1f", m);
            std::printf("\n");
            (keepLog ? with : without).insert((keepLog ? with : without).end(), ms.begin(), ms.end());
        }
    }
    report("with log", with);
    report("without log", without);
    std::filesystem::remove_all(folder);
    return 0;
}
