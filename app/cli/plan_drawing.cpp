#include "app/cli/plan_drawing.h"

#include "app/cli/plan_axis.h"
#include "core/catalogue.h"
#include "core/text_scan.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace orvex::cli {
namespace {

enum Message {
    kReleaseTexts = 251, // camera, bulb, cable, lock-up: one message each, in the order of Release
    kLineText = 255,
    kPassText = 256,
    kShotsText = 257,
    kPlanTitle = 258,
    kBurstText = 18,
};

constexpr double kMinLeft = 80, kRight = 40, kTop = 52, kLaneHeight = 26, kShapeHeight = 16;
// Narrower shapes would vanish; closer ones could not be told apart by a pointer. A group stays short enough
// for its title to say when its shots were taken; pass marks closer than kPassGap would hide the lanes.
constexpr double kMinWidth = 2, kGap = 3, kMaxGroupWidth = 24, kPassGap = 8;
constexpr double kMinTickSpacing = 60;
// Labels of 12 pixels, sans-serif: about 7 pixels a character.
constexpr double kCharacterWidth = 7, kLabelGap = 6;
// A script of more lines shares its lanes, each lane a run of neighbouring lines: a day of lines stays a
// page.
constexpr std::size_t kMaxLanes = 48;
constexpr const char* kColours[] = {"#2e7d32", "#1565c0", "#ef6c00", "#8e24aa"};
constexpr const char* kClasses[] = {"camera", "bulb", "cable", "lockup"};

// The length of the well-formed UTF-8 character that XML takes at `at`, 0 for a byte it does not: a control
// character, or a byte of a name from a disk written in another encoding.
std::size_t xmlCharacterLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned c = byte(at);
    if (c < 0x80) return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' ? 1 : 0;
    const auto in = [](unsigned b, unsigned low, unsigned high) { return b >= low && b <= high; };
    if (in(c, 0xC2, 0xDF)) return in(byte(at + 1), 0x80, 0xBF) ? 2 : 0;
    if (in(c, 0xE0, 0xEF)) {
        // No overlong form, no surrogate, and neither U+FFFE nor U+FFFF.
        const unsigned second = byte(at + 1), low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        const bool nonCharacter = c == 0xEF && second == 0xBF && in(byte(at + 2), 0xBE, 0xBF);
        return in(second, low, high) && in(byte(at + 2), 0x80, 0xBF) && !nonCharacter ? 3 : 0;
    }
    if (in(c, 0xF0, 0xF4)) {
        const unsigned low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        return in(byte(at + 1), low, high) && in(byte(at + 2), 0x80, 0xBF) && in(byte(at + 3), 0x80, 0xBF)
                   ? 4
                   : 0;
    }
    return 0;
}

// Any byte XML would refuse stands as U+FFFD: the picture still opens, in a browser as in the plan's window.
std::string escaped(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = xmlCharacterLength(text, at);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        if (length > 1) {
            out.append(text, at, length);
            at += length;
            continue;
        }
        const char c = text[at++];
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

double textWidth(const std::string& text) {
    const auto characters = std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    return kCharacterWidth * static_cast<double>(characters);
}

std::string number(double value) {
    return decimalText(value, 1);
}

// Items next to one another on a lane, drawn as one shape from x0 to x1.
struct Group {
    std::size_t first = 0, last = 0, count = 0;
    double x0 = 0, x1 = 0;
};

// `extents` in the order of their left edges.
std::vector<Group> grouped(const std::vector<std::pair<double, double>>& extents) {
    std::vector<Group> groups;
    for (std::size_t i = 0; i < extents.size(); ++i) {
        const double x0 = extents[i].first, x1 = std::max(extents[i].second, x0 + kMinWidth);
        if (!groups.empty() && x0 < groups.back().x1 + kGap && x0 < groups.back().x0 + kMaxGroupWidth) {
            Group& g = groups.back();
            g.last = i;
            ++g.count;
            g.x1 = std::max(g.x1, x1);
        } else {
            groups.push_back({i, i, 1, x0, x1});
        }
    }
    return groups;
}

class Drawing {
  public:
    explicit Drawing(const Plan& plan) : plan_(plan) {
        std::set<int> lines(plan.lines.begin(), plan.lines.end());
        for (const PlannedExposure& e : plan.exposures) lines.insert(e.line);
        for (const PlannedWait& w : plan.waits) lines.insert(w.line);
        const std::size_t perLane = std::max<std::size_t>((lines.size() + kMaxLanes - 1) / kMaxLanes, 1);
        std::size_t position = 0;
        for (const int line : lines) {
            const std::size_t lane = position++ / perLane;
            lanes_[line] = static_cast<int>(lane);
            if (names_.size() <= lane)
                names_.push_back(std::to_string(line));
            else
                names_[lane] = names_[lane].substr(0, names_[lane].find("–")) + "–" + std::to_string(line);
        }
        std::uint64_t duration = std::max<std::uint64_t>(plan.end.atMs, 1000);
        for (const PlannedExposure& e : plan.exposures)
            duration = std::max<std::uint64_t>(duration, e.atMs + e.lengthMs);
        for (const PlannedWait& w : plan.waits) duration = std::max<std::uint64_t>(duration, w.toMs);
        duration_ = duration;
        // Wide enough for a short script's seconds, narrow enough for a page.
        plotWidth_ = std::clamp(static_cast<double>(duration) / 100, 800.0, 1600.0);
        lanesBottom_ = kTop + kLaneHeight * static_cast<double>(std::max<std::size_t>(names_.size(), 1));
        // Wide enough for the longest lane label, drawn from x 8, which the shapes would otherwise cover: a
        // lane of many lines, in French.
        for (std::size_t lane = 0; lane < names_.size(); ++lane)
            left_ = std::max(left_, 8 + textWidth(laneName(static_cast<int>(lane))) + kLabelGap);
    }

    std::string svg() {
        const double width = left_ + plotWidth_ + kRight, height = lanesBottom_ + 76 + reasonRoom();
        out_ = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) + "\" height=\"" +
               number(height) + "\" viewBox=\"0 0 " + number(width) + " " + number(height) +
               "\" font-family=\"sans-serif\" font-size=\"12\">\n";
        out_ += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
        title();
        lanes();
        axis();
        waits();
        exposures();
        marks();
        legend();
        out_ += "</svg>\n";
        return std::move(out_);
    }

  private:
    std::string text(int message) const { return messageText(plan_.language, message); }
    double x(std::uint64_t ms) const {
        return left_ + static_cast<double>(ms) * plotWidth_ / static_cast<double>(duration_);
    }
    // A line under the end's label for why the run never started.
    double reasonRoom() const { return plan_.reason.empty() ? 0 : 16; }
    // When a shape stands, in its title.
    std::string clock(std::uint64_t ms) const { return clockText(plan_.start, ms, duration_); }
    double laneTop(int lane) const { return kTop + kLaneHeight * lane; }
    std::string laneName(int lane) const {
        return formatMessage(plan_.language, kLineText, names_[static_cast<std::size_t>(lane)]);
    }

    void title() {
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", plan_.start.year, plan_.start.month,
                      plan_.start.day);
        out_ += "<text class=\"title\" x=\"8\" y=\"18\" font-size=\"14\">" +
                escaped(formatMessage(plan_.language, kPlanTitle, plan_.script) + " — " + date + " " +
                        clockText(plan_.start, 0, 0)) +
                "</text>\n";
    }

    void lanes() {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            const int lane = static_cast<int>(i);
            const double y = laneTop(lane);
            if (lane % 2 == 0)
                out_ += "<rect x=\"" + number(left_) + "\" y=\"" + number(y) + "\" width=\"" +
                        number(plotWidth_) + "\" height=\"" + number(kLaneHeight) + "\" fill=\"#f3f3f3\"/>\n";
            out_ += "<text class=\"lane\" x=\"8\" y=\"" + number(y + kLaneHeight / 2 + 4) + "\">" +
                    escaped(laneName(lane)) + "</text>\n";
        }
    }

    void axis() {
        for (const AxisTick& t : axisTicks(plan_.start, duration_,
                                           kMinTickSpacing * static_cast<double>(duration_) / plotWidth_)) {
            const std::string at = number(x(t.atMs));
            out_ += "<line class=\"tick\" x1=\"" + at + "\" x2=\"" + at + "\" y1=\"" + number(kTop - 6) +
                    "\" y2=\"" + number(lanesBottom_) + "\" stroke=\"#c8c8c8\"/>\n";
            out_ += "<text class=\"tick\" x=\"" + at + "\" y=\"" + number(kTop - 10) +
                    "\" text-anchor=\"middle\">" + t.label + "</text>\n";
        }
    }

    // The items of each lane, in the order of their moments.
    template <typename Item>
    std::map<int, std::vector<const Item*>> byLane(const std::vector<Item>& items) const {
        std::map<int, std::vector<const Item*>> lanes;
        for (const Item& item : items) lanes[lanes_.at(item.line)].push_back(&item);
        for (auto& [lane, onLane] : lanes)
            std::stable_sort(onLane.begin(), onLane.end(),
                             [](const Item* a, const Item* b) { return start(*a) < start(*b); });
        return lanes;
    }
    static std::uint64_t start(const PlannedWait& w) { return w.fromMs; }
    static std::uint64_t start(const PlannedExposure& e) { return e.atMs; }

    void rect(const std::string& cls, double x0, double x1, double y, double h, const std::string& fill,
              const std::string& title) {
        out_ += "<rect class=\"" + cls + "\" x=\"" + number(x0) + "\" y=\"" + number(y) + "\" width=\"" +
                number(x1 - x0) + "\" height=\"" + number(h) + "\" fill=\"" + fill + "\"><title>" +
                escaped(title) + "</title></rect>\n";
    }

    void waits() {
        for (const auto& [lane, items] : byLane(plan_.waits)) {
            std::vector<std::pair<double, double>> extents;
            for (const PlannedWait* w : items) extents.emplace_back(x(w->fromMs), x(w->toMs));
            for (const Group& g : grouped(extents)) {
                const PlannedWait& first = *items[g.first];
                const PlannedWait& last = *items[g.last];
                std::string title = first.text + ", " + clock(first.fromMs) + " – " + clock(last.toMs);
                if (g.count > 1) title += " (" + std::to_string(g.count) + ")";
                rect("wait", g.x0, g.x1, laneTop(lane) + 1, kLaneHeight - 2, "#ffe082", title);
            }
        }
    }

    std::string shotTitle(const PlannedExposure& e) const {
        std::string title = formatMessage(plan_.language, kLineText, std::to_string(e.line)) + ", " +
                            formatMessage(plan_.language, kPassText, std::to_string(e.pass)) + ", " +
                            clock(e.atMs) + ", " + text(kReleaseTexts + static_cast<int>(e.release));
        if (e.burst)
            title += ", " + std::string(text(kBurstText)) + " " + std::to_string(e.lengthMs / 1000) + " s";
        return title + ": " + e.values;
    }

    void exposures() {
        for (const auto& [lane, items] : byLane(plan_.exposures)) {
            std::vector<std::pair<double, double>> extents;
            for (const PlannedExposure* e : items) extents.emplace_back(x(e->atMs), x(e->atMs + e->lengthMs));
            const double y = laneTop(lane) + (kLaneHeight - kShapeHeight) / 2;
            for (const Group& g : grouped(extents)) {
                const PlannedExposure& first = *items[g.first];
                const int kind = static_cast<int>(first.release);
                if (g.count == 1) {
                    rect(std::string("shot ") + kClasses[kind], g.x0, g.x1, y, kShapeHeight, kColours[kind],
                         shotTitle(first));
                } else {
                    const PlannedExposure& last = *items[g.last];
                    rect(std::string("shots ") + kClasses[kind], g.x0, g.x1, y, kShapeHeight, kColours[kind],
                         laneName(lane) + ": " +
                             formatMessage(plan_.language, kShotsText, std::to_string(g.count)) + ", " +
                             clock(first.atMs) + " – " + clock(last.atMs));
                }
                // A burst is one press of many pictures: a notch marks where it starts.
                if (first.burst)
                    out_ += "<path class=\"burst\" d=\"M" + number(g.x0) + " " + number(y) + " l6 " +
                            number(kShapeHeight / 2) + " l-6 " + number(kShapeHeight / 2) +
                            "z\" fill=\"#ffffff\"/>\n";
            }
        }
    }

    void verticalLine(const std::string& cls, double at, const std::string& colour, const std::string& dash,
                      const std::string& title) {
        out_ += "<line class=\"" + cls + "\" x1=\"" + number(at) + "\" x2=\"" + number(at) + "\" y1=\"" +
                number(kTop - 4) + "\" y2=\"" + number(lanesBottom_ + 4) + "\" stroke=\"" + colour + "\"" +
                (dash.empty() ? "" : " stroke-dasharray=\"" + dash + "\"") + "><title>" + escaped(title) +
                "</title></line>\n";
    }

    // Near the right edge a label reads leftwards from its line.
    bool leftwards(double at) const { return at > left_ + plotWidth_ * 0.8; }

    // Where a label at `at` stands, from its left edge to its right one.
    std::pair<double, double> labelExtent(double at, const std::string& content) const {
        const double width = textWidth(content);
        return leftwards(at) ? std::pair(at - 3 - width, at - 3) : std::pair(at + 3, at + 3 + width);
    }

    void label(const std::string& cls, double at, double y, const std::string& content) {
        const bool leftwards = this->leftwards(at);
        out_ += "<text class=\"" + cls + "\" x=\"" + number(leftwards ? at - 3 : at + 3) + "\" y=\"" +
                number(y) + "\"" + (leftwards ? " text-anchor=\"end\"" : "") + ">" + escaped(content) +
                "</text>\n";
    }

    void marks() {
        // A pass's label is left out where it would run into the one before: in French, say, or where labels
        // start reading leftwards near the right edge.
        double lastPass = -kPassGap, labelsEnd = 0;
        for (const PlanMark& m : plan_.passes) {
            if (x(m.atMs) < lastPass + kPassGap) continue;
            lastPass = x(m.atMs);
            verticalLine("pass", lastPass, "#757575", "2 2", m.text + ", " + clock(m.atMs));
            const auto [from, to] = labelExtent(lastPass, m.text);
            if (from < labelsEnd + kLabelGap) continue;
            labelsEnd = to;
            label("pass", lastPass, lanesBottom_ + 16, m.text);
        }
        for (const PlanMark& m : plan_.chains) {
            verticalLine("chain", x(m.atMs), "#6d4c41", "", m.text + ", " + clock(m.atMs));
            label("chain", x(m.atMs), lanesBottom_ + 16, m.text);
        }
        verticalLine("end", x(plan_.end.atMs), "#c62828", "", plan_.end.text + ", " + clock(plan_.end.atMs));
        label("end", x(plan_.end.atMs), lanesBottom_ + 30, plan_.end.text);
        if (!plan_.reason.empty())
            label("reason", x(plan_.end.atMs), lanesBottom_ + 46, oneLine(plan_.reason));
    }

    void legend() {
        double at = left_;
        const double y = lanesBottom_ + 48 + reasonRoom();
        for (int kind = 0; kind < 4; ++kind) {
            out_ += std::string("<rect class=\"legend ") + kClasses[kind] + "\" x=\"" + number(at) +
                    "\" y=\"" + number(y) + "\" width=\"14\" height=\"14\" fill=\"" + kColours[kind] +
                    "\"/>\n";
            const std::string name = text(kReleaseTexts + kind);
            out_ += "<text class=\"legend\" x=\"" + number(at + 20) + "\" y=\"" + number(y + 11) + "\">" +
                    escaped(name) + "</text>\n";
            at += 40 + 7.0 * static_cast<double>(name.size());
        }
    }

    const Plan& plan_;
    std::map<int, int> lanes_;       // file line → lane from the top
    std::vector<std::string> names_; // each lane's line, or its first and last lines
    std::uint64_t duration_ = 0;
    double left_ = kMinLeft, plotWidth_ = 0, lanesBottom_ = 0;
    std::string out_;
};

} // namespace

std::string drawPlan(const Plan& plan) {
    return Drawing(plan).svg();
}

} // namespace orvex::cli
