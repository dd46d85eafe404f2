#pragma once
// Where a rehearsal's plan goes: known to be writable before a whole night is rehearsed for it, written once
// the night is over, and never left behind empty by a rehearsal refused at its start.
#include <string>

namespace orvex::cli {

class PlanFile {
  public:
    explicit PlanFile(std::string path);
    ~PlanFile();
    PlanFile(const PlanFile&) = delete;
    PlanFile& operator=(const PlanFile&) = delete;

    // Checked without changing a file already there.
    bool writable() const { return writable_; }
    // False when the picture did not reach the disk whole.
    bool write(const std::string& svg);

  private:
    std::string path_;
    bool existed_ = false;
    bool writable_ = false;
    bool written_ = false;
};

} // namespace orvex::cli
