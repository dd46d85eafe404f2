#include "ui/picture_folder.h"

#include "core/catalogue.h"
#include "platform/files.h"
#include "ui/external_programs.h"

#include <regex>

namespace orvex {
namespace {

enum Message { kConfirm = 36, kErasePictures = 53 };

// Only a picture a camera writes: a raw converter's export or a sidecar given the picture's name beside it
// (.tif, .xmp) is the user's own work.
const std::string kPictureExtension = R"((\.(jpe?g|cr[23w]|hif))?)";
// Any prefix the user may have set in an earlier session, as the names stay after the setting changes.
const std::regex kDatedName(R"((.+_)?\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}_\d{4,})" + kPictureExtension,
                            std::regex::icase);
// A camera names its files with four letters, digits or "_" and four digits (IMG_0001, _MG_0001, img_0001).
const std::regex kUniqueCameraName(R"([A-Za-z0-9_]{4}\d{4}-\d+)" + kPictureExtension, std::regex::icase);

// The folder without its trailing separator, as the browser shows it.
std::string folderPath(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

} // namespace

bool isPictureName(const std::string& name) {
    return std::regex_match(name, kDatedName) || std::regex_match(name, kUniqueCameraName);
}

void openPictureFolder(const std::string& pictureFolder, const std::string& browser, Shell* shell,
                       int language, Window& w) {
    const std::string folder = folderPath(pictureFolder);
    if (!createFolder(folder)) return;
    runExternalProgram(shell, language, w, browser, {folder});
}

void erasePictures(const std::string& folder, int language, Window& w) {
    const auto names = listFolder(folder);
    if (!names) return;
    if (w.messageBox(messageText(language, kConfirm), messageText(language, kErasePictures),
                     BoxIcon::Question, BoxButtons::YesNo) != BoxAnswer::Yes)
        return;
    for (const std::string& name : *names)
        if (isPictureName(name)) removeFile(folder + name);
}

} // namespace orvex
