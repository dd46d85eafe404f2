// Through the real libgphoto2 and the emulated EOS body of the tests: how long from the program's
// take-picture call to the trigger reaching the camera module (target: under 2 ms at the median, the
// library's own overhead the only cost), how long a 25 MB RAW takes to come over, and how long a live view
// frame waits for the body's owner thread while the library brings such a RAW over.
#include "camera/camera_driver.h"
#include "camera/gphoto2/gphoto_driver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct EmulatedSession {
    explicit EmulatedSession(const std::string& faults) {
        home = std::filesystem::temp_directory_path() / ("orvex-bench-gphoto2-" + std::to_string(getpid()));
        std::filesystem::create_directories(home);
        log = home / "body.log";
        setenv("CAMLIBS", ORVEX_EMULATED_CAMLIBS, 1);
        setenv("IOLIBS", ORVEX_EMULATED_IOLIBS, 1);
        setenv("HOME", home.c_str(), 1);
        setenv("ORVEX_EMULATED_BODIES", "3272", 1);
        setenv("ORVEX_EMULATED_FAULTS", faults.c_str(), 1);
        setenv("ORVEX_EMULATED_LOG", log.c_str(), 1);
        EdsInitializeSDK();
        orvex::sdk::registerCameraDriver(driver);
        EdsCameraListRef list = nullptr;
        EdsGetCameraList(&list);
        EdsGetChildAtIndex(list, 0, &camera);
        EdsRelease(list);
        EdsOpenSession(camera);
        const EdsUInt32 host = kEdsSaveTo_Host, fastest = 0x98;
        EdsSetPropertyData(camera, kEdsPropID_SaveTo, 0, sizeof host, &host);
        EdsSetPropertyData(camera, kEdsPropID_Tv, 0, sizeof fastest, &fastest);
    }
    ~EmulatedSession() {
        EdsCloseSession(camera);
        EdsRelease(camera);
        EdsTerminateSDK();
        orvex::sdk::unregisterCameraDriver(driver);
        std::filesystem::remove_all(home);
    }
    // The moment the body logged its last release: the full press of its remote release.
    Clock::time_point lastTrigger() const {
        std::ifstream in(log);
        long long ns = 0;
        for (std::string line; std::getline(in, line);)
            if (line.find(" set eosremoterelease Press Full") != std::string::npos) ns = std::stoll(line);
        return Clock::time_point(std::chrono::nanoseconds(ns));
    }

    std::filesystem::path home, log;
    std::shared_ptr<orvex::sdk::CameraDriver> driver = orvex::makeGphotoDriver();
    EdsCameraRef camera = nullptr;
};

void triggerLatency(benchmark::State& state) {
    EmulatedSession session("");
    for (auto _ : state) {
        const auto asked = Clock::now();
        EdsError error = EdsSendCommand(session.camera, kEdsCameraCommand_TakePicture, 0);
        const auto reached = session.lastTrigger();
        if (error != EDS_ERR_OK) state.SkipWithError("the body refused the release");
        state.SetIterationTime(std::chrono::duration<double>(reached - asked).count());
        // The body takes the next release once its 1/4000 s exposure is over.
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        EdsGetEvent();
    }
}
// One release per repetition, so that the median and the worst are over single shots.
BENCHMARK(triggerLatency)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(100)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->ReportAggregatesOnly(true);

EdsError onTransfer(EdsObjectEvent event, EdsBaseRef item, EdsVoid* context) {
    if (event == kEdsObjectEvent_DirItemRequestTransfer && !*static_cast<EdsBaseRef*>(context))
        *static_cast<EdsBaseRef*>(context) = item;
    else
        EdsRelease(item);
    return EDS_ERR_OK;
}

void rawDownload25MB(benchmark::State& state) {
    EmulatedSession session("raw-mb=25");
    for (auto _ : state) {
        state.PauseTiming();
        EdsBaseRef item = nullptr;
        EdsSetObjectEventHandler(session.camera, kEdsObjectEvent_All, onTransfer, &item);
        EdsSendCommand(session.camera, kEdsCameraCommand_TakePicture, 0);
        for (int i = 0; i < 2000 && !item; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            EdsGetEvent();
        }
        EdsStreamRef stream = nullptr;
        EdsCreateMemoryStream(0, &stream);
        state.ResumeTiming();
        EdsDirectoryItemInfo info{};
        EdsGetDirectoryItemInfo(item, &info);
        if (EdsDownload(item, info.size, stream) != EDS_ERR_OK || info.size < 25000000)
            state.SkipWithError("the RAW did not come over");
        EdsDownloadComplete(item);
        state.PauseTiming();
        EdsRelease(stream);
        EdsRelease(item);
        state.ResumeTiming();
    }
}
BENCHMARK(rawDownload25MB)->Unit(benchmark::kMillisecond)->Iterations(5);

// The longest a frame fetch took in the half second after a release: with a RAW the library reads the
// whole file inside its event poll, and the frame waits for the owner thread until it is done.
void frameWaitAfterRelease(benchmark::State& state) {
    EmulatedSession session(state.range(0) ? "raw-mb=25" : "");
    EdsBaseRef item = nullptr;
    EdsSetObjectEventHandler(session.camera, kEdsObjectEvent_All, onTransfer, &item);
    EdsStreamRef stream = nullptr;
    EdsCreateMemoryStream(0, &stream);
    EdsEvfImageRef frame = nullptr;
    EdsCreateEvfImageRef(stream, &frame);
    for (auto _ : state) {
        EdsSendCommand(session.camera, kEdsCameraCommand_TakePicture, 0);
        Clock::duration longest{};
        for (const auto until = Clock::now() + std::chrono::milliseconds(500); Clock::now() < until;) {
            const auto asked = Clock::now();
            EdsDownloadEvfImage(session.camera, frame);
            longest = std::max(longest, Clock::now() - asked);
            EdsGetEvent();
        }
        if (item) EdsRelease(item);
        item = nullptr;
        state.SetIterationTime(std::chrono::duration<double>(longest).count());
    }
    EdsRelease(frame);
    EdsRelease(stream);
}
// 0: the body's own small RAW, 1: a 25 MB RAW.
BENCHMARK(frameWaitAfterRelease)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
