#include "core/night_log.h"

#include "core/catalogue.h"
#include "core/text_scan.h"

#include <cstdio>
#include <cstdlib>

namespace orvex {
namespace {

constexpr int kOutcomeStored = 260, kOutcomeOnCard = 261, kOutcomeLost = 262, kOutcomeNoBody = 263;

constexpr const char* kColumns =
    "line\tpass\tplanned\treleased\tlate_ms\tav\ttv\tiso\tquality\tfile\ttaken\toutcome\n";

std::string fileName(const CivilTime& t, int attempt) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "night_%04d-%02d-%02d_%02d-%02d-%02d", t.year,
                                     t.month, t.day, t.hour, t.minute, t.second);
    if (attempt != 0) std::snprintf(text + length, sizeof text - length, "-%d", attempt);
    return std::string(text) + ".tsv";
}

// A picture's own time carries no zone: the body's clock knows none.
std::string takenText(const EdsTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

// A comment is one line, whatever it quotes: a script folder named with a line break would otherwise put
// the rest of its path where readers of the log look for rows.
std::string commentLine(const std::string& text) {
    return "# " + oneLine(text) + '\n';
}

} // namespace

std::string isoMoment(const LocalMoment& m) {
    const std::int64_t ms = m.localUs >= 0 ? m.localUs / 1000 : -((-m.localUs + 999) / 1000);
    const CivilTime t = civilFromMs(ms);
    const int offset = std::abs(m.utcOffsetMinutes);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond, m.utcOffsetMinutes < 0 ? '-' : '+', offset / 60,
                  offset % 60);
    return text;
}

std::unique_ptr<NightLog> NightLog::create(const std::string& folder, const CivilTime& start,
                                           const std::vector<std::string>& comments, int language,
                                           Safety safety) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string path = folder + fileName(start, attempt);
        std::unique_ptr<NightLog> log(new NightLog(path, language, safety));
        if (!log->file_.open()) {
            if (fileExists(path)) continue;
            return nullptr;
        }
        std::string head;
        for (const std::string& c : comments) head += commentLine(c);
        log->write(head + kColumns);
        return log;
    }
    return nullptr;
}

NightLog::~NightLog() {
    if (!refused_.empty()) file_.append(refused_);
}

void NightLog::pictureDone(const ReleaseRecord& release, const DownloadOutcome& outcome) {
    const std::string taken = outcome.taken ? takenText(*outcome.taken) : std::string();
    if (!outcome.stored.empty())
        row(release, fileNameOf(outcome.stored), taken, kOutcomeStored);
    else if (outcome.onCard)
        leftOnCard(release, *outcome.onCard, outcome.cameraName);
    else
        row(release, {}, taken, kOutcomeLost);
}

void NightLog::leftOnCard(const ReleaseRecord& release, const std::string& folder, const std::string& name) {
    // A body that names no folder (the virtual one) gives the name alone.
    row(release, "card:" + (folder.empty() ? "" : folder + '/') + name, {}, kOutcomeOnCard);
}

void NightLog::nothingCame(const ReleaseRecord& release, bool rehearsedWithoutBody) {
    row(release, {}, {}, rehearsedWithoutBody ? kOutcomeNoBody : kOutcomeLost);
}

void NightLog::comment(const std::string& text) {
    const std::lock_guard lock(mutex_);
    write(commentLine(text));
}

void NightLog::row(const ReleaseRecord& r, const std::string& file, const std::string& taken, int outcome) {
    const std::string late = r.released ? decimalText(r.lateMs, 1) : "";
    const std::string text = std::to_string(r.fileLine) + '\t' + std::to_string(r.pass) + '\t' +
                             isoMoment(r.planned) + '\t' + (r.released ? isoMoment(r.releasedAt) : "") +
                             '\t' + late + '\t' + r.av + '\t' + r.tv + '\t' + r.iso + '\t' + r.quality +
                             '\t' + file + '\t' + taken + '\t' + messageText(language_, outcome) + '\n';
    const std::lock_guard lock(mutex_);
    write(text);
}

void NightLog::write(const std::string& text) {
    refused_ += text;
    if (file_.append(refused_)) refused_.clear();
}

} // namespace orvex
