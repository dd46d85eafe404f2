// The script loader on any file, in English and in French: it refuses or loads, and what it loads only
// points at rows the value tables have.
#include "fuzz/fuzz_files.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "run/program.h"
#include "run/script_load.h"
#include "script/script_loader.h"

#include <cstdlib>

namespace {

bool within(int index, const orvex::ValueTable& table) {
    return index >= 0 && index < static_cast<int>(table.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    using namespace orvex;
    VirtualClock clock;
    NoSerialPorts ports;
    Program program(clock, ports);
    program.language = data[0] & 1 ? kFrench : kEnglish;
    HeadlessWindow window([](Window&, const DialogMessage&) {});
    const std::string path = fuzz::scratchFile("script.txt", data + 1, size - 1);
    const bool loaded = loadScript(program, window, path);
    if (loaded != program.script.loaded) std::abort();
    if (!loaded && (window.messageBoxes().empty() || !program.script.lines.empty())) std::abort();
    const ValueTables& t = program.tables;
    for (const ScriptLine& l : program.script.lines) {
        if (!within(l.aperture, t.aperture) || !within(l.shutter, t.shutter) || !within(l.iso, t.iso) ||
            !within(l.quality, t.quality) || l.delay < 0 || l.burst < 0)
            std::abort();
    }
    return 0;
}
