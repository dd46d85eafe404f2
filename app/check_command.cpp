#include "app/check_command.h"

#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "run/script_load.h"
#include "script/line_reader.h"
#include "script/script_loader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

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

constexpr int kMessageSpacedColumns = 241;
constexpr int kLineLimit = 100; // as the loader reads them

// A line copied from the PDF manual has lost its tabs: its values stand in one column, separated by spaces.
// No value of any column holds a space of its own.
bool columnsSeparatedBySpaces(std::string_view line) {
    for (std::size_t start = 0; start <= line.size();) {
        const std::size_t tab = std::min(line.find('\t', start), line.size());
        std::string_view cell = line.substr(start, tab - start);
        const auto first = cell.find_first_not_of(' '), last = cell.find_last_not_of(' ');
        if (first != std::string_view::npos && cell.substr(first, last - first + 1).find(' ') != cell.npos)
            return true;
        start = tab + 1;
    }
    return false;
}

// For each line of the file, by its number (the header is line 1), whether its columns are separated by
// spaces.
std::vector<bool> spacedLines(const std::string& path) {
    std::vector<bool> spaced{false};
    std::ifstream in(path, std::ios::binary);
    for (std::string text; readLine(in, text, kLineLimit) >= 0;)
        spaced.push_back(columnsSeparatedBySpaces(text));
    return spaced;
}

// Says so of the line when its columns are separated by spaces, right after what `out` printed of it.
void tellSpaces(const std::vector<bool>& spaced, int fileLine, int language, std::ostream& out,
                std::ostream& err) {
    if (fileLine <= 0 || static_cast<std::size_t>(fileLine) >= spaced.size() || !spaced[fileLine]) return;
    out << std::flush;
    err << formatMessage(language, kMessageSpacedColumns, fileLine) << '\n';
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
        // Only a file that was read has lines to look at.
        if (program.script.refusedLine > 0)
            tellSpaces(spacedLines(path), program.script.refusedLine, language, out, err);
        return 1;
    }
    const std::vector<bool> spaced = spacedLines(path);
    const Script& s = program.script;
    const ValueTables& t = program.tables;
    for (const ScriptLine& l : s.lines) {
        out << l.fileLine << '\t' << kindName(l.kind) << '\t' << l.delay << '\t' << l.timeOfDay << '\t'
            << row(t.aperture, l.aperture) << '\t' << row(t.shutter, l.shutter) << '\t' << l.exposureMs
            << '\t' << row(t.iso, l.iso) << '\t' << row(t.quality, l.quality) << '\t' << l.burst << '\n';
        tellSpaces(spaced, l.fileLine, language, out, err);
    }
    out << "summary\tlines=" << s.lines.size() << "\tloop=" << s.hasLoopMarker << "\thas-burst=" << s.hasBurst
        << "\thas-long-exposure=" << s.hasLongExposure << "\thas-move=" << s.hasMove << '\n';
    return 0;
}

} // namespace orvex
