#include "platform/profile/profile_text.h"

#include "platform/ascii_case.h"

#include <algorithm>

namespace orvex {
namespace {

bool isBlankChar(char c) {
    return c == ' ' || c == '\t';
}
bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

// One line: its content is [begin, end), its line break [end, next), empty on an unterminated last line.
struct Line {
    std::size_t begin = 0, end = 0, next = 0;
    enum Kind { Blank, Other, Section, Key } kind = Other;
    std::string_view name;
    std::size_t valueBegin = 0, valueEnd = 0;
};

void classify(std::string_view text, Line& line) {
    const std::string_view content = text.substr(line.begin, line.end - line.begin);
    const std::size_t first = content.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        line.kind = Line::Blank;
        return;
    }
    const char lead = content[first];
    if (lead == ';' || lead == '#') return;
    if (lead == '[') {
        // A header without its closing bracket is no header: the section goes on.
        const std::size_t close = content.find(']', first);
        if (close == std::string_view::npos) return;
        line.kind = Line::Section;
        line.name = trimmed(content.substr(first + 1, close - first - 1));
        return;
    }
    const std::size_t equals = content.find('=', first);
    if (equals == std::string_view::npos) return;
    line.name = trimmed(content.substr(first, equals - first));
    if (line.name.empty()) return;
    line.kind = Line::Key;
    // A NUL ends the value: past it, a name built from the value would be cut by the system anyway.
    std::size_t end = std::min(content.find('\0', equals), content.size());
    std::size_t begin = equals + 1;
    while (begin < end && isBlankChar(content[begin])) ++begin;
    while (end > begin && isBlankChar(content[end - 1])) --end;
    line.valueBegin = line.begin + begin;
    line.valueEnd = line.begin + end;
}

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    // A byte-order mark belongs to no name.
    std::size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        line.end = pos;
        while (line.end < text.size() && !isLineBreak(text[line.end])) ++line.end;
        line.next = line.end;
        if (line.next < text.size()) line.next += text.substr(line.next).starts_with("\r\n") ? 2 : 1;
        classify(text, line);
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

// Line indices of the first section of that name: its header and one past its last line.
struct Span {
    std::size_t header, end;
};

std::optional<Span> findSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::Section || !equalsIgnoringCase(lines[i].name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != Line::Section) ++end;
        return Span{i, end};
    }
    return std::nullopt;
}

const Line* findKey(const std::vector<Line>& lines, Span span, std::string_view key) {
    for (std::size_t i = span.header + 1; i < span.end; ++i)
        if (lines[i].kind == Line::Key && equalsIgnoringCase(lines[i].name, key)) return &lines[i];
    return nullptr;
}

// New lines end as the file's lines already do.
std::string lineBreakOf(std::string_view text) {
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return "\n";
    return text.substr(at).starts_with("\r\n") ? "\r\n" : std::string(1, text[at]);
}

void writeOne(std::string& text, std::string_view section, const std::string& key, std::string_view value) {
    const std::vector<Line> lines = splitLines(text);
    const std::string lineBreak = lineBreakOf(text);
    const std::string entry = key + "=" + std::string(value) + lineBreak;
    const std::optional<Span> span = findSection(lines, section);
    if (!span) {
        const bool open = !text.empty() && !isLineBreak(text.back());
        text += (open ? lineBreak : "") + "[" + std::string(section) + "]" + lineBreak + entry;
        return;
    }
    if (const Line* line = findKey(lines, *span, key)) {
        text.replace(line->valueBegin, line->valueEnd - line->valueBegin, value);
        return;
    }
    // After the section's last line that is not blank, so that blank lines before the next section stay.
    std::size_t last = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i)
        if (lines[i].kind != Line::Blank) last = i;
    const Line& after = lines[last];
    text.insert(after.next, (after.next == after.end ? lineBreak : "") + entry);
}

bool hasNoneOf(std::string_view name, std::string_view bytes) {
    return name.find_first_of(bytes) == std::string_view::npos;
}

} // namespace

std::optional<std::string> profileValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
    const std::vector<Line> lines = splitLines(text);
    const std::optional<Span> span = findSection(lines, section);
    if (!span) return std::nullopt;
    const Line* line = findKey(lines, *span, key);
    if (!line) return std::nullopt;
    return std::string(text.substr(line->valueBegin, line->valueEnd - line->valueBegin));
}

bool isStorableSectionName(std::string_view section) {
    using namespace std::string_view_literals;
    return !section.empty() && trimmed(section) == section && hasNoneOf(section, "\r\n]\0"sv);
}

bool isStorableKeyName(std::string_view key) {
    using namespace std::string_view_literals;
    return !key.empty() && trimmed(key) == key && hasNoneOf(key, "\r\n=\0"sv) &&
           hasNoneOf(key.substr(0, 1), ";#[");
}

std::optional<std::string> withProfileValues(std::string text, std::string_view section,
                                             const std::vector<ProfileEntry>& entries) {
    if (!isStorableSectionName(section)) return std::nullopt;
    for (const ProfileEntry& e : entries)
        if (!isStorableKeyName(e.key)) return std::nullopt;
    using namespace std::string_view_literals;
    for (const ProfileEntry& e : entries) {
        // A line break in a value would start a line of its own: a key or section nobody wrote. Blanks
        // around it would not read back, and written in place they would pile up at every save.
        writeOne(text, section, e.key,
                 trimmed(std::string_view(e.value).substr(0, e.value.find_first_of("\r\n\0"sv))));
    }
    return text;
}

} // namespace orvex
