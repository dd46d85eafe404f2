#include "app/cli/plan_file.h"

#include "platform/files.h"

#include <filesystem>
#include <fstream>

namespace orvex::cli {

PlanFile::PlanFile(std::string path) : path_(std::move(path)) {
    std::error_code ignored;
    existed_ = std::filesystem::exists(path_, ignored);
    // Opened for appending, which makes a missing file and leaves one already there as it was. Only a regular
    // file takes a plan: opening a FIFO would wait for ever, and a device would be renamed over. The plan is
    // written beside it and renamed over it, which a read-only plan or folder refuses even where it opens.
    writable_ = (!existed_ || fileExists(path_)) && fileReplaceable(path_) &&
                std::ofstream(path_, std::ios::binary | std::ios::app).good();
}

PlanFile::~PlanFile() {
    std::error_code ignored;
    if (writable_ && !written_ && !existed_) std::filesystem::remove(path_, ignored);
}

bool PlanFile::write(const std::string& svg) {
    // A plan there before stays whole until the new one is; a new one not written is not left empty.
    written_ = writeFileAtomically(path_, svg);
    return written_;
}

} // namespace orvex::cli
