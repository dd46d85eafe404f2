// How long the plan of a day takes: a 24-hour script, a shot every 10 s, rehearsed with its plan recorded and
// drawn, and the drawing alone. Target: the plan drawn in under 1 s, beyond the rehearsal (run_bench).
#include "app/cli/plan_drawing.h"
#include "app/cli/plan_recorder.h"
#include "app/main_window.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "resources/main_dialog.h"
#include "ui/main_controls.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

// A day of shots every 10 s: 8640 lines, or one line looped 8640 times.
std::string writeDay(bool looped) {
    const auto path = std::filesystem::temp_directory_path() /
                      (looped ? "orvex-bench-plan-looped.txt" : "orvex-bench-plan-lines.txt");
    std::ofstream out(path);
    out << "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n";
    for (int i = 0; i < (looped ? 1 : 8640); ++i) out << "100\t8\t1\t250\t100\tR\n";
    return path.string();
}

orvex::cli::Plan rehearseDay(bool looped) {
    static const std::string scripts[] = {writeDay(false), writeDay(true)};
    orvex::VirtualClock clock({2026, 12, 6, 12, 0, 0, 0}, 0, 0);
    orvex::NoSerialPorts ports;
    orvex::Program program(clock, ports);
    program.options = orvex::parseCommandLine("-simul -load=\"" + scripts[looped] + "\"" +
                                              (looped ? " -loop=\"8640\"" : ""));
    orvex::cli::PlanRecorder recorder(program);
    program.observer = &recorder;
    orvex::HeadlessWindow window(
        [&](orvex::Window& w, const orvex::DialogMessage& m) { orvex::mainWindowProcedure(program, w, m); },
        {}, &clock);
    recorder.watch(window);
    recorder.start();
    window.create(orvex::MAIN_DIALOG);
    window.click(orvex::kConnectButton);
    window.click(orvex::kStartButton);
    while (program.run.running) clock.advance(60000);
    recorder.end(program.run.status);
    program.observer = nullptr;
    window.send({orvex::MessageKind::Close, 0, {}});
    return recorder.plan();
}

void planOfADay(benchmark::State& state) {
    for (auto _ : state) {
        const std::string svg = orvex::cli::drawPlan(rehearseDay(state.range(0) != 0));
        state.counters["kB"] = static_cast<double>(svg.size()) / 1000;
    }
}
BENCHMARK(planOfADay)->ArgName("looped")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void drawingOfADay(benchmark::State& state) {
    const orvex::cli::Plan plan = rehearseDay(state.range(0) != 0);
    state.counters["shots"] = static_cast<double>(plan.exposures.size());
    for (auto _ : state) benchmark::DoNotOptimize(orvex::cli::drawPlan(plan));
}
BENCHMARK(drawingOfADay)->ArgName("looped")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
