// One live view frame as a Move wait handles it: a 1024×680 JPEG decoded into a Frame, then compared with
// the frame before. Target: under 2 ms at the median. And the virtual body's frame through that wait, its
// object standing still or moving: under 1 ms, so that a rehearsed hour of a Move line (three frames a
// second) takes seconds, not minutes.
#include "liveview/frame_decoder.h"
#include "liveview/move_detection.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "run/program.h"
#include "sdk/virtual/picture_files.h"

#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

constexpr int kWidth = 1024, kHeight = 680;

// A night sky with sensor noise and a bright object at `objectX`, as a camera would send it.
orvex::virtualcam::Bytes nightFrame(int objectX) {
    orvex::virtualcam::Bytes rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
    std::uint32_t noise = 12345;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1664525 + 1013904223;
            const int grain = static_cast<int>(noise >> 28);
            const bool object = (x - objectX) * (x - objectX) + (y - 240) * (y - 240) < 50 * 50;
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
            p[0] = static_cast<std::uint8_t>(object ? 250 : 10 + y / 24 + grain);
            p[1] = static_cast<std::uint8_t>(object ? 240 : 15 + y / 18 + grain);
            p[2] = static_cast<std::uint8_t>(object ? 220 : 50 + y / 8 + grain);
        }
    return orvex::virtualcam::encodeJpeg(rgb, kWidth, kHeight, 80);
}

void decodeAndDetect(benchmark::State& state) {
    const orvex::virtualcam::Bytes frames[] = {nightFrame(300), nightFrame(340)};
    orvex::VirtualClock clock;
    orvex::NoSerialPorts ports;
    orvex::Program program(clock, ports);
    orvex::HeadlessWindow window([](orvex::Window&, const orvex::DialogMessage&) {});
    orvex::Frame previous, next;
    orvex::decodeFrame(frames[1].data(), frames[1].size(), previous);
    std::size_t i = 0;
    for (auto _ : state) {
        const orvex::virtualcam::Bytes& jpeg = frames[i++ % 2];
        if (!orvex::decodeFrame(jpeg.data(), jpeg.size(), next)) state.SkipWithError("frame not decoded");
        benchmark::DoNotOptimize(
            orvex::detectMove(program.settings, program.run.detection, window, next, previous));
        std::swap(next, previous);
        window.pump();
    }
}
BENCHMARK(decodeAndDetect)->Unit(benchmark::kMillisecond);

void virtualBodyFrame(benchmark::State& state) {
    orvex::virtualcam::LiveViewShot shot{5184, 3456, 0, 0, 5184, 3456, 1555, 1210, 180};
    for (auto _ : state) {
        if (state.range(0)) shot.objectX += 4;
        benchmark::DoNotOptimize(orvex::virtualcam::renderLiveView(shot));
    }
}
BENCHMARK(virtualBodyFrame)->ArgName("moving")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
