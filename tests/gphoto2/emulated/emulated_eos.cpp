// A camera module for libgphoto2 that plays a Canon EOS body, so that tests reach the real library and
// the production code unchanged. It copies what libgphoto2 2.5.30's own EOS driver (camlibs/ptp2) shows a
// program: widget names and labels, refusals and their codes and texts, captures to memory as
// "/captNNNN.*", card files under DCIM, pending events thrown away at a trigger and while it focuses, bulb
// through "eosremoterelease" and "bulb", the auto power-off warning, a body going as failing calls, preview
// frames, and "busy" while exposing. Every label and named choice is translated through the library's own
// catalogue in the calling thread's locale, and taken back the way the library does. Re-check it when the
// library changes.
//
// Environment:
//   ORVEX_EMULATED_FAULTS  comma-separated switches, each a name or NAME=N; kFaults below lists them all
//   ORVEX_EMULATED_LOG     a file to which every action on the body is appended, one line each
#include "sdk/virtual/picture_files.h"

#include <gphoto2/gphoto2-library.h>
#include <gphoto2/gphoto2-result.h>
#include <gphoto2/gphoto2-setting.h>
#include <libintl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using orvex::virtualcam::Bytes;

struct Model {
    const char* name;
    int product;
    bool liveView;
    const char* serial;
};

// The bodies the port module can show, with their USB product ids.
constexpr Model kModels[] = {
    {"Canon EOS 700D", 0x3272, true, "083021004217"},
    {"Canon EOS 5D Mark III", 0x323a, false, "028021001931"},
};

// The choices the bodies offer, as the library labels them.
const std::vector<std::string> kApertures = {"4",  "4.5", "5",  "5.6", "6.3", "7.1", "8",  "9",
                                             "10", "11",  "13", "14",  "16",  "18",  "20", "22"};
const std::vector<std::string> kSpeeds = {
    "bulb",  "30",    "25",     "20",     "15",     "13",     "10",     "8",      "6",     "5",     "4",
    "3.2",   "2.5",   "2",      "1.6",    "1.3",    "1",      "0.8",    "0.6",    "0.5",   "0.4",   "0.3",
    "1/4",   "1/5",   "1/6",    "1/8",    "1/10",   "1/13",   "1/15",   "1/20",   "1/25",  "1/30",  "1/40",
    "1/50",  "1/60",  "1/80",   "1/100",  "1/125",  "1/160",  "1/200",  "1/250",  "1/320", "1/400", "1/500",
    "1/640", "1/800", "1/1000", "1/1250", "1/1600", "1/2000", "1/2500", "1/3200", "1/4000"};
const std::vector<std::string> kIsos = {"Auto", "100",  "125",  "160",  "200",  "250",   "320",  "400",
                                        "500",  "640",  "800",  "1000", "1250", "1600",  "2000", "2500",
                                        "3200", "4000", "5000", "6400", "8000", "10000", "12800"};
const std::vector<std::string> kFormats = {
    "Large Fine JPEG", "Large Normal JPEG", "Medium Fine JPEG",      "Medium Normal JPEG",
    "Small Fine JPEG", "Small Normal JPEG", "RAW + Large Fine JPEG", "RAW"};
const std::vector<std::string> kFocusModes = {"One Shot", "AI Servo", "AI Focus", "Manual"};
const std::vector<std::string> kDriveModes = {"Single", "Continuous", "Timer 10 sec", "Timer 2 sec"};
const std::vector<std::string> kRemoteRelease = {"None",         "Press Half", "Press Full", "Release Half",
                                                 "Release Full", "Immediate",  "Press 1",    "Press 2",
                                                 "Press 3",      "Release 1",  "Release 2",  "Release 3"};
const std::vector<std::string> kNewRemoteRelease = {"None",          "Press Half AF", "Press Full AF",
                                                    "Press Half MF", "Press Full MF", "Release Half",
                                                    "Release Full",  "Release"};
const std::vector<std::string> kFocusDrive = {"Near 1", "Near 2", "Near 3", "None",
                                              "Far 1",  "Far 2",  "Far 3"};
const std::vector<std::string> kTargets = {"Internal RAM", "Memory card"};
const std::vector<std::string> kAeModes = {"P", "TV", "AV", "Manual", "Bulb"};

// The body is ready for the next release this long after its shutter closes, and announces the pictures
// later, once written out; focusing takes longer than that.
constexpr auto kReadyAfter = std::chrono::milliseconds(1);
constexpr auto kAnnouncedAfter = std::chrono::milliseconds(20);
// Its card takes this many megabytes a second (bytes per microsecond).
constexpr std::size_t kCardMegabytesPerSecond = 80;

struct Pending {
    CameraEventType type;
    Clock::time_point due;
    std::string folder, name;    // FILE_ADDED
    std::string text;            // UNKNOWN
    Bytes bytes;                 // a picture
    int number = 0;              // the picture's count since the session opened
    bool unplugInstead = false;  // the body is unplugged while the library brings the picture over
    bool switchOffAfter = false; // the body switches off once it has handed this over
};

} // namespace

struct _CameraPrivateLibrary {
    const Model* model = nullptr;
    std::map<std::string, std::string> values; // widget name → label
    std::string owner = "";
    std::string battery = "75%";
    long clockOffset = 0; // camera clock (as local seconds) minus the computer's
    bool viewfinder = false, bulbOpen = false, released = false;
    Clock::time_point busyUntil{};
    Clock::time_point openedAt{};
    std::time_t takenAt = 0;
    int exposures = 0, capture = 0, fileNumber = 0, pictures = 0;
    bool gone = false;
    Clock::time_point switchesOffAt = Clock::time_point::max();
    std::deque<Pending> events;
    std::map<std::string, Bytes> card;      // "folder/name" → bytes
    std::map<std::string, int> cardNumbers; // "folder/name" → the picture's count
    int piecesRead = 0, letGos = 0, deletes = 0;
    Clock::time_point writtenAt{}; // the card write of the last exposure ends
    Clock::time_point focusedAt{}; // a focus asked by a half press is found
    // Faults (kFaults)
    bool busy = false, focus = false, previewNotReady = false, dualSlot = false, newReleaseLabels = false,
         noRemoteRelease = false, noBulb = false, everyValue = false, cardFull = false, cardReadOnly = false,
         noCard = false, lateCardNews = false, busyWhileWriting = false, noFocusEvent = false,
         movingPreview = false;
    std::map<std::string, std::string> refused; // widget → the label the body refuses
    std::string pullAt;                         // the body is pulled out as it is asked to set this
    int shutdownAt = 0, soonShutdownAt = 0, unplugAt = 0, unplugInDownloadAt = 0, failDownloadAt = 0;
    int previews = 0, previewsAsked = 0, busyPreviewAt = 0;
    int rawMegabytes = 0;           // RAW files padded to this size, as a full-frame body's are
    int linkMegabytesPerSecond = 0; // 0: bytes cross at once
    int cardRemovedInReadAt = 0, shutdownInReadAt = 0;
    int busyPieceAt = 0, refusedLetGos = 0, failedDeletes = 0, cardFullAt = 0, focusMs = 50, emptyFileAt = 0;
    int openMs = 0; // how long the body takes to open its session
};

namespace {

using Body = _CameraPrivateLibrary;

// A text the body announces, as the library hands over what it does not decode.
void announce(Body& b, const std::string& text, Clock::time_point due = Clock::now()) {
    b.events.push_back(Pending{GP_EVENT_UNKNOWN, due, "", "", text, {}});
}

// A failure the library explains in words, which the program reads back as the last error text.
int fail(GPContext* context, int result, const std::string& words) {
    gp_context_error(context, "%s", words.c_str());
    return result;
}

constexpr const char* kNoFocus = "Canon EOS Capture failed to release: Perhaps no focus?";

void note(const std::string& line) {
    const char* path = std::getenv("ORVEX_EMULATED_LOG");
    if (!path || !*path) return;
    // Stamped before the file is opened: benchmarks time the call, not the log.
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch());
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%lld %s\n", static_cast<long long>(ns.count()), line.c_str());
        std::fclose(f);
    }
}

// A label as the library's EOS driver shows it: through its catalogue, in the calling thread's locale.
std::string tr(const std::string& english) {
    return dgettext("libgphoto2-6", english.c_str());
}

// The English choice a written text stands for, none when it stands for none. The library's generic
// tables take their English label too; its own menus (capture target, remote release, focus drive) only
// the translated one.
std::string choiceOf(const std::vector<std::string>& choices, const std::string& text, bool english) {
    for (const std::string& c : choices)
        if (tr(c) == text || (english && c == text)) return c;
    return "";
}

// Every switch a test can turn on: a fault is a flag, or a number (the Nth exposure, picture, piece …).
struct Fault {
    const char* name;
    bool Body::*flag;
    int Body::*number;
};

constexpr Fault kFaults[] = {
    // Releases: every one refused as busy; the focus fails; the card is full or locked (the library's own
    // capture says so in words, the remote release refuses with no text at all); no card; the card fills
    // up at the Nth exposure (the body reports 0 available shots), or does and reports it only when it
    // refuses the next release.
    {"busy", &Body::busy, nullptr},
    {"focus", &Body::focus, nullptr},
    {"card-full", &Body::cardFull, nullptr},
    {"card-read-only", &Body::cardReadOnly, nullptr},
    {"no-card", &Body::noCard, nullptr},
    {"card-full-at", nullptr, &Body::cardFullAt},
    {"late-card-news", &Body::lateCardNews, nullptr},
    // Focusing takes N ms (50 by default); the body never reports its focus.
    {"slow-focus", nullptr, &Body::focusMs},
    {"no-focus-event", &Body::noFocusEvent, nullptr},
    // Opening the body takes N ms, as an EOS body answers its first questions slowly.
    {"slow-open", nullptr, &Body::openMs},
    // The first N let-gos of the remote release or the bulb are refused as busy.
    {"refuse-let-go", nullptr, &Body::refusedLetGos},
    // The body switches off 5 ms after handing over the pictures of its Nth exposure; gives its auto
    // power-off
    // warning at the Nth exposure and stays on; is unplugged at the Nth exposure; is unplugged while the
    // library brings over the Nth picture (from the card: as its last piece is read).
    {"shutdown", nullptr, &Body::shutdownAt},
    {"soon-shutdown", nullptr, &Body::soonShutdownAt},
    {"unplug", nullptr, &Body::unplugAt},
    {"unplug-in-download", nullptr, &Body::unplugInDownloadAt},
    // Card files: the Nth picture cannot be read (in memory it is missing, on the card its last piece is
    // refused); the card is taken out or the body switched off as the last piece of the Nth picture is read;
    // the Nth piece read is answered busy once; every piece asked while the body exposes or writes to its
    // card is answered busy; the first N deletes fail; the Nth picture is written to the card empty.
    {"fail-download", nullptr, &Body::failDownloadAt},
    {"card-removed-in-read", nullptr, &Body::cardRemovedInReadAt},
    {"shutdown-in-read", nullptr, &Body::shutdownInReadAt},
    {"busy-piece", nullptr, &Body::busyPieceAt},
    {"busy-while-writing", &Body::busyWhileWriting, nullptr},
    {"fail-delete", nullptr, &Body::failedDeletes},
    {"empty-file", nullptr, &Body::emptyFileAt},
    // RAW files of N MB; a link of N MB/s (a picture taken to memory crosses it inside the event poll that
    // announces it, a card file piece by piece as it is read).
    {"raw-mb", nullptr, &Body::rawMegabytes},
    {"link-mbps", nullptr, &Body::linkMegabytesPerSecond},
    // The body: a JPEG on a second card beside what "imageformat" says (a 5D Mark III recording separately);
    // the remote release's choices of libgphoto2 2.5.34 and later; no remote release at all, as on older
    // bodies, which the library's own capture releases; no "bulb" widget; every aperture, speed and ISO the
    // library names taken, whatever the label.
    {"dual-slot", &Body::dualSlot, nullptr},
    {"new-release-labels", &Body::newReleaseLabels, nullptr},
    {"no-remote-release", &Body::noRemoteRelease, nullptr},
    {"no-bulb", &Body::noBulb, nullptr},
    {"every-value", &Body::everyValue, nullptr},
    // Live view: no frame ready; an object that moves a disc's width from frame to frame; the Nth frame
    // asked is answered busy, as the library does once its own retries are over.
    {"preview-not-ready", &Body::previewNotReady, nullptr},
    {"moving-preview", &Body::movingPreview, nullptr},
    {"busy-preview", nullptr, &Body::busyPreviewAt},
};

// Besides kFaults, settings of the body rather than faults: battery=LABEL, the battery level shown;
// format=LABEL, the "imageformat" the body was left on (any label the library has); mode=LABEL, its mode
// dial; refuse=WIDGET:LABEL, a value the body refuses (0x201c). And a fault named by a text: pull-at=TEXT,
// the body is unplugged as it is asked to set what its log would say, "set iso 100" or its start (once).
void readFaults(Body& b) {
    const char* text = std::getenv("ORVEX_EMULATED_FAULTS");
    const std::string faults = text ? text : "";
    std::size_t start = 0;
    while (start <= faults.size()) {
        const std::size_t end = std::min(faults.find(',', start), faults.size());
        const std::string fault = faults.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = fault.find('=');
        const std::string name = fault.substr(0, equals),
                          value = equals == std::string::npos ? "" : fault.substr(equals + 1);
        if (name == "battery") b.battery = value;
        if (name == "format") b.values["imageformat"] = value;
        if (name == "mode") b.values["autoexposuremode"] = value;
        if (name == "mode" && value == "Bulb") b.values["shutterspeed"] = "bulb"; // as the dial's B reads
        if (name == "pull-at") b.pullAt = value;
        if (name == "refuse" && value.find(':') != std::string::npos)
            b.refused[value.substr(0, value.find(':'))] = value.substr(value.find(':') + 1);
        for (const Fault& f : kFaults) {
            if (name != f.name) continue;
            if (f.flag) b.*f.flag = true;
            if (f.number) b.*f.number = std::atoi(value.c_str());
        }
    }
}

// The exposure a speed label stands for, in microseconds; none for bulb.
long long exposureMicroseconds(const std::string& label) {
    if (label == "bulb") return -1;
    if (label.rfind("1/", 0) == 0) return 1000000LL / std::atoll(label.c_str() + 2);
    return static_cast<long long>(std::atof(label.c_str()) * 1e6);
}

std::string captureTarget() {
    char value[1024] = "";
    char id[] = "ptp2", key[] = "capturetarget";
    if (gp_setting_get(id, key, value) != GP_OK || !*value) return "sdram";
    return value;
}

// The time `bytes` take over the USB cable.
void crossLink(const Body& b, std::size_t bytes) {
    if (b.linkMegabytesPerSecond <= 0) return;
    std::this_thread::sleep_for(std::chrono::microseconds(bytes / b.linkMegabytesPerSecond));
}

std::time_t cameraSeconds(const Body& b) {
    return std::time(nullptr) + b.clockOffset;
}

std::string availableShots(const Body& b) {
    return b.cardFull || b.cardReadOnly || b.noCard ? "0" : "812";
}

// As the library's EOS driver tells a changed property.
std::string availableShotsNews(const Body& b) {
    return "PTP Property d11b changed, \"availableshots\" to \"" + availableShots(b) + "\"";
}

// What one exposure yields: files announced once written, to the library's memory soon after the shutter
// closes, to the card once the card has taken them, one after the other.
void planPictures(Body& b, Clock::time_point closed, long long microseconds) {
    Clock::time_point due = closed + kAnnouncedAfter;
    const bool toMemory = captureTarget() == "sdram";
    const std::string& format = b.values["imageformat"];
    const bool raw = format.rfind("RAW", 0) == 0;
    const bool jpeg = format.find("JPEG") != std::string::npos || b.dualSlot;
    b.fileNumber = b.fileNumber % 9999 + 1;
    std::tm taken{};
    const std::time_t seconds = b.takenAt;
    gmtime_r(&seconds, &taken); // the camera clock keeps local time in seconds since 1970
    orvex::virtualcam::PictureFacts facts{
        b.model->name,
        b.owner,
        b.model->serial,
        EdsTime{static_cast<EdsUInt32>(taken.tm_year + 1900), static_cast<EdsUInt32>(taken.tm_mon + 1),
                static_cast<EdsUInt32>(taken.tm_mday), static_cast<EdsUInt32>(taken.tm_hour),
                static_cast<EdsUInt32>(taken.tm_min), static_cast<EdsUInt32>(taken.tm_sec), 0},
        static_cast<std::uint64_t>(microseconds < 0 ? 0 : microseconds),
        static_cast<unsigned>(std::max(100, std::atoi(b.values["iso"].c_str()))),
        static_cast<unsigned>(b.fileNumber)};
    const auto add = [&](bool isRaw) {
        Pending p{GP_EVENT_FILE_ADDED, due, "", "", "", {}};
        p.unplugInstead = b.pictures + 1 == b.unplugInDownloadAt && toMemory;
        p.number = b.pictures + 1;
        if (++b.pictures != b.failDownloadAt || !toMemory)
            p.bytes = isRaw ? orvex::virtualcam::makeRawPicture(facts, true)
                            : orvex::virtualcam::makeJpegPicture(facts, 160, 120, true);
        if (isRaw && !p.bytes.empty() && p.bytes.size() < b.rawMegabytes * 1000000u)
            p.bytes.resize(b.rawMegabytes * 1000000u);
        if (p.number == b.emptyFileAt) p.bytes.clear();
        if (!toMemory) {
            const auto write = std::chrono::microseconds(p.bytes.size() / kCardMegabytesPerSecond);
            b.writtenAt = std::max(b.writtenAt, closed) + write;
            due = std::max(due, b.writtenAt);
            p.due = due;
        }
        char name[32];
        if (toMemory) {
            std::snprintf(name, sizeof name, "capt%04d.%s", b.capture++, isRaw ? "cr2" : "jpg");
            p.folder = "/";
        } else {
            std::snprintf(name, sizeof name, "IMG_%04d.%s", b.fileNumber, isRaw ? "CR2" : "JPG");
            p.folder = "/store_00020001/DCIM/100CANON";
        }
        p.name = name;
        b.events.push_back(std::move(p));
    };
    if (raw) add(true);
    if (jpeg) add(false);
    if (b.exposures == b.shutdownAt) b.events.back().switchOffAfter = true;
    announce(b, "Camera Status 1", due);
    b.events.push_back(Pending{GP_EVENT_CAPTURE_COMPLETE, due, "", "", "", {}});
    if (b.exposures == b.cardFullAt) {
        b.cardFull = true;
        if (!b.lateCardNews) announce(b, availableShotsNews(b), due);
    }
}

// Gone from USB, as a body that switched off or was unplugged: the port lists it no more.
// Gives back what the call that found it gone answers.
int leaveUsb(Body& b, const char* how, int result = GP_ERROR_IO) {
    b.gone = true;
    if (const char* home = std::getenv("HOME"))
        if (FILE* f = std::fopen((std::string(home) + "/.orvex-emulated-unplugged").c_str(), "w"))
            std::fclose(f);
    note(how);
    return result;
}

// The body is pulled out as it is asked `action` (its log's line, or that line's start) instead of doing it.
bool pulledAt(Body& b, const std::string& action) {
    if (b.pullAt.empty() || !action.starts_with(b.pullAt)) return false;
    b.pullAt.clear();
    leaveUsb(b, "unplugged");
    return true;
}

// True once the body has gone; a body that switched off goes at its moment.
bool gone(Body& b) {
    if (!b.gone && Clock::now() >= b.switchesOffAt) leaveUsb(b, "shutdown");
    return b.gone;
}

// The shutter opens; false when the body went away instead.
bool openShutter(Body& b) {
    ++b.exposures;
    b.takenAt = cameraSeconds(b);
    if (b.exposures == b.unplugAt) {
        leaveUsb(b, "unplugged");
        return false;
    }
    if (b.exposures == b.soonShutdownAt) announce(b, "unhandled EOS event WillSoonShutdown (size 8)");
    return true;
}

// The library fetches what the body has announced so far and throws it away before it releases.
void discardPending(Body& b) {
    const auto now = Clock::now();
    while (!b.events.empty() && b.events.front().due <= now) {
        note("discarded " + b.events.front().name + b.events.front().text);
        b.events.pop_front();
    }
}

// A bulb exposure: the shutter stays open until closeBulb.
int openBulb(Body& b) {
    if (!openShutter(b)) return GP_OK;
    b.bulbOpen = true;
    b.openedAt = Clock::now();
    return GP_OK;
}

int closeBulb(Body& b) {
    if (b.bulbOpen) {
        b.bulbOpen = false;
        const auto open = Clock::now() - b.openedAt;
        planPictures(b, Clock::now(), std::chrono::duration_cast<std::chrono::microseconds>(open).count());
    }
    return GP_OK;
}

int timedExposure(Body& b) {
    const long long us = exposureMicroseconds(b.values["shutterspeed"]);
    if (!openShutter(b)) return GP_OK;
    const auto due = Clock::now() + std::chrono::microseconds(us);
    b.busyUntil = due + kReadyAfter;
    planPictures(b, due, us);
    return GP_OK;
}

// Whether the body takes a release now. The library's own capture explains a refusal by the card; its remote
// release and bulb only log the body's answer and return -1 (or -110 when busy) with no text at all.
int checkReady(Body& b, GPContext* context, bool remote) {
    if (gone(b)) return GP_ERROR_IO;
    if (b.busy || Clock::now() < b.busyUntil || b.bulbOpen) return GP_ERROR_CAMERA_BUSY;
    // Taking pictures to a card it does not have, the body refuses as for a full one; to its memory, it
    // takes them whatever its card.
    if ((b.cardFull || b.cardReadOnly || b.noCard) && captureTarget() == "card") {
        note("refused: card");
        if (std::exchange(b.lateCardNews, false)) announce(b, availableShotsNews(b));
        if (remote) return GP_ERROR;
        return fail(context, GP_ERROR_NO_MEMORY,
                    b.cardReadOnly ? "Canon EOS Capture failed to release: Card read-only?"
                                   : "Canon EOS Capture failed to release: Perhaps no more memory on card?");
    }
    return GP_OK;
}

// A release that focuses first, in the body; a lens set to manual focus does not focus.
int focus(Body& b, GPContext* context) {
    if (b.values["focusmode"] == "Manual") return GP_OK;
    if (b.focus) return fail(context, GP_ERROR, kNoFocus);
    std::this_thread::sleep_for(std::chrono::milliseconds(b.focusMs));
    return GP_OK;
}

// Focusing asked of the body (a half press, or "autofocusdrive"): it starts at once and is reported later as
// an event, found or not, unless the lens is set to manual focus.
void startFocusing(Body& b) {
    if (b.values["focusmode"] == "Manual") return;
    b.focusedAt = Clock::now() + std::chrono::milliseconds(b.focusMs);
    if (b.noFocusEvent) return;
    note("focusing");
    announce(b, b.focus ? "Focus Info 00000200" : "Focus Info 00000001", b.focusedAt);
}

// A let-go the body may refuse as busy, most often at the end of a bulb exposure.
bool letGoRefused(Body& b) {
    if (b.letGos++ >= b.refusedLetGos) return false;
    note("refused let-go");
    return true;
}

// ---- Configuration ----

CameraWidget* widget(CameraWidgetType type, const char* name, const char* label = nullptr) {
    CameraWidget* w = nullptr;
    gp_widget_new(type, tr(label ? label : name).c_str(), &w);
    gp_widget_set_name(w, name);
    return w;
}

// Appended once set: appending clears the "changed" mark that setting a value leaves.
CameraWidget* append(CameraWidget* parent, CameraWidget* w) {
    gp_widget_append(parent, w);
    return w;
}

CameraWidget* section(CameraWidget* parent, const char* name, const char* label) {
    return append(parent, widget(GP_WIDGET_SECTION, name, label));
}

void radio(CameraWidget* parent, const char* name, const std::vector<std::string>& choices,
           const std::string& value, bool readOnly = false) {
    CameraWidget* w = widget(GP_WIDGET_RADIO, name);
    for (const std::string& c : choices) gp_widget_add_choice(w, tr(c).c_str());
    // A value beyond the body's list is offered too, as the library does with the current value.
    if (std::find(choices.begin(), choices.end(), value) == choices.end())
        gp_widget_add_choice(w, tr(value).c_str());
    gp_widget_set_value(w, tr(value).c_str());
    gp_widget_set_readonly(w, readOnly);
    append(parent, w);
}

void text(CameraWidget* parent, const char* name, const std::string& value, bool readOnly = true) {
    CameraWidget* w = widget(GP_WIDGET_TEXT, name);
    gp_widget_set_value(w, value.c_str());
    gp_widget_set_readonly(w, readOnly);
    append(parent, w);
}

void toggle(CameraWidget* parent, const char* name, int value) {
    CameraWidget* w = widget(GP_WIDGET_TOGGLE, name);
    gp_widget_set_value(w, &value);
    append(parent, w);
}

int getConfig(Camera* camera, CameraWidget** window, GPContext*) {
    Body& b = *camera->pl;
    if (gone(b)) return GP_ERROR_IO;
    gp_widget_new(GP_WIDGET_WINDOW, tr("Camera and Driver Configuration").c_str(), window);
    gp_widget_set_name(*window, "main");
    CameraWidget* actions = section(*window, "actions", "Camera Actions");
    if (!b.noBulb) toggle(actions, "bulb", 2); // always reads "changed", as the library's does
    toggle(actions, "uilock", 2);
    toggle(actions, "autofocusdrive", 0);
    if (!b.noRemoteRelease)
        radio(actions, "eosremoterelease", b.newReleaseLabels ? kNewRemoteRelease : kRemoteRelease, "None");
    if (b.model->liveView) {
        toggle(actions, "viewfinder", b.viewfinder ? 1 : 0);
        radio(actions, "manualfocusdrive", kFocusDrive, "None");
        text(actions, "eoszoom", "0", false);
        text(actions, "eoszoomposition", "0,0", false);
    }
    CameraWidget* settings = section(*window, "settings", "Camera Settings");
    CameraWidget* date = widget(GP_WIDGET_DATE, "datetime", "Camera Date and Time");
    // The library turns the camera's local seconds into a real moment with the process's time zone.
    std::tm local{};
    const std::time_t cameraLocal = cameraSeconds(b);
    gmtime_r(&cameraLocal, &local);
    local.tm_isdst = -1;
    const int moment = static_cast<int>(std::mktime(&local));
    gp_widget_set_value(date, &moment);
    append(settings, date);
    radio(settings, "capturetarget", kTargets, captureTarget() == "card" ? "Memory card" : "Internal RAM");
    text(settings, "ownername", b.owner, false);
    CameraWidget* status = section(*window, "status", "Camera Status Information");
    text(status, "serialnumber", "7f0d2b2c4e5a4b9c8d1e2f3a4b5c6d7e");
    text(status, "eosserialnumber", b.model->serial);
    text(status, "manufacturer", "Canon Inc.");
    text(status, "cameramodel", b.model->name);
    text(status, "deviceversion", "3-1.1.4");
    text(status, "batterylevel", b.battery);
    text(status, "lensname", "EF-S18-55mm f/3.5-5.6 IS STM");
    text(status, "availableshots", availableShots(b));
    CameraWidget* image = section(*window, "imgsettings", "Image Settings");
    radio(image, "imageformat", kFormats, b.values["imageformat"]);
    radio(image, "iso", kIsos, b.values["iso"]);
    CameraWidget* capture = section(*window, "capturesettings", "Capture Settings");
    radio(capture, "focusmode", kFocusModes, b.values["focusmode"]);
    radio(capture, "autoexposuremode", kAeModes, b.values["autoexposuremode"], true);
    radio(capture, "drivemode", kDriveModes, b.values["drivemode"]);
    radio(capture, "aperture", kApertures, b.values["aperture"]);
    radio(capture, "shutterspeed", kSpeeds, b.values["shutterspeed"]);
    return GP_OK;
}

// The widgets the body checks against its choices, and the PTP properties behind them.
const std::map<std::string, std::pair<const std::vector<std::string>*, const char*>> kChecked = {
    {"aperture", {&kApertures, "d101"}},
    {"shutterspeed", {&kSpeeds, "d102"}},
    {"iso", {&kIsos, "d103"}},
    {"imageformat", {&kFormats, "d120"}},
    {"focusmode", {&kFocusModes, "d108"}},
    {"drivemode", {&kDriveModes, "d11b"}}};

// The library's tables hold every aperture, speed and ISO of the EOS range, offered by the body or not, and
// it takes back what it shows of a code they lack.
bool libraryKnows(const std::string& widget, const std::string& label) {
    if (label.starts_with("Unknown value ")) return true;
    const auto number = [](const std::string& text) {
        char* end = nullptr;
        return !text.empty() && std::strtod(text.c_str(), &end) > 0 && *end == '\0';
    };
    if (widget == "aperture") return number(label);
    if (widget == "shutterspeed") return number(label.rfind("1/", 0) == 0 ? label.substr(2) : label);
    if (widget == "iso") return number(label) && label.find('.') == std::string::npos;
    return false;
}

// One changed widget, as the library's EOS driver applies it.
int apply(Camera* camera, const std::string& name, CameraWidget* w, GPContext* context) {
    Body& b = *camera->pl;
    int readOnly = 0;
    gp_widget_get_readonly(w, &readOnly);
    if (readOnly) return GP_ERROR_NOT_SUPPORTED;
    CameraWidgetType type;
    gp_widget_get_type(w, &type);
    std::string value;
    int number = 0;
    if (type == GP_WIDGET_TOGGLE || type == GP_WIDGET_DATE) {
        gp_widget_get_value(w, &number);
        value = std::to_string(number);
    } else {
        const char* v = nullptr;
        gp_widget_get_value(w, &v);
        value = v ? v : "";
    }
    if (pulledAt(b, "set " + name + " " + value)) return GP_ERROR_IO;
    note("set " + name + " " + value);
    const auto refuse = [&](const std::string& property) {
        return fail(context, GP_ERROR,
                    "The property '" + name + "' / 0x" + property +
                        " was not set (0x201c: PTP Invalid Device Prop Value)");
    };
    if (const auto it = kChecked.find(name); it != kChecked.end()) {
        const bool exposure = name == "aperture" || name == "shutterspeed" || name == "iso";
        const bool takesAny = b.everyValue && exposure;
        const std::string choice = choiceOf(*it->second.first, value, true);
        // A label the library does not know fails in the library itself; one it knows becomes a code, which
        // the body refuses when it does not offer it.
        if (choice.empty() && !takesAny && !(exposure && libraryKnows(name, value))) return GP_ERROR;
        if (!choice.empty()) value = choice;
        if (b.busyUntil > Clock::now() || b.bulbOpen) return GP_ERROR_CAMERA_BUSY;
        // The mode dial decides which values the program may choose.
        const std::string& mode = b.values["autoexposuremode"];
        const char* property = it->second.second;
        if (name == "shutterspeed" && mode != "Manual" && mode != "TV") return refuse(property);
        if (name == "shutterspeed" && value == "bulb" && mode != "Manual") return refuse(property);
        if (name == "aperture" && mode != "Manual" && mode != "AV" && mode != "Bulb") return refuse(property);
        if ((choice.empty() && !takesAny) || (b.refused.count(name) && b.refused[name] == value))
            return refuse(property);
        b.values[name] = value;
        return GP_OK;
    }
    if (name == "capturetarget") {
        // An unknown text is ignored without an error.
        char id[] = "ptp2", key[] = "capturetarget", ram[] = "sdram", card[] = "card";
        value = choiceOf(kTargets, value, false);
        if (b.refused.count(name) && b.refused[name] == value) return refuse("d11c");
        if (value == "Internal RAM") gp_setting_set(id, key, ram);
        if (value == "Memory card") gp_setting_set(id, key, card);
        return GP_OK;
    }
    if (name == "ownername") {
        b.owner = value;
        return GP_OK;
    }
    if (name == "datetime") {
        // As the library's EOS driver writes it: the moment read as local time, then made seconds again with
        // the process's time zone set to UTC for a while, for every thread.
        std::tm local{};
        const std::time_t moment = number;
        localtime_r(&moment, &local);
        const char* zone = std::getenv("TZ");
        const std::optional<std::string> saved = zone ? std::optional<std::string>(zone) : std::nullopt;
        setenv("TZ", "", 1);
        tzset();
        const std::time_t cameraLocal = std::mktime(&local);
        // Long enough for another thread's clock to be read meanwhile, as a USB exchange would be.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (saved)
            setenv("TZ", saved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        b.clockOffset = static_cast<long>(cameraLocal - std::time(nullptr));
        // What the body shows from now on.
        std::tm shownFields{};
        gmtime_r(&cameraLocal, &shownFields);
        char shown[32];
        std::strftime(shown, sizeof shown, "%Y-%m-%d %H:%M:%S", &shownFields);
        note(std::string("clock ") + shown);
        return GP_OK;
    }
    if (name == "uilock") return GP_OK;
    if (name == "autofocusdrive") {
        if (!number) return GP_OK;
        if (Clock::now() < b.busyUntil || b.bulbOpen) return GP_ERROR_CAMERA_BUSY;
        startFocusing(b);
        return GP_OK;
    }
    if (name == "viewfinder") {
        b.viewfinder = number != 0;
        return GP_OK;
    }
    if (name == "manualfocusdrive") return choiceOf(kFocusDrive, value, false).empty() ? GP_ERROR : GP_OK;
    if (name == "eoszoom") return std::atoi(value.c_str()) > 0 ? GP_OK : GP_ERROR;
    if (name == "eoszoomposition") {
        int x = 0, y = 0;
        return std::sscanf(value.c_str(), "%d,%d", &x, &y) == 2 ? GP_OK : GP_ERROR;
    }
    if (name == "bulb") {
        if (number) {
            if (b.values["shutterspeed"] != "bulb")
                return fail(context, GP_ERROR,
                            "For bulb capture to work, make sure the mode dial is switched to 'M' and set "
                            "'shutterspeed' to 'bulb'.");
            if (const int r = checkReady(b, context, true)) return r;
            discardPending(b);
            return openBulb(b);
        }
        if (b.bulbOpen && letGoRefused(b)) return GP_ERROR_CAMERA_BUSY;
        return closeBulb(b);
    }
    if (name == "eosremoterelease") {
        // Either version's presses of the button, half (focusing) or full, and its letting go.
        value = choiceOf(b.newReleaseLabels ? kNewRemoteRelease : kRemoteRelease, value, false);
        if (value.empty()) return GP_ERROR_NOT_SUPPORTED;
        if (value == "Press 1" || value == "Press Half AF") {
            if (const int r = checkReady(b, context, true)) return r;
            startFocusing(b);
            return GP_OK;
        }
        if (value == "Press Full" || value == "Immediate" || value == "Press Full MF" ||
            value == "Press Full AF" || value == "Press 2") {
            if (b.released) return GP_OK;
            if (const int r = checkReady(b, context, true)) return r;
            // The lens still moves: a body in one-shot focus will not release yet.
            if (Clock::now() < b.focusedAt) {
                note("pressed while focusing");
                return GP_ERROR_CAMERA_BUSY;
            }
            if (value == "Press Full AF")
                if (const int r = focus(b, context)) return r;
            b.released = true;
            return b.values["shutterspeed"] != "bulb" ? timedExposure(b) : openBulb(b);
        }
        if (value == "Release Full" || value == "Release") {
            if ((b.released || b.bulbOpen) && letGoRefused(b)) return GP_ERROR_CAMERA_BUSY;
            b.released = false;
            b.focusedAt = {};
            return closeBulb(b);
        }
        if (value == "Release Half") b.focusedAt = {};
        return GP_OK;
    }
    return GP_ERROR_NOT_SUPPORTED;
}

int applyChanged(Camera* camera, CameraWidget* widget, GPContext* context) {
    const int children = gp_widget_count_children(widget);
    for (int i = 0; i < children; ++i) {
        CameraWidget* child = nullptr;
        gp_widget_get_child(widget, i, &child);
        if (const int r = applyChanged(camera, child, context)) return r;
    }
    CameraWidgetType type;
    gp_widget_get_type(widget, &type);
    if (type == GP_WIDGET_WINDOW || type == GP_WIDGET_SECTION || !gp_widget_changed(widget)) return GP_OK;
    const char* name = nullptr;
    gp_widget_get_name(widget, &name);
    // The first failure ends the call.
    return apply(camera, name ? name : "", widget, context);
}

int setConfig(Camera* camera, CameraWidget* window, GPContext* context) {
    if (gone(*camera->pl)) return GP_ERROR_IO;
    return applyChanged(camera, window, context);
}

// ---- Capture and events ----

// The library's own capture, which the driver uses on a body without "eosremoterelease": it throws away the
// events it holds, then one command focuses and releases in the body; what the body announces meanwhile
// stays for the next poll. (With the remote release, the library would half-press and throw away every
// event until the focus is reported, but the driver presses that widget itself.)
int triggerCapture(Camera* camera, GPContext* context) {
    Body& b = *camera->pl;
    note("trigger");
    if (const int r = checkReady(b, context, false)) return r;
    discardPending(b);
    if (const int r = focus(b, context)) return r;
    if (b.values["shutterspeed"] == "bulb") return fail(context, GP_ERROR, kNoFocus);
    return timedExposure(b);
}

// Hands one announced event over as the library's EOS driver does.
void deliver(Camera* camera, Pending p, CameraEventType* type, void** data) {
    *type = p.type;
    if (p.type == GP_EVENT_UNKNOWN) {
        *data = strdup(p.text.c_str());
    } else if (p.type == GP_EVENT_FILE_ADDED) {
        auto* path = static_cast<CameraFilePath*>(std::calloc(1, sizeof(CameraFilePath)));
        std::snprintf(path->folder, sizeof path->folder, "%s", p.folder.c_str());
        std::snprintf(path->name, sizeof path->name, "%s", p.name.c_str());
        *data = path;
        if (p.folder == "/") {
            // Brought over at once into the library's memory, as the EOS driver does.
            gp_filesystem_append(camera->fs, "/", p.name.c_str(), nullptr);
            if (!p.bytes.empty()) {
                CameraFile* file = nullptr;
                gp_file_new(&file);
                gp_file_append(file, reinterpret_cast<const char*>(p.bytes.data()), p.bytes.size());
                gp_filesystem_set_file_noop(camera->fs, "/", p.name.c_str(), GP_FILE_TYPE_NORMAL, file,
                                            nullptr);
                gp_file_unref(file);
            }
        } else {
            camera->pl->cardNumbers[p.folder + "/" + p.name] = p.number;
            camera->pl->card[p.folder + "/" + p.name] = std::move(p.bytes);
            // Listed where the library lists what the body reports on its card.
            gp_filesystem_append(camera->fs, p.folder.c_str(), p.name.c_str(), nullptr);
        }
        note("file " + p.folder + (p.folder == "/" ? "" : "/") + p.name);
    }
}

int waitForEvent(Camera* camera, int timeout, CameraEventType* type, void** data, GPContext* context) {
    Body& b = *camera->pl;
    *data = nullptr;
    *type = GP_EVENT_TIMEOUT;
    // What the library's poll of a body that has just switched off says.
    if (!b.gone && gone(b))
        return fail(context, GP_ERROR, "Canon EOS Get Changes failed (0x02ff: PTP I/O Error)");
    if (b.gone) return GP_ERROR_IO;
    const auto until = Clock::now() + std::chrono::milliseconds(timeout);
    for (;;) {
        const auto now = Clock::now();
        if (!b.events.empty() && b.events.front().due <= now) break;
        if (now >= until) return GP_OK;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Pending p = std::move(b.events.front());
    b.events.pop_front();
    if (p.unplugInstead) return leaveUsb(b, "unplugged");
    if (p.switchOffAfter) b.switchesOffAt = Clock::now() + std::chrono::milliseconds(5);
    // The library brings a picture taken to memory over before it announces it.
    if (p.type == GP_EVENT_FILE_ADDED && p.folder == "/") crossLink(b, p.bytes.size());
    deliver(camera, std::move(p), type, data);
    return GP_OK;
}

int capturePreview(Camera* camera, CameraFile* file, GPContext* context) {
    Body& b = *camera->pl;
    if (gone(b)) return GP_ERROR_IO;
    if (!b.model->liveView) return GP_ERROR_NOT_SUPPORTED;
    const bool answeredBusy = ++b.previewsAsked == b.busyPreviewAt;
    if (Clock::now() < b.busyUntil || b.bulbOpen || answeredBusy) return GP_ERROR_CAMERA_BUSY;
    b.viewfinder = true;
    if (b.previewNotReady) return fail(context, GP_ERROR, "Canon EOS Get Viewfinder Image failed");
    orvex::virtualcam::LiveViewShot shot;
    shot.sensorWidth = 5184;
    shot.sensorHeight = 3456;
    shot.width = shot.sensorWidth;
    shot.height = shot.sensorHeight;
    shot.objectX = shot.sensorWidth / 2.0 + (b.movingPreview ? 400.0 * (b.previews++ % 4) : 0);
    shot.objectY = shot.sensorHeight / 2.0;
    shot.objectRadius = 180;
    const Bytes frame = orvex::virtualcam::renderLiveView(shot);
    gp_file_set_mime_type(file, GP_MIME_JPEG);
    gp_file_set_name(file, "capture_preview.jpg");
    return gp_file_append(file, reinterpret_cast<const char*>(frame.data()), frame.size());
}

int getFile(CameraFilesystem*, const char* folder, const char* name, CameraFileType, CameraFile* file,
            void* data, GPContext*) {
    Body& b = *static_cast<Camera*>(data)->pl;
    if (gone(b)) return GP_ERROR_IO;
    const auto it = b.card.find(std::string(folder) + "/" + name);
    // A picture that could not be read off the sensor never made it into memory.
    if (it == b.card.end() || it->second.empty()) return GP_ERROR_CORRUPTED_DATA;
    crossLink(b, it->second.size());
    return gp_file_append(file, reinterpret_cast<const char*>(it->second.data()), it->second.size());
}

// One GetPartialObject transaction, as the library's read_file_func makes it.
int readFile(CameraFilesystem*, const char* folder, const char* name, CameraFileType type, uint64_t offset,
             char* buf, uint64_t* size, void* data, GPContext* context) {
    Body& b = *static_cast<Camera*>(data)->pl;
    if (gone(b)) return GP_ERROR_IO;
    if (type != GP_FILE_TYPE_NORMAL) return GP_ERROR_NOT_SUPPORTED;
    const std::string path = std::string(folder) + "/" + name;
    const auto it = b.card.find(path);
    if (it == b.card.end())
        return fail(context, GP_ERROR_BAD_PARAMETERS, "File '" + path + "' does not exist.");
    const int number = b.cardNumbers[path];
    const Bytes& bytes = it->second;
    // The body answers busy (0x2019, which the library turns into -110) while it exposes or writes.
    const bool writing = b.bulbOpen || Clock::now() < std::max(b.busyUntil, b.writtenAt);
    if (++b.piecesRead == b.busyPieceAt || (b.busyWhileWriting && writing)) {
        note("busy piece " + path + " " + std::to_string(offset));
        return GP_ERROR_CAMERA_BUSY;
    }
    *size = offset >= bytes.size() ? 0 : std::min<uint64_t>(*size, bytes.size() - offset);
    // Faults come with the last piece, after the others have come over.
    if (offset + *size >= bytes.size()) {
        if (number == b.unplugInDownloadAt) return leaveUsb(b, "unplugged");
        if (number == b.shutdownInReadAt) return leaveUsb(b, "shutdown", GP_ERROR_IO_READ);
        if (number == b.cardRemovedInReadAt) {
            b.card.clear();
            b.noCard = true;
            announce(b, availableShotsNews(b));
            note("card removed");
            return fail(context, GP_ERROR, "PTP Store Not Available");
        }
        if (number == b.failDownloadAt) return fail(context, GP_ERROR, "PTP Access Denied");
    }
    crossLink(b, *size);
    if (*size) std::memcpy(buf, bytes.data() + offset, *size);
    note("read " + path + " " + std::to_string(offset));
    return GP_OK;
}

int fileInfo(CameraFilesystem*, const char* folder, const char* name, CameraFileInfo* info, void* data,
             GPContext*) {
    Body& b = *static_cast<Camera*>(data)->pl;
    if (gone(b)) return GP_ERROR_IO;
    const auto it = b.card.find(std::string(folder) + "/" + name);
    if (it == b.card.end()) return GP_ERROR_FILE_NOT_FOUND;
    *info = CameraFileInfo{};
    info->file.fields = GP_FILE_INFO_SIZE;
    info->file.size = it->second.size();
    return GP_OK;
}

// The card, as the library's storage_info_func reports it: a body without a card reports none.
int storageInfo(CameraFilesystem*, CameraStorageInformation** out, int* count, void* data, GPContext*) {
    Body& b = *static_cast<Camera*>(data)->pl;
    if (gone(b)) return GP_ERROR_IO;
    *out = nullptr;
    *count = 0;
    if (b.noCard) return GP_OK;
    auto* info = static_cast<CameraStorageInformation*>(std::calloc(1, sizeof(CameraStorageInformation)));
    info->fields =
        static_cast<CameraStorageInfoFields>(GP_STORAGEINFO_BASE | GP_STORAGEINFO_ACCESS |
                                             GP_STORAGEINFO_MAXCAPACITY | GP_STORAGEINFO_FREESPACEKBYTES);
    std::snprintf(info->basedir, sizeof info->basedir, "/store_00020001");
    info->access = b.cardReadOnly ? GP_STORAGEINFO_AC_READONLY : GP_STORAGEINFO_AC_READWRITE;
    info->capacitykbytes = 31250000;
    info->freekbytes = b.cardFull ? 0 : 30000000;
    *out = info;
    *count = 1;
    return GP_OK;
}

int deleteFile(CameraFilesystem*, const char* folder, const char* name, void* data, GPContext*) {
    Body& b = *static_cast<Camera*>(data)->pl;
    if (gone(b)) return GP_ERROR_IO;
    if (b.deletes++ < b.failedDeletes) {
        note(std::string("delete failed ") + folder + "/" + name);
        return GP_ERROR;
    }
    note(std::string("delete ") + folder + (std::string(folder) == "/" ? "" : "/") + name);
    // Files of a capture to memory live only in the library.
    if (std::strncmp(name, "capt", 4) == 0) return GP_OK;
    b.card.erase(std::string(folder) + "/" + name);
    return GP_OK;
}

// The folders or files directly in `folder`, from what is on the card.
int listCard(const char* folder, CameraList* list, void* data, bool folders) {
    const Body& b = *static_cast<Camera*>(data)->pl;
    if (b.gone) return GP_ERROR_IO;
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    std::vector<std::string> names;
    for (const auto& [path, bytes] : b.card) {
        if (path.rfind(prefix, 0) != 0) continue;
        const std::string rest = path.substr(prefix.size());
        const std::size_t slash = rest.find('/');
        if ((slash != std::string::npos) != folders) continue;
        const std::string name = rest.substr(0, slash);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    for (const std::string& name : names) gp_list_append(list, name.c_str(), nullptr);
    return GP_OK;
}

int cameraExit(Camera* camera, GPContext*) {
    note("exit");
    delete camera->pl;
    camera->pl = nullptr;
    return GP_OK;
}

CameraFilesystemFuncs fileFunctions() {
    CameraFilesystemFuncs f{};
    f.file_list_func = [](CameraFilesystem*, const char* folder, CameraList* list, void* data, GPContext*) {
        return listCard(folder, list, data, false);
    };
    f.folder_list_func = [](CameraFilesystem*, const char* folder, CameraList* list, void* data, GPContext*) {
        return listCard(folder, list, data, true);
    };
    f.get_file_func = getFile;
    f.read_file_func = readFile;
    f.get_info_func = fileInfo;
    f.storage_info_func = storageInfo;
    f.del_file_func = deleteFile;
    return f;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int camera_id(CameraText* id) {
    std::snprintf(id->text, sizeof id->text, "orvex-emulated-eos");
    return GP_OK;
}

__attribute__((visibility("default"))) int camera_abilities(CameraAbilitiesList* list) {
    for (const Model& m : kModels) {
        CameraAbilities a{};
        std::snprintf(a.model, sizeof a.model, "%s", m.name);
        a.status = GP_DRIVER_STATUS_PRODUCTION;
        a.port = GP_PORT_USB;
        a.usb_vendor = 0x04a9;
        a.usb_product = m.product;
        a.operations = static_cast<CameraOperation>(GP_OPERATION_CONFIG | GP_OPERATION_TRIGGER_CAPTURE |
                                                    (m.liveView ? GP_OPERATION_CAPTURE_PREVIEW : 0));
        a.file_operations = GP_FILE_OPERATION_DELETE;
        a.folder_operations = GP_FOLDER_OPERATION_NONE;
        a.device_type = GP_DEVICE_STILL_CAMERA;
        gp_abilities_list_append(list, a);
    }
    return GP_OK;
}

__attribute__((visibility("default"))) int camera_init(Camera* camera, GPContext*) {
    CameraAbilities a;
    gp_camera_get_abilities(camera, &a);
    auto* b = new Body;
    for (const Model& m : kModels)
        if (std::strcmp(m.name, a.model) == 0) b->model = &m;
    if (!b->model) b->model = &kModels[0];
    b->values = {{"aperture", "5.6"},           {"shutterspeed", "1/125"}, {"iso", "400"},
                 {"imageformat", "RAW"},        {"focusmode", "Manual"},   {"drivemode", "Single"},
                 {"autoexposuremode", "Manual"}};
    readFaults(*b);
    camera->pl = b;
    camera->functions->exit = cameraExit;
    camera->functions->get_config = getConfig;
    camera->functions->set_config = setConfig;
    camera->functions->trigger_capture = triggerCapture;
    camera->functions->wait_for_event = waitForEvent;
    camera->functions->capture_preview = capturePreview;
    static CameraFilesystemFuncs functions = fileFunctions();
    note(std::string("init ") + b->model->name);
    std::this_thread::sleep_for(std::chrono::milliseconds(b->openMs));
    return gp_filesystem_set_funcs(camera->fs, &functions, camera);
}

} // extern "C"
