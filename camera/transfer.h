#pragma once
// Downloading the pictures the camera sends and naming them after the moment they were taken.
#include "core/program.h"

#include <cstdint>
#include <string>

namespace orvex {

// What the worker needs to know of the run, taken when it starts so that it shares nothing else.
struct TransferJob {
    std::string folder;              // the picture folder, with its trailing separator
    std::string prefix;              // the image file prefix
    bool rawOrJpegByQuality = false; // bodies whose files carry no usable extension (300D)
    std::string qualityName;         // the current line's quality, for those bodies
    int fileLine = 0;                // the shot's script line and pass, for the run's observer
    int pass = 0;
};

// The script's folder (or the start-up folder) followed by the camera name.
std::string pictureFolder(const Program& program);
TransferJob makeTransferJob(const Program& program);
// The picture name: [prefix_]YYYY-MM-DD_hh-mm-ss_NNNN.ext
std::string pictureName(const std::string& prefix, const EdsTime& taken, int number,
                        const std::string& extension);
// Drains the queue, then says it finished. Runs on its own thread.
void transferWorker(Program& program, TransferJob job);
// After the run: a further file of one of its exposures is still downloaded and filed with it; false (the
// item left to the caller) for any other file.
bool downloadLateFile(Program& program, EdsDirectoryItemRef item);
// Downloads one item (which it releases) and names it with `number`; 0 or an error code. A download that
// fails is cancelled, its partial file removed and the failure counted; the error is then the cancel's.
std::int32_t downloadItem(Program& program, const TransferJob& job, EdsDirectoryItemRef item, int number,
                          const std::string& extension);

} // namespace orvex
