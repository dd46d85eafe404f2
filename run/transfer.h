#pragma once
// Where the run's pictures go and what the transfer worker is told of the run.
#include "run/program.h"

#include <string>

namespace orvex {

// The script's folder (or the start-up folder), and the program's picture subfolder when it has one.
std::string pictureRoot(const Program& program);
// The picture root followed by the camera name.
std::string pictureFolder(const Program& program);
TransferJob makeTransferJob(const Program& program);
// Starts a drain of the queue; when transfers take no time, returns once it has ended.
void startTransfers(Program& program);
// After the run: a further file of one of its exposures is still downloaded and filed with it, and so is a
// picture owed to the shot it stopped in; false (the item left to the caller) for any other file.
bool downloadLateFile(Program& program, EdsDirectoryItemRef item);
// A picture the body wrote on its card, where the run leaves its pictures: the night log is told.
void logPictureOnCard(const Program& program, EdsDirectoryItemRef item);
// Files every picture still queued under the run it came in, and returns once they are all filed.
void fileQueuedPictures(Program& program);
// The body went during the run, its session not yet closed: the pictures it handed over are filed now, and a
// shot whose picture never came counts as not downloaded.
void fileWhatTheBodyHandedOver(Program& program);

} // namespace orvex
