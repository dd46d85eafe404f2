#pragma once
// One connected libgphoto2 body for the length of a session: its owner thread, the library camera, and
// what the SDK asks of it. Every public member may be called from any thread; the work runs on the owner
// thread under the library lock, and the body's events are read there while it has nothing else to do.
//
// Pictures for the computer are taken to the card when the body has one that takes them, and brought over
// from there one piece at a time between the program's calls: the library would otherwise bring each over
// inside its event poll, in one go, and a release due meanwhile would wait for the whole file. Each picture
// is announced as soon as it is on the card, safe, so that the run can go on while it comes over; it leaves
// the card only once the program has stored it whole, and stays there on any failure. Without such a card the
// pictures come through the library's memory as before, and the body says so once.
//
// A pressed button or an open bulb counts as held until the body has accepted its let-go: real bodies answer
// a let-go busy at times, most often at the end of a bulb exposure, and such a button is asked again, in the
// call and then while the body rests, until it lets go; meanwhile the body takes no other release.
#include "sdk/camera_driver.h"
#include "sdk/gphoto2/card_files.h"
#include "sdk/gphoto2/card_picture.h"
#include "sdk/gphoto2/gphoto_session.h"
#include "sdk/gphoto2/owner_thread.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvex::gphoto {

// The choices of the library's remote release that a body is driven by: a full press that does not focus, the
// let-go of the whole button, and the half press that focuses with the full press that follows it.
struct ReleaseLabels {
    const char* press;
    const char* letGo;
    const char* focus;
    const char* pressFocused;
};

class GphotoBody final : public CardFiles, public std::enable_shared_from_this<GphotoBody> {
  public:
    explicit GphotoBody(std::shared_ptr<sdk::CameraEventSink> events);
    ~GphotoBody() override;

    EdsError open(const CameraAbilities& abilities, const std::string& port);
    // Leaves the body as the program found it: a bulb or a held release is let go first.
    void close();

    EdsError getProperty(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out);
    EdsError setProperty(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value);
    EdsError propertyDesc(EdsPropertyID property, EdsPropertyDesc& out);
    EdsError sendCommand(EdsCameraCommand command, EdsInt32 param);
    EdsError sendStatusCommand(EdsCameraStatusCommand command, EdsInt32 param);
    EdsError downloadEvfImage(sdk::ByteSink& jpeg, sdk::EvfFrameInfo& info);
    // No piece of a picture starts from now until the shot's release has been sent (or a while has passed).
    void beginShot();

    EdsError fetchFile(const std::string& folder, const std::string& name, std::vector<char>& out) override;
    // What the library said of the last call that failed, in its words; empty when it said nothing.
    std::string explanation();
    void forget(const std::string& folder, const std::string& name) override;

  private:
    // A picture on its way over from the card.
    struct Incoming {
        std::shared_ptr<CardPicture> picture;
        std::vector<char> bytes;                           // brought over so far
        std::chrono::steady_clock::time_point busySince{}; // the body has answered busy to its pieces since
        std::chrono::milliseconds backOff{0};
    };
    // What the body has said of its card: where pictures go to the card, they go elsewhere before a release
    // the body would refuse, with no word of why.
    enum class Card { Takes, Full, Locked, Missing };

    // Runs fn on the owner thread with the library lock held; a body found gone says so once.
    template <class Fn> EdsError run(Fn&& fn);
    EdsError readProperty(EdsPropertyID property, sdk::PropertyValue& out);
    EdsError writeProperty(EdsPropertyID property, const sdk::PropertyValue& value);
    EdsError release(EdsCameraCommand command, EdsInt32 param);
    EdsError press(bool focus);
    EdsError focusFirst();
    static constexpr int kLetGoTries = 7;
    // A let-go the body still refuses after `tries` is owed (letGoOwed_).
    EdsError letGo(int tries = kLetGoTries);
    EdsError closeBulb(int tries = kLetGoTries);
    // Writes a let-go, asking again with a growing pause while the body answers busy.
    int insist(const std::function<int()>& write, int tries);
    EdsError cardRefusal();
    // The shutter opened for a shot the body times itself, or closed after one the program held open.
    void exposureTimed();
    void shutterClosed();
    // Owner thread, under the library lock it takes: reads the events when due, and the next piece of a
    // picture coming over; returns how long it may rest.
    unsigned idle();
    // Owner thread, lock held.
    EdsError saveTo(EdsUInt32 target);
    bool cardTakesPictures();
    // False only when the body lists no storage: its card slot is empty.
    bool hasCard();
    EdsError fallBack();
    void readPiece();
    void cardPictureAdded(const std::string& folder, const std::string& name);
    // Each picture still to come over is told it never will.
    void abandonIncoming(EdsError error);
    EdsError readFailure(int result);
    void forgetStored();
    bool quiet(std::chrono::steady_clock::time_point now) const;
    void readEvents();
    void onEvent(int type, void* data);
    EdsError readFile(const std::string& folder, const std::string& name, std::vector<char>& out);
    void lost();

    std::shared_ptr<sdk::CameraEventSink> events_;
    GphotoSession session_;
    std::string model_;
    bool gone_ = false;
    std::string explanation_; // of the last call made for the program, when it failed
    bool bulbOpen_ = false;
    bool releaseHeld_ = false;
    bool letGoOwed_ = false; // a button or bulb the program let go of and the body still holds
    const ReleaseLabels* release_ = nullptr; // none where "eosremoterelease" offers neither pair
    bool throughCard_ = false;               // pictures for the computer come over from the card
    bool toCard_ = false;                    // pictures for the camera stay on its card
    // Pictures have gone to the card for the computer: one announced after the fall back to memory is
    // brought over too.
    bool cardForComputer_ = false;
    bool fallbackTold_ = false;
    Card card_ = Card::Takes;
    std::optional<bool> focusFound_; // since the last half press
    // The body exposes, then takes a dark frame as long, until exposedUntil_: a piece it answers busy
    // meanwhile is not counted towards giving its picture up. openedAt_: when a held button or bulb opened.
    std::chrono::steady_clock::time_point exposedUntil_{}, openedAt_{};
    std::deque<Incoming> incoming_;
    std::chrono::steady_clock::time_point lastCall_{}, lastPiece_{}, nextPoll_{}, retryPiece_{},
        nextForget_{}, nextLetGo_{};
    std::atomic<std::int64_t> shotUntil_{0}; // steady clock ticks: until then the pieces wait for a release
    std::mutex forgetLock_;                  // guards toForget_, which the transfer worker fills
    std::vector<std::pair<std::string, std::string>> toForget_;
    EdsUInt32 evfOutput_ = 0, evfMode_ = 1, evfAfMode_ = 0, zoom_ = kEdsEvfZoom_Fit;
    std::optional<EdsPoint> zoomPosition_; // none until this live view has placed the body's zoom area
    std::unique_ptr<OwnerThread> owner_;   // last: stopped before the rest goes
};

} // namespace orvex::gphoto
