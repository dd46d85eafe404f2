// Through the real libgphoto2 and the emulated EOS body of the tests: how long from the program's
// take-picture call to the trigger reaching the camera module (target: under 2 ms at the median, the
// library's own overhead the only cost), how long a 25 MB RAW takes to come over, how long a live view
// frame waits for the body's owner thread while such a RAW comes over a 30 MB/s link, and how late
// releases due while earlier pictures cross that link reach the body (target: within 50 ms).
#include "sdk/camera_driver.h"
#include "sdk/gphoto2/gphoto_driver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
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
    // The moments the body logged its releases: the full presses of its remote release.
    std::vector<Clock::time_point> triggers() const {
        std::ifstream in(log);
        std::vector<Clock::time_point> moments;
        for (std::string line; std::getline(in, line);)
            if (line.find(" set eosremoterelease Press Full") != std::string::npos)
                moments.emplace_back(std::chrono::nanoseconds(std::stoll(line)));
        return moments;
    }
    Clock::time_point lastTrigger() const {
        const std::vector<Clock::time_point> moments = triggers();
        return moments.empty() ? Clock::time_point{} : moments.back();
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
    EmulatedSession session(
        state.range(0) ? "raw-mb=25,link-mbps=30" + std::string(state.range(0) == 1 ? ",no-card" : "") : "");
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
// 0: the body's own small RAW; 1: a 25 MB RAW through the library's memory (a body without a card); 2: the
// same over from the card.
BENCHMARK(frameWaitAfterRelease)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

namespace {

// Stores what the body hands over, as the transfer worker does, on a thread of its own.
class Downloader {
  public:
    Downloader() : thread_([this] { serve(); }) {}
    ~Downloader() {
        {
            std::lock_guard guard(lock_);
            quitting_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    static EdsError onObject(EdsObjectEvent event, EdsBaseRef item, EdsVoid* context) {
        auto& self = *static_cast<Downloader*>(context);
        if (event != kEdsObjectEvent_DirItemRequestTransfer) return EdsRelease(item);
        {
            std::lock_guard guard(self.lock_);
            self.items_.push_back(item);
        }
        self.wake_.notify_one();
        return EDS_ERR_OK;
    }
    int stored() const { return stored_; }

  private:
    void serve() {
        std::unique_lock guard(lock_);
        for (;;) {
            wake_.wait(guard, [this] { return quitting_ || !items_.empty(); });
            if (items_.empty()) return;
            EdsBaseRef item = items_.front();
            items_.pop_front();
            guard.unlock();
            EdsDirectoryItemInfo info{};
            EdsStreamRef stream = nullptr;
            EdsCreateMemoryStream(0, &stream);
            if (EdsGetDirectoryItemInfo(item, &info) == EDS_ERR_OK &&
                EdsDownload(item, info.size, stream) == EDS_ERR_OK && info.size >= 24000000)
                ++stored_;
            EdsDownloadComplete(item);
            EdsRelease(stream);
            EdsRelease(item);
            guard.lock();
        }
    }

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<EdsBaseRef> items_;
    bool quitting_ = false;
    std::atomic<int> stored_{0};
    std::thread thread_;
};

// Pairs of releases half a second apart, the pairs two seconds apart, 24 MB RAW files over a 30 MB/s link:
// each release is asked at its due moment while earlier pictures still come over, and its lateness is the
// moment it reached the body less its due moment. Reported: the worst and the median over the releases, and
// the worst over the second of each pair. 0: through the library's memory (a body without a card); 1: over
// from the card.
void releaseWhileDownloading(benchmark::State& state) {
    EmulatedSession session(std::string("raw-mb=24,link-mbps=30") + (state.range(0) ? "" : ",no-card"));
    Downloader downloader;
    EdsSetObjectEventHandler(session.camera, kEdsObjectEvent_All, Downloader::onObject, &downloader);
    constexpr int kPairs = 4;
    std::vector<double> late, secondLate;
    for (auto _ : state) {
        const auto start = Clock::now() + std::chrono::milliseconds(200);
        std::vector<Clock::time_point> due;
        for (int i = 0; i < 2 * kPairs; ++i)
            due.push_back(start + std::chrono::milliseconds(2000 * (i / 2) + 500 * (i % 2)));
        const std::size_t before = session.triggers().size();
        for (const Clock::time_point moment : due) {
            while (Clock::now() < moment) {
                EdsGetEvent();
                std::this_thread::sleep_until(std::min(moment, Clock::now() + std::chrono::milliseconds(2)));
            }
            if (EdsSendCommand(session.camera, kEdsCameraCommand_TakePicture, 0) != EDS_ERR_OK)
                state.SkipWithError("the body refused a release");
        }
        for (const auto until = Clock::now() + std::chrono::seconds(3); Clock::now() < until;) {
            EdsGetEvent();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const std::vector<Clock::time_point> reached = session.triggers();
        if (reached.size() != before + due.size()) state.SkipWithError("a release did not reach the body");
        for (std::size_t i = 0; i < due.size() && before + i < reached.size(); ++i) {
            const double ms = std::chrono::duration<double, std::milli>(reached[before + i] - due[i]).count();
            late.push_back(ms);
            if (i % 2) secondLate.push_back(ms);
        }
    }
    std::sort(late.begin(), late.end());
    state.counters["worst_ms"] = late.empty() ? 0 : late.back();
    state.counters["median_ms"] = late.empty() ? 0 : late[late.size() / 2];
    state.counters["second_worst_ms"] =
        secondLate.empty() ? 0 : *std::max_element(secondLate.begin(), secondLate.end());
    state.counters["stored"] = downloader.stored();
}
BENCHMARK(releaseWhileDownloading)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
