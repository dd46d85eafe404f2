// How long the engine takes to rehearse a night and a whole day, and to load a long script. Targets: a
// 24-hour script rehearsed in under 0.1 s of computing, the time growing linearly with the ticks, and a
// 10 000-line script loaded in under 4 ms.
#include "app/main_window.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "resources/main_dialog.h"
#include "run/run_controller.h"
#include "run/script_load.h"
#include "script/script_loader.h"
#include "ui/main_controls.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::string writeScript(int lines, const char* line) {
    const auto path =
        std::filesystem::temp_directory_path() / ("orvex-bench-" + std::to_string(lines) + ".txt");
    std::ofstream out(path);
    out << "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n";
    for (int i = 0; i < lines; ++i) out << line << '\n';
    return path.string();
}

// One shot every 10 s for the given hours, in simulation mode on the virtual clock: 72 000 ticks an hour.
void rehearsal(benchmark::State& state) {
    const std::string script = writeScript(static_cast<int>(state.range(0)) * 360, "100\t8\t1\t250\t100\tR");
    for (auto _ : state) {
        orvex::VirtualClock clock;
        orvex::NoSerialPorts ports;
        orvex::Program program(clock, ports);
        program.options = orvex::parseCommandLine("-simul -load=\"" + script + "\"");
        orvex::HeadlessWindow window(
            [&](orvex::Window& w, const orvex::DialogMessage& m) {
                orvex::mainWindowProcedure(program, w, m);
            },
            {}, &clock);
        window.create(orvex::MAIN_DIALOG);
        window.click(orvex::kConnectButton);
        window.click(orvex::kStartButton);
        while (program.run.running) clock.advance(60000);
        benchmark::DoNotOptimize(program.run.shotCount.load());
        window.send({orvex::MessageKind::Close, 0, {}});
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(rehearsal)
    ->ArgName("hours")
    ->Arg(3)
    ->Arg(24)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void loadLongScript(benchmark::State& state) {
    const std::string script = writeScript(10000, "21:14:30\t5.6\t1\t8500\t400\t(L)\t2");
    orvex::VirtualClock clock;
    orvex::NoSerialPorts ports;
    orvex::Program program(clock, ports);
    orvex::HeadlessWindow window([](orvex::Window&, const orvex::DialogMessage&) {});
    for (auto _ : state) benchmark::DoNotOptimize(orvex::loadScript(program, window, script));
}
BENCHMARK(loadLongScript)->Unit(benchmark::kMillisecond);

} // namespace
