#include "sdk/gphoto2/gphoto_body.h"

#include "platform/time_zone.h"
#include "sdk/gphoto2/body_clock.h"
#include "sdk/gphoto2/gphoto_errors.h"
#include "sdk/gphoto2/gphoto_events.h"
#include "sdk/gphoto2/gphoto_item.h"
#include "sdk/gphoto2/gphoto_labels.h"
#include "sdk/gphoto2/library_lock.h"
#include "sdk/gphoto2/sensor_grid.h"

#include <gphoto2/gphoto2-file.h>
#include <gphoto2/gphoto2-filesys.h>
#include <gphoto2/gphoto2-result.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <shared_mutex>
#include <thread>

namespace orvex::gphoto {
namespace {

using Clock = std::chrono::steady_clock;

// The remote release's choices that press the button all the way without focusing and let it go again, then
// the half press that focuses and the full press over it. libgphoto2 up to 2.5.33 names them the first way
// ("Press 1" is its half press with AF, "Press 2" its full press); later versions the second, where the full
// press without focusing, pressed over the half press, keeps the focus found.
constexpr ReleaseLabels kReleaseLabels[] = {{"Press Full", "Release Full", "Press 1", "Press 2"},
                                            {"Press Full MF", "Release", "Press Half AF", "Press Full MF"}};

// How often an idle body is asked for its events: each asking is one exchange on the USB cable.
constexpr unsigned kEventPollMs = 20;
// Enough to empty what one shot announces; the rest waits for the next round.
constexpr int kEventsPerRound = 64;
// A piece of a picture coming over from the card: one transaction, which a release due meanwhile waits
// for (some 20 ms on USB 2.0). Half what the library reads at once, for the margin.
constexpr std::uint64_t kPieceBytes = 512 * 1024;
// The pieces give way to the program's calls, which come in series (a shot's settings, then its release),
// for this long after each; but never stop for longer than the second, or live view would starve them.
constexpr auto kPieceGivesWay = std::chrono::milliseconds(10);
constexpr auto kPieceWaitsAtMost = std::chrono::milliseconds(60);
// From a shot's first call to its release no piece starts; a shot that ends without a release (a refusal,
// a cable) frees them after this long.
constexpr auto kShotHoldsPiecesAtMost = std::chrono::seconds(2);
// A piece the body answers busy (it exposes or writes to its card) is asked again after a pause that grows
// to the longest; a picture it keeps refusing for as long as the program waits for a picture is given up.
constexpr auto kBusyPieceFirstPause = std::chrono::milliseconds(5);
constexpr auto kBusyPieceLongestPause = std::chrono::milliseconds(200);
constexpr auto kBusyPieceGivesUp = std::chrono::seconds(12);
// A let-go answered busy is asked again after 25, 50 … 800 ms (kLetGoTries in all): 1.6 s, longer than a
// body takes to finish writing a bulb exposure's first picture.
constexpr auto kLetGoFirstPause = std::chrono::milliseconds(25);
// Past those, the let-go is owed: asked again this often, once each time, while the body has nothing else to
// do, until it takes it. A body left pressed would go on exposing, or shooting in continuous drive.
constexpr auto kOwedLetGoEvery = std::chrono::milliseconds(100);
// As the session ends there is no later: a let-go the body still refuses is asked that often for this long.
constexpr auto kLetGoAtCloseAtMost = std::chrono::seconds(10);
// A card file the body would not delete is asked again after this long.
constexpr auto kForgetAgainAfter = std::chrono::seconds(1);
// The library's own capture waits this long for the body to report its focus.
constexpr auto kFocusWait = std::chrono::seconds(2);
// The room a card needs to take pictures for the computer: a few RAW files, as each leaves it once stored.
constexpr std::uint64_t kCardRoomKb = 200 * 1000;

template <class T> const T* valueAs(const sdk::PropertyValue& value) {
    return std::get_if<T>(&value);
}

bool validTime(const EdsTime& t) {
    return t.year >= 1970 && t.year <= 2037 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

// "100%", "75%" … or "Low".
std::optional<EdsUInt32> batteryPercent(const std::string& text) {
    if (text == "Low") return 10;
    unsigned percent = 0;
    char sign = 0;
    if (std::sscanf(text.c_str(), "%u%c", &percent, &sign) == 2 && sign == '%' && percent <= 100)
        return percent;
    return std::nullopt;
}

} // namespace

GphotoBody::GphotoBody(std::shared_ptr<sdk::CameraEventSink> events) : events_(std::move(events)) {
    owner_ = std::make_unique<OwnerThread>([this] { return idle(); });
}

GphotoBody::~GphotoBody() {
    owner_.reset();
    abandonIncoming(EDS_ERR_SESSION_NOT_OPEN);
}

template <class Fn> EdsError GphotoBody::run(Fn&& fn) {
    return owner_->call([&]() -> EdsError {
        std::lock_guard guard(libraryLock());
        if (gone_ || !session_.isOpen()) return EDS_ERR_COMM_DISCONNECTED;
        session_.forgetExplanation();
        EdsError error = fn();
        const std::string& said = session_.explanation();
        if (error && saysGone(said)) error = EDS_ERR_COMM_DISCONNECTED;
        explanation_ = error ? said : std::string();
        if (isGone(error)) lost();
        lastCall_ = Clock::now();
        return error;
    });
}

std::string GphotoBody::explanation() {
    return owner_->call([&] { return explanation_; });
}

EdsError GphotoBody::open(const CameraAbilities& abilities, const std::string& port) {
    return owner_->call([&]() -> EdsError {
        std::lock_guard guard(libraryLock());
        model_ = abilities.model;
        const int r = session_.open(abilities, port);
        if (r < GP_OK) return edsError(r) == EDS_ERR_INTERNAL_ERROR ? EDS_ERR_DEVICE_NOT_FOUND : edsError(r);
        std::vector<std::string> choices;
        session_.readChoices("eosremoterelease", choices);
        const auto offered = [&](const char* label) {
            return std::find(choices.begin(), choices.end(), label) != choices.end();
        };
        for (const ReleaseLabels& labels : kReleaseLabels)
            if (offered(labels.press) && offered(labels.letGo)) release_ = &labels;
        return EDS_ERR_OK;
    });
}

void GphotoBody::close() {
    owner_->call([&] {
        std::lock_guard guard(libraryLock());
        if (!gone_ && session_.isOpen()) {
            closeBulb();
            letGo();
            // There is no later: left pressed, the body would expose on, or shoot on in continuous drive.
            for (const auto until = Clock::now() + kLetGoAtCloseAtMost;
                 (bulbOpen_ || releaseHeld_) && Clock::now() < until;) {
                std::this_thread::sleep_for(kOwedLetGoEvery);
                closeBulb(1);
                letGo(1);
            }
            if (evfOutput_ & kEdsEvfOutputDevice_PC) session_.writeInt("viewfinder", 0);
            forgetStored();
        }
        abandonIncoming(EDS_ERR_SESSION_NOT_OPEN);
        bulbOpen_ = releaseHeld_ = letGoOwed_ = false;
        session_.close();
    });
}

void GphotoBody::lost() {
    if (gone_) return;
    gone_ = true;
    // A body switched off or unplugged lets go of everything.
    bulbOpen_ = releaseHeld_ = letGoOwed_ = false;
    // Each picture still on its way is counted as not downloaded.
    abandonIncoming(EDS_ERR_COMM_DISCONNECTED);
    events_->stateEvent(kEdsStateEvent_Shutdown, 0);
}

void GphotoBody::abandonIncoming(EdsError error) {
    for (Incoming& file : incoming_) file.picture->failed(error);
    incoming_.clear();
}

// ---- Pictures coming over from the card ----

void GphotoBody::beginShot() {
    shotUntil_ = (Clock::now() + kShotHoldsPiecesAtMost).time_since_epoch().count();
}

// No call of the program's in hand or in a series, no shot under way: the moment for work that can wait.
bool GphotoBody::quiet(Clock::time_point now) const {
    return now >= lastCall_ + kPieceGivesWay && now >= Clock::time_point(Clock::duration(shotUntil_));
}

unsigned GphotoBody::idle() {
    std::lock_guard guard(libraryLock());
    if (gone_ || !session_.isOpen()) return kEventPollMs;
    const auto now = Clock::now();
    if (quiet(now) && now >= nextForget_) forgetStored();
    if (letGoOwed_ && now >= nextLetGo_) {
        nextLetGo_ = now + kOwedLetGoEvery;
        closeBulb(1);
        letGo(1);
        letGoOwed_ = bulbOpen_ || releaseHeld_;
    }
    if (incoming_.empty() || now >= nextPoll_) {
        readEvents();
        nextPoll_ = now + std::chrono::milliseconds(kEventPollMs);
    }
    // Let go by the program: it stops coming, and whoever still waits for it is told.
    while (!incoming_.empty() && incoming_.front().picture->unwanted()) {
        incoming_.front().picture->failed(EDS_ERR_OPERATION_CANCELLED);
        incoming_.pop_front();
    }
    if (gone_ || incoming_.empty()) return kEventPollMs;
    // A shot's calls go first, from the first to its release.
    if (now < Clock::time_point(Clock::duration(shotUntil_))) return kPieceGivesWay.count();
    const auto calm = lastCall_ + kPieceGivesWay;
    if (now < calm && now < lastPiece_ + kPieceWaitsAtMost)
        return static_cast<unsigned>(std::chrono::ceil<std::chrono::milliseconds>(calm - now).count());
    if (now < retryPiece_)
        return static_cast<unsigned>(std::chrono::ceil<std::chrono::milliseconds>(retryPiece_ - now).count());
    readPiece();
    lastPiece_ = Clock::now();
    return 0;
}

EdsError GphotoBody::readFailure(int result) {
    const EdsError error = edsError(result, Asked::Download);
    return saysGone(session_.explanation()) ? EDS_ERR_COMM_DISCONNECTED : error;
}

void GphotoBody::readPiece() {
    Incoming& file = incoming_.front();
    const CardPicture& picture = *file.picture;
    session_.forgetExplanation();
    const auto failed = [&](EdsError error) {
        file.picture->failed(error);
        incoming_.pop_front();
        if (isGone(error)) lost();
    };
    const std::size_t have = file.bytes.size();
    std::uint64_t size = std::min<std::uint64_t>(kPieceBytes, picture.size - have);
    file.bytes.resize(have + static_cast<std::size_t>(size));
    const int r =
        gp_camera_file_read(session_.camera(), picture.folder.c_str(), picture.name.c_str(),
                            GP_FILE_TYPE_NORMAL, have, file.bytes.data() + have, &size, session_.context());
    file.bytes.resize(have + static_cast<std::size_t>(r < GP_OK ? 0 : size));
    // Busy while it exposes or writes to its card, which is when the next shot comes: asked again, later.
    if (r == GP_ERROR_CAMERA_BUSY) {
        const auto now = Clock::now();
        // A body that exposes is busy for as long as the exposure and its dark frame last, however long: the
        // picture is given up only once it stays busy past them. One that holds on after the program let go
        // has no such excuse.
        const bool held = (bulbOpen_ || releaseHeld_) && !letGoOwed_;
        if (file.busySince == Clock::time_point{} || held || now < exposedUntil_) file.busySince = now;
        if (now - file.busySince >= kBusyPieceGivesUp) return failed(EDS_ERR_DEVICE_BUSY);
        file.backOff = std::min<std::chrono::milliseconds>(
            kBusyPieceLongestPause, file.backOff.count() ? file.backOff * 2 : kBusyPieceFirstPause);
        retryPiece_ = now + file.backOff;
        return;
    }
    if (r < GP_OK) return failed(readFailure(r));
    file.busySince = {};
    file.backOff = {};
    if (file.bytes.size() < picture.size && size != 0) return;
    if (file.bytes.size() != picture.size) return failed(EDS_ERR_INCOMPLETE_TRANSFER);
    file.picture->arrived(std::move(file.bytes));
    incoming_.pop_front();
}

// Announced at once, with the size the body tells: the program counts it and goes on with its script while
// the bytes come over.
void GphotoBody::cardPictureAdded(const std::string& folder, const std::string& name) {
    CameraFileInfo info{};
    session_.forgetExplanation();
    const int r =
        gp_camera_file_get_info(session_.camera(), folder.c_str(), name.c_str(), &info, session_.context());
    const bool sized = r >= GP_OK && (info.file.fields & GP_FILE_INFO_SIZE);
    auto picture = std::make_shared<CardPicture>(folder, name, sized ? info.file.size : 0);
    events_->objectEvent(kEdsObjectEvent_DirItemRequestTransfer,
                         std::make_shared<GphotoItem>(weak_from_this(), picture));
    // The library always tells a card file's size; a file without one, or an empty one, is no picture to
    // bring over, and it stays on the card.
    if (r < GP_OK || picture->size == 0) {
        const EdsError error = r < GP_OK ? readFailure(r) : EDS_ERR_INCOMPLETE_TRANSFER;
        picture->failed(error);
        if (isGone(error)) lost();
        return;
    }
    // Its first piece, too, gives way to the calls that follow the release.
    if (incoming_.empty()) lastPiece_ = Clock::now();
    incoming_.push_back(Incoming{picture, {}});
    incoming_.back().bytes.reserve(static_cast<std::size_t>(picture->size));
}

void GphotoBody::forget(const std::string& folder, const std::string& name) {
    std::lock_guard guard(forgetLock_);
    toForget_.emplace_back(folder, name);
}

void GphotoBody::forgetStored() {
    std::vector<std::pair<std::string, std::string>> files, refused;
    {
        std::lock_guard guard(forgetLock_);
        files.swap(toForget_);
    }
    for (const auto& [folder, name] : files)
        if (gp_camera_file_delete(session_.camera(), folder.c_str(), name.c_str(), session_.context()) <
            GP_OK)
            refused.emplace_back(folder, name);
    if (refused.empty()) return;
    // Asked again a while later, at a quiet moment.
    nextForget_ = Clock::now() + kForgetAgainAfter;
    std::lock_guard guard(forgetLock_);
    toForget_.insert(toForget_.begin(), refused.begin(), refused.end());
}

// A card that is there, writable, with room; what it lacks is kept for the releases that follow.
bool GphotoBody::cardTakesPictures() {
    CameraStorageInformation* storages = nullptr;
    int count = 0;
    if (gp_camera_get_storageinfo(session_.camera(), &storages, &count, session_.context()) < GP_OK)
        return false;
    bool takes = false, locked = count > 0;
    for (int i = 0; i < count; ++i) {
        const CameraStorageInformation& s = storages[i];
        const bool writable = !(s.fields & GP_STORAGEINFO_ACCESS) || s.access == GP_STORAGEINFO_AC_READWRITE;
        const bool room = !(s.fields & GP_STORAGEINFO_FREESPACEKBYTES) || s.freekbytes >= kCardRoomKb;
        takes = takes || (writable && room);
        locked = locked && !writable;
    }
    std::free(storages);
    card_ = takes ? Card::Takes : count == 0 ? Card::Missing : locked ? Card::Locked : Card::Full;
    return takes;
}

bool GphotoBody::hasCard() {
    CameraStorageInformation* storages = nullptr;
    int count = 0;
    // Unknown counts as a card: only a body that lists no storage at all has none.
    if (gp_camera_get_storageinfo(session_.camera(), &storages, &count, session_.context()) < GP_OK)
        return true;
    std::free(storages);
    return count > 0;
}

// The refusal a release to a card that cannot take its picture would meet with no word of why.
EdsError GphotoBody::cardRefusal() {
    if (!throughCard_ && !toCard_) return EDS_ERR_OK;
    if (card_ == Card::Takes) return EDS_ERR_OK;
    return card_ == Card::Locked    ? EDS_ERR_TAKE_PICTURE_CARD_PROTECT_NG
           : card_ == Card::Missing ? EDS_ERR_TAKE_PICTURE_NO_CARD_NG
                                    : EDS_ERR_TAKE_PICTURE_CARD_NG;
}

EdsError GphotoBody::saveTo(EdsUInt32 target) {
    const std::optional<std::string> card = labelOfCode(kEdsPropID_SaveTo, kEdsSaveTo_Camera);
    if (target == kEdsSaveTo_Host) {
        if (throughCard_) return EDS_ERR_OK;
        if (cardTakesPictures() && session_.writeText("capturetarget", *card) >= GP_OK) {
            throughCard_ = cardForComputer_ = true;
            return EDS_ERR_OK;
        }
        session_.forgetExplanation();
        return fallBack();
    }
    const std::optional<std::string> label = labelOfCode(kEdsPropID_SaveTo, target);
    if (!label) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
    throughCard_ = cardForComputer_ = false;
    const EdsError error = edsError(session_.writeText("capturetarget", *label), Asked::Setting);
    toCard_ = !error && target == kEdsSaveTo_Camera;
    if (toCard_) cardTakesPictures();
    return error;
}

// Pictures for the computer through the library's memory from now on, as the library takes them itself.
EdsError GphotoBody::fallBack() {
    throughCard_ = toCard_ = false;
    const std::optional<std::string> memory = labelOfCode(kEdsPropID_SaveTo, kEdsSaveTo_Host);
    const EdsError error = edsError(session_.writeText("capturetarget", *memory), Asked::Setting);
    if (!error && !fallbackTold_) {
        fallbackTold_ = true;
        events_->stateEvent(kEdsStateEvent_PicturesThroughMemory, 0);
    }
    return error;
}

// ---- Events ----

void GphotoBody::readEvents() {
    for (int i = 0; i < kEventsPerRound; ++i) {
        CameraEventType type = GP_EVENT_TIMEOUT;
        void* data = nullptr;
        session_.forgetExplanation();
        const int r = gp_camera_wait_for_event(session_.camera(), 0, &type, &data, session_.context());
        if (r < GP_OK) {
            if (isGone(edsError(r)) || saysGone(session_.explanation())) lost();
            return;
        }
        onEvent(type, data);
        std::free(data);
        if (type == GP_EVENT_TIMEOUT || gone_) return;
    }
}

void GphotoBody::onEvent(int type, void* data) {
    if (type == GP_EVENT_FILE_ADDED && data) {
        const auto* path = static_cast<const CameraFilePath*>(data);
        // Pictures the library took into its memory are in the root folder, those on the card in its folders;
        // those are brought over when they are for the computer, even once later ones come through memory.
        if (std::string(path->folder) != "/" && cardForComputer_)
            return cardPictureAdded(path->folder, path->name);
        if (std::string(path->folder) != "/") {
            events_->objectEvent(kEdsObjectEvent_DirItemCreated,
                                 std::make_shared<GphotoItem>(weak_from_this(), path->folder, path->name));
            return;
        }
        // Read out at once, and the library's copy freed: the body may go the next moment, and the library's
        // memory with its session.
        std::vector<char> bytes;
        const EdsError read = readFile(path->folder, path->name, bytes);
        gp_camera_file_delete(session_.camera(), path->folder, path->name, session_.context());
        events_->objectEvent(kEdsObjectEvent_DirItemRequestTransfer,
                             std::make_shared<GphotoItem>(path->name, std::move(bytes), read));
        return;
    }
    if (type != GP_EVENT_UNKNOWN || !data) return;
    const BodyNews news = readEventText(static_cast<const char*>(data));
    if (news.focusFound) focusFound_ = news.focusFound;
    // The body counts the shots its card still has room for: none, and a release to it would be refused.
    if (news.property == kEdsPropID_AvailableShots && news.value && card_ != Card::Locked &&
        (card_ != Card::Missing || *news.value != "0"))
        card_ = *news.value == "0" ? Card::Full : Card::Takes;
    if (news.property) events_->propertyEvent(kEdsPropertyEvent_PropertyChanged, *news.property, 0);
}

// ---- Properties ----

EdsError GphotoBody::getProperty(EdsPropertyID property, EdsInt32, sdk::PropertyValue& out) {
    return run([&] { return readProperty(property, out); });
}

EdsError GphotoBody::readProperty(EdsPropertyID property, sdk::PropertyValue& out) {
    if (property == kEdsPropID_SaveTo && throughCard_) {
        out = kEdsSaveTo_Host;
        return EDS_ERR_OK;
    }
    std::string text;
    const auto readFirst = [&](std::initializer_list<const char*> widgets) {
        for (const char* widget : widgets)
            if (session_.has(widget)) return edsError(session_.readText(widget, text));
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    };
    if (const char* widget = labelWidget(property)) {
        if (const EdsError e = edsError(session_.readText(widget, text))) return e;
        const std::optional<EdsUInt32> code = codeOfLabel(property, text);
        if (!code) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = *code;
        return EDS_ERR_OK;
    }
    const bool liveView = session_.has("viewfinder");
    switch (property) {
    case kEdsPropID_ProductName:
        if (readFirst({"cameramodel"}) != EDS_ERR_OK) text = model_;
        out = text;
        return EDS_ERR_OK;
    case kEdsPropID_OwnerName:
    case kEdsPropID_FirmwareVersion:
    case kEdsPropID_BodyIDEx: {
        const EdsError e = property == kEdsPropID_OwnerName ? readFirst({"ownername", "artist"})
                           : property == kEdsPropID_FirmwareVersion
                               ? readFirst({"deviceversion"})
                               : readFirst({"eosserialnumber", "serialnumber"});
        if (e) return e;
        out = text;
        return EDS_ERR_OK;
    }
    case kEdsPropID_DateTime: {
        int moment = 0;
        {
            // The library reads it through the time zone, which another body's clock write may change.
            const std::shared_lock zone(timeZoneLock());
            if (const EdsError e = edsError(session_.readInt("datetime", moment))) return e;
        }
        out = wallClockOf(static_cast<std::time_t>(static_cast<unsigned>(moment)));
        return EDS_ERR_OK;
    }
    case kEdsPropID_BatteryLevel: {
        if (const EdsError e = readFirst({"batterylevel"})) return e;
        const std::optional<EdsUInt32> percent = batteryPercent(text);
        if (!percent) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = *percent;
        return EDS_ERR_OK;
    }
    case kEdsPropID_AvailableShots: {
        if (const EdsError e = readFirst({"availableshots"})) return e;
        char* end = nullptr;
        const unsigned long shots = std::strtoul(text.c_str(), &end, 10);
        if (end == text.c_str()) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        // A body with an empty card slot counts no shots left, as with a full card: the SDK's own answer
        // for no card tells them apart.
        out = shots == 0 && !hasCard() ? kEdsAvailableShots_NoCard : static_cast<EdsUInt32>(shots);
        return EDS_ERR_OK;
    }
    case kEdsPropID_LensStatus:
        if (const EdsError e = readFirst({"lensname"})) return e;
        out = EdsUInt32{text.empty() ? 0u : 1u};
        return EDS_ERR_OK;
    case kEdsPropID_Evf_OutputDevice:
    case kEdsPropID_Evf_Mode:
    case kEdsPropID_Evf_AFMode:
    case kEdsPropID_Evf_Zoom:
        if (!liveView) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = property == kEdsPropID_Evf_OutputDevice ? evfOutput_
              : property == kEdsPropID_Evf_Mode       ? evfMode_
              : property == kEdsPropID_Evf_AFMode     ? evfAfMode_
                                                      : zoom_;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_ZoomPosition:
        if (!liveView) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        out = zoomPosition_.value_or(centredZoomArea(sensorGrid(model_)));
        return EDS_ERR_OK;
    default:
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    }
}

EdsError GphotoBody::setProperty(EdsPropertyID property, EdsInt32, const sdk::PropertyValue& value) {
    return run([&] { return writeProperty(property, value); });
}

EdsError GphotoBody::writeProperty(EdsPropertyID property, const sdk::PropertyValue& value) {
    const EdsUInt32* number = valueAs<EdsUInt32>(value);
    if (property == kEdsPropID_SaveTo) return number ? saveTo(*number) : EDS_ERR_INVALID_PARAMETER;
    if (const char* widget = labelWidget(property)) {
        if (!number) return EDS_ERR_INVALID_PARAMETER;
        const std::optional<std::string> label = labelOfCode(property, *number);
        if (!label) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        return edsError(session_.writeText(widget, *label), Asked::Setting);
    }
    const bool liveView = session_.has("viewfinder");
    switch (property) {
    case kEdsPropID_OwnerName: {
        const auto* text = valueAs<std::string>(value);
        if (!text) return EDS_ERR_INVALID_PARAMETER;
        return edsError(session_.writeText(session_.has("ownername") ? "ownername" : "artist", *text),
                        Asked::Setting);
    }
    case kEdsPropID_DateTime: {
        const auto* time = valueAs<EdsTime>(value);
        if (!time) return EDS_ERR_INVALID_PARAMETER;
        if (!validTime(*time)) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        const std::time_t moment = momentShowing(*time);
        // The library sets TZ inside this call: no thread reads local time meanwhile.
        const std::unique_lock zone(timeZoneLock());
        return edsError(session_.writeInt("datetime", static_cast<int>(moment)), Asked::Setting);
    }
    case kEdsPropID_Evf_OutputDevice: {
        if (!liveView) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (!number || *number > 3) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        const bool pc = (*number & kEdsEvfOutputDevice_PC) != 0;
        if (pc != ((evfOutput_ & kEdsEvfOutputDevice_PC) != 0)) {
            if (const EdsError e = edsError(session_.writeInt("viewfinder", pc ? 1 : 0), Asked::Setting))
                return e;
            // Live view that ends takes the body back to its whole frame, and one that starts again is
            // placed again: the body may have moved its area meanwhile. A zoom kept from before would have
            // the window take whole frames for zoomed ones.
            zoom_ = kEdsEvfZoom_Fit;
            zoomPosition_.reset();
        }
        evfOutput_ = *number;
        return EDS_ERR_OK;
    }
    case kEdsPropID_Evf_Mode:
    case kEdsPropID_Evf_AFMode:
        if (!liveView) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (!number || *number > (property == kEdsPropID_Evf_Mode ? 1u : 2u))
            return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        (property == kEdsPropID_Evf_Mode ? evfMode_ : evfAfMode_) = *number;
        return EDS_ERR_OK;
    case kEdsPropID_Evf_Zoom: {
        if (!liveView || !session_.has("eoszoom")) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (!number || (*number != 1 && *number != 5 && *number != 10))
            return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        if (const EdsError e =
                edsError(session_.writeText("eoszoom", std::to_string(*number)), Asked::Setting))
            return e;
        zoom_ = *number;
        return EDS_ERR_OK;
    }
    case kEdsPropID_Evf_ZoomPosition: {
        const auto* point = valueAs<EdsPoint>(value);
        if (!liveView || !session_.has("eoszoomposition")) return EDS_ERR_PROPERTIES_UNAVAILABLE;
        if (!point || point->x < 0 || point->y < 0) return EDS_ERR_INVALID_DEVICEPROP_VALUE;
        const std::string text = std::to_string(point->x) + "," + std::to_string(point->y);
        if (const EdsError e = edsError(session_.writeText("eoszoomposition", text), Asked::Setting))
            return e;
        zoomPosition_ = *point;
        return EDS_ERR_OK;
    }
    case kEdsPropID_ProductName:
    case kEdsPropID_FirmwareVersion:
    case kEdsPropID_BodyIDEx:
    case kEdsPropID_BatteryLevel:
    case kEdsPropID_AvailableShots:
    case kEdsPropID_LensStatus:
        return EDS_ERR_NOT_SUPPORTED;
    default:
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    }
}

EdsError GphotoBody::propertyDesc(EdsPropertyID property, EdsPropertyDesc& out) {
    if (property != kEdsPropID_Av && property != kEdsPropID_Tv && property != kEdsPropID_ISOSpeed)
        return EDS_ERR_PROPERTIES_UNAVAILABLE;
    return run([&]() -> EdsError {
        std::vector<std::string> choices;
        if (const EdsError e = edsError(session_.readChoices(labelWidget(property), choices))) return e;
        out = EdsPropertyDesc{};
        out.access = 1;
        for (const std::string& choice : choices) {
            const std::optional<EdsUInt32> code = codeOfLabel(property, choice);
            if (!code || out.numElements >= static_cast<EdsInt32>(std::size(out.propDesc))) continue;
            const auto end = out.propDesc + out.numElements;
            if (std::find(out.propDesc, end, static_cast<EdsInt32>(*code)) == end)
                out.propDesc[out.numElements++] = static_cast<EdsInt32>(*code);
        }
        return EDS_ERR_OK;
    });
}

// ---- Commands ----

EdsError GphotoBody::sendCommand(EdsCameraCommand command, EdsInt32 param) {
    return run([&] {
        const bool releases =
            command == kEdsCameraCommand_TakePicture || command == kEdsCameraCommand_BulbStart ||
            (command == kEdsCameraCommand_PressShutterButton && param != kEdsCameraCommand_ShutterButton_OFF);
        if (releases) {
            // The shot's calls are done: the pieces may go on once this one is.
            shotUntil_ = 0;
            // A card the body has said is full or locked: its remote release would refuse without a word.
            if (const EdsError refusal = cardRefusal()) {
                if (!throughCard_ || fallBack() != EDS_ERR_OK) return refusal;
                session_.forgetExplanation();
            }
        }
        EdsError error = release(command, param);
        // The remote release refuses without a word of why: the card itself is asked.
        if (releases && error == EDS_ERR_OPERATION_REFUSED && (throughCard_ || toCard_) &&
            !cardTakesPictures())
            error = cardRefusal();
        // A card that fills up, is locked or taken out meanwhile: the pictures come through the library's
        // memory.
        const bool cardRefused = error == EDS_ERR_TAKE_PICTURE_CARD_NG ||
                                 error == EDS_ERR_TAKE_PICTURE_CARD_PROTECT_NG ||
                                 error == EDS_ERR_TAKE_PICTURE_NO_CARD_NG;
        if (!throughCard_ || !cardRefused || fallBack() != EDS_ERR_OK) return error;
        session_.forgetExplanation();
        return release(command, param);
    });
}

EdsError GphotoBody::release(EdsCameraCommand command, EdsInt32 param) {
    // The body has not let go of the last release yet: it takes no other.
    const bool opens =
        command == kEdsCameraCommand_TakePicture || command == kEdsCameraCommand_BulbStart ||
        (command == kEdsCameraCommand_PressShutterButton && param != kEdsCameraCommand_ShutterButton_OFF);
    if (opens && letGoOwed_) return EDS_ERR_DEVICE_BUSY;
    switch (command) {
    case kEdsCameraCommand_TakePicture: {
        if (release_) {
            if (releaseHeld_) return EDS_ERR_DEVICE_BUSY;
            if (const EdsError e = press(true)) return e;
            // The shutter went: a let-go the body still answers busy is owed, not a failed release.
            const EdsError e = letGo();
            exposureTimed();
            return e == EDS_ERR_DEVICE_BUSY ? EDS_ERR_OK : e;
        }
        // The library's trigger throws away every event still pending: a picture announced just before
        // would be lost.
        readEvents();
        if (gone_) return EDS_ERR_COMM_DISCONNECTED;
        const int r = gp_camera_trigger_capture(session_.camera(), session_.context());
        if (r < GP_OK) return releaseError(r, session_.explanation());
        exposureTimed();
        return EDS_ERR_OK;
    }
    case kEdsCameraCommand_BulbStart: {
        if (!session_.has("bulb")) return EDS_ERR_NOT_SUPPORTED;
        if (bulbOpen_) return EDS_ERR_DEVICE_BUSY;
        readEvents();
        if (gone_) return EDS_ERR_COMM_DISCONNECTED;
        // Refused unless the speed is bulb.
        const int r = session_.writeInt("bulb", 1);
        if (r >= GP_OK) {
            bulbOpen_ = true;
            openedAt_ = Clock::now();
        }
        return releaseError(r, session_.explanation());
    }
    case kEdsCameraCommand_BulbEnd:
        if (!session_.has("bulb")) return EDS_ERR_NOT_SUPPORTED;
        // Asked with no bulb open, it only tells that the body knows the command.
        return closeBulb();
    case kEdsCameraCommand_PressShutterButton:
        if (!release_) return EDS_ERR_NOT_SUPPORTED;
        switch (param) {
        case kEdsCameraCommand_ShutterButton_Completely:
        case kEdsCameraCommand_ShutterButton_Completely_NonAF:
            if (releaseHeld_) return EDS_ERR_OK;
            return press(param == kEdsCameraCommand_ShutterButton_Completely);
        case kEdsCameraCommand_ShutterButton_OFF:
            return letGo();
        default:
            return EDS_ERR_INVALID_PARAMETER;
        }
    case kEdsCameraCommand_DoEvfAf:
        if (!session_.has("autofocusdrive")) return EDS_ERR_NOT_SUPPORTED;
        if (param != kEdsCameraCommand_EvfAf_ON && param != kEdsCameraCommand_EvfAf_OFF)
            return EDS_ERR_INVALID_PARAMETER;
        return edsError(session_.writeInt("autofocusdrive", param == kEdsCameraCommand_EvfAf_ON ? 1 : 0),
                        Asked::Release);
    case kEdsCameraCommand_DriveLensEvf: {
        if (!session_.has("manualfocusdrive")) return EDS_ERR_NOT_SUPPORTED;
        const EdsInt32 step = param & 0x7FFF;
        if ((param & ~0x8003) != 0 || step < 1 || step > 3) return EDS_ERR_INVALID_PARAMETER;
        const std::string text = std::string(param & 0x8000 ? "Far " : "Near ") + std::to_string(step);
        return edsError(session_.writeText("manualfocusdrive", text), Asked::Setting);
    }
    default:
        return EDS_ERR_NOT_SUPPORTED;
    }
}

// Through the remote release, whose events stay queued for the next reading (the library's trigger reads
// them away). Its full press never focuses: asked to focus, and unless the lens is set to manual focus, it
// half-presses first and waits for the body to tell its focus, as the library's own capture does. A press is
// held from the moment it is sent: one the body refused may still have caught, and is let go all the same.
EdsError GphotoBody::press(bool focus) {
    bool focused = false;
    if (focus) {
        std::string mode;
        const bool manualFocus = session_.readText(labelWidget(kEdsPropID_AFMode), mode) >= GP_OK &&
                                 codeOfLabel(kEdsPropID_AFMode, mode) == kEdsAFMode_Manual;
        if (!manualFocus) {
            if (const EdsError e = focusFirst()) return e;
            focused = true;
        }
    }
    releaseHeld_ = true;
    openedAt_ = Clock::now();
    const int r = session_.writeText("eosremoterelease", focused ? release_->pressFocused : release_->press);
    const EdsError error = releaseError(r, session_.explanation());
    if (error && !gone_) letGo();
    return error;
}

// A half press, then the body's events until it tells whether it found focus, for as long as the library's
// own capture waits. Found none, or said nothing: the half press is let go, and the shot failed to focus.
EdsError GphotoBody::focusFirst() {
    focusFound_.reset();
    releaseHeld_ = true;
    openedAt_ = Clock::now();
    const int r = session_.writeText("eosremoterelease", release_->focus);
    if (r < GP_OK) {
        const EdsError error = releaseError(r, session_.explanation());
        if (!isGone(error)) letGo();
        return error;
    }
    const auto until = Clock::now() + kFocusWait;
    while (!focusFound_ && !gone_ && Clock::now() < until) {
        readEvents();
        if (!focusFound_) std::this_thread::sleep_for(std::chrono::milliseconds(kEventPollMs / 2));
    }
    if (gone_) return EDS_ERR_COMM_DISCONNECTED;
    if (focusFound_.value_or(false)) return EDS_ERR_OK;
    letGo();
    return EDS_ERR_TAKE_PICTURE_AF_NG;
}

void GphotoBody::exposureTimed() {
    std::string speed;
    if (session_.readText(labelWidget(kEdsPropID_Tv), speed) < GP_OK) return;
    // The library's labels have a decimal point whatever the user's locale: "1/250", "0.3", "30".
    const bool fraction = speed.starts_with("1/");
    double value = 0;
    std::from_chars(speed.data() + (fraction ? 2 : 0), speed.data() + speed.size(), value);
    const double seconds = fraction && value > 0 ? 1 / value : value;
    // Bulb, or a label that is no length: nothing more than the release itself.
    if (!(seconds > 0 && seconds <= 3600)) return;
    const auto exposure = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    exposedUntil_ = std::max(exposedUntil_, Clock::now() + 2 * exposure);
}

void GphotoBody::shutterClosed() {
    const auto now = Clock::now();
    exposedUntil_ = std::max(exposedUntil_, now + (now - openedAt_));
}

int GphotoBody::insist(const std::function<int()>& write, int tries) {
    auto pause = kLetGoFirstPause;
    int r = write();
    for (int tried = 1; r == GP_ERROR_CAMERA_BUSY && tried < tries; ++tried, pause *= 2) {
        std::this_thread::sleep_for(pause);
        session_.forgetExplanation();
        r = write();
    }
    return r;
}

EdsError GphotoBody::letGo(int tries) {
    if (!releaseHeld_) return EDS_ERR_OK;
    const EdsError error =
        edsError(insist([&] { return session_.writeText("eosremoterelease", release_->letGo); }, tries));
    if (!error || isGone(error)) {
        releaseHeld_ = false;
        shutterClosed();
    }
    letGoOwed_ = letGoOwed_ || releaseHeld_;
    return error;
}

EdsError GphotoBody::closeBulb(int tries) {
    if (!bulbOpen_) return EDS_ERR_OK;
    const EdsError error = edsError(insist([&] { return session_.writeInt("bulb", 0); }, tries));
    if (!error || isGone(error)) {
        bulbOpen_ = false;
        shutterClosed();
    }
    letGoOwed_ = letGoOwed_ || bulbOpen_;
    return error;
}

EdsError GphotoBody::sendStatusCommand(EdsCameraStatusCommand command, EdsInt32) {
    if (command != kEdsCameraStatusCommand_UILock && command != kEdsCameraStatusCommand_UIUnLock)
        return EDS_ERR_INVALID_PARAMETER;
    return run([&] {
        // A body without the lock keeps its controls: there is nothing to lock.
        if (!session_.has("uilock")) return EDS_ERR_OK;
        return edsError(session_.writeInt("uilock", command == kEdsCameraStatusCommand_UILock ? 1 : 0));
    });
}

// ---- Live view and files ----

EdsError GphotoBody::downloadEvfImage(sdk::ByteSink& jpeg, sdk::EvfFrameInfo& info) {
    std::vector<char> frame;
    const EdsError error = run([&]() -> EdsError {
        if (!session_.has("viewfinder")) return EDS_ERR_NOT_SUPPORTED;
        CameraFile* file = nullptr;
        if (gp_file_new(&file) < GP_OK) return EDS_ERR_MEM_ALLOC_FAILED;
        int r = gp_camera_capture_preview(session_.camera(), file, session_.context());
        const char* data = nullptr;
        unsigned long size = 0;
        if (r >= GP_OK) r = gp_file_get_data_and_size(file, &data, &size);
        if (r >= GP_OK && data) frame.assign(data, data + size);
        gp_file_unref(file);
        if (r < GP_OK) return edsError(r, Asked::Preview);
        // The library switches the viewfinder on for a preview.
        evfOutput_ |= kEdsEvfOutputDevice_PC;
        const EdsSize grid = sensorGrid(model_);
        // The library cannot tell where the body's zoom area is: the first frame puts it in the middle,
        // where the program then draws it.
        if (!zoomPosition_) {
            const EdsPoint middle = centredZoomArea(grid);
            if (session_.has("eoszoomposition"))
                session_.writeText("eoszoomposition",
                                   std::to_string(middle.x) + "," + std::to_string(middle.y));
            zoomPosition_ = middle;
        }
        info.zoom = zoom_;
        info.zoomPosition = *zoomPosition_;
        info.coordinateSystem = grid;
        return EDS_ERR_OK;
    });
    if (error) return error;
    return jpeg.write(frame.data(), frame.size());
}

EdsError GphotoBody::fetchFile(const std::string& folder, const std::string& name, std::vector<char>& out) {
    return run([&] { return readFile(folder, name, out); });
}

EdsError GphotoBody::readFile(const std::string& folder, const std::string& name, std::vector<char>& out) {
    CameraFile* file = nullptr;
    if (gp_file_new(&file) < GP_OK) return EDS_ERR_MEM_ALLOC_FAILED;
    int r = gp_camera_file_get(session_.camera(), folder.c_str(), name.c_str(), GP_FILE_TYPE_NORMAL, file,
                               session_.context());
    const char* data = nullptr;
    unsigned long size = 0;
    if (r >= GP_OK) r = gp_file_get_data_and_size(file, &data, &size);
    if (r >= GP_OK && data) out.assign(data, data + size);
    gp_file_unref(file);
    return edsError(r, Asked::Download);
}

} // namespace orvex::gphoto
