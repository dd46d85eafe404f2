#include "app/check_command.h"

#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "run/script_moves.h"
#include "script/script_loader.h"

#include <cstdio>

namespace orvex {
namespace {

const char* kindName(TriggerKind kind) {
    switch (kind) {
    case TriggerKind::Move:
        return "Move";
    case TriggerKind::Sound:
        return "Sound";
    case TriggerKind::TimeOfDay:
        return "TimeOfDay";
    case TriggerKind::Delay:
        return "Delay";
    }
    return "";
}

std::string hex(std::uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", code);
    return text;
}

// A row as "name<TAB>code".
std::string row(const ValueTable& table, int index) {
    return table[index].name + '\t' + hex(table[index].code);
}

} // namespace

int checkScript(const std::string& path, int language, std::ostream& out, std::ostream& err) {
    VirtualClock clock;
    NoSerialPorts ports;
    Program program(clock, ports);
    program.language = language;
    HeadlessWindow window([](Window&, const DialogMessage&) {});

    if (!loadScript(program, window, path)) {
        for (const MessageBoxRecord& box : window.messageBoxes()) {
            std::string text = box.text;
            for (char& c : text)
                if (c == '\r') c = '\n';
            err << text << '\n';
        }
        return 1;
    }
    const Script& s = program.script;
    const ValueTables& t = program.tables;
    for (const ScriptLine& l : s.lines) {
        out << l.fileLine << '\t' << kindName(l.kind) << '\t' << l.delay << '\t' << l.timeOfDay << '\t'
            << row(t.aperture, l.aperture) << '\t' << row(t.shutter, l.shutter) << '\t' << l.exposureMs
            << '\t' << row(t.iso, l.iso) << '\t' << row(t.quality, l.quality) << '\t' << l.burst << '\n';
    }
    out << "summary\tlines=" << s.lines.size() << "\tloop=" << s.hasLoopMarker << "\thas-burst=" << s.hasBurst
        << "\thas-long-exposure=" << s.hasLongExposure << "\thas-move=" << s.hasMove << '\n';
    return 0;
}

} // namespace orvex
