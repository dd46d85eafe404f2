#pragma once
// The night log: a tab-separated file in the picture folder, one row per picture of the run, each written to
// the disk itself as soon as the picture is stored or given up, so that a crash or a power cut keeps the
// night up to there. Rows come from the transfer worker and from the run; one lock keeps them whole. A row
// the disk refuses (full) is kept and written ahead of the next one, once there is room again.
#include "core/picture_download.h"
#include "core/release_record.h"
#include "platform/clock.h"
#include "platform/files.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvex {

class NightLog {
  public:
    // Makes night_YYYY-MM-DD_HH-MM-SS.tsv after `start` in `folder` (with its trailing separator), or that
    // name with -1, -2… when it is taken: a log is never written over. Writes `comments`, each as a line
    // after "# ", then the column names. Null when no file can be made there. Each row is kept as `safety`
    // says.
    static std::unique_ptr<NightLog> create(const std::string& folder, const CivilTime& start,
                                            const std::vector<std::string>& comments, int language,
                                            Safety safety = Safety::kOnDisk);
    // Rows still refused get a last chance: the disk may have room by now.
    ~NightLog();
    const std::string& path() const { return path_; }

    // A picture of the release stored, left on the camera's card, or lost.
    void pictureDone(const ReleaseRecord& release, const DownloadOutcome& outcome);
    // A picture the run leaves on the body's card, in that folder, under the body's name.
    void leftOnCard(const ReleaseRecord& release, const std::string& folder, const std::string& name);
    // A release that brought no picture: lost, or a rehearsal's without a body, which has none to bring.
    void nothingCame(const ReleaseRecord& release, bool rehearsedWithoutBody);
    void comment(const std::string& text);

  private:
    NightLog(std::string path, int language, Safety safety)
        : path_(std::move(path)), file_(path_, safety), language_(language) {}
    void row(const ReleaseRecord& release, const std::string& file, const std::string& taken, int outcome);
    // Under the lock, or before the log is shared: the text after whatever the disk refused before, so that
    // rows keep their order.
    void write(const std::string& text);

    std::string path_;
    AppendedFile file_;
    int language_;
    std::mutex mutex_;
    std::string refused_; // rows a full disk did not take yet
};

// As ISO 8601 with milliseconds and the offset from UTC: 2026-08-12T20:27:14.250+02:00.
std::string isoMoment(const LocalMoment& moment);

} // namespace orvex
