#pragma once
// One connected libgphoto2 body for the length of a session: its owner thread, the library camera, and
// what the SDK asks of it. Every public member may be called from any thread; the work runs on the owner
// thread under the library lock, and the body's events are read there while it has nothing else to do.
#include "camera/camera_driver.h"
#include "camera/gphoto2/gphoto_session.h"
#include "camera/gphoto2/owner_thread.h"

#include <memory>
#include <string>
#include <vector>

namespace orvex::gphoto {

// The choices of the library's remote release that a body is driven by.
struct ReleaseLabels {
    const char* press;
    const char* letGo;
};

class GphotoBody final : public std::enable_shared_from_this<GphotoBody> {
  public:
    explicit GphotoBody(std::shared_ptr<sdk::CameraEventSink> events);
    ~GphotoBody();

    EdsError open(const CameraAbilities& abilities, const std::string& port);
    // Leaves the body as the program found it: a bulb or a held release is let go first.
    void close();

    EdsError getProperty(EdsPropertyID property, EdsInt32 param, sdk::PropertyValue& out);
    EdsError setProperty(EdsPropertyID property, EdsInt32 param, const sdk::PropertyValue& value);
    EdsError propertyDesc(EdsPropertyID property, EdsPropertyDesc& out);
    EdsError sendCommand(EdsCameraCommand command, EdsInt32 param);
    EdsError sendStatusCommand(EdsCameraStatusCommand command, EdsInt32 param);
    EdsError downloadEvfImage(sdk::ByteSink& jpeg, sdk::EvfFrameInfo& info);

    // The bytes of a file the body announced on its card.
    EdsError fetchFile(const std::string& folder, const std::string& name, std::vector<char>& out);
    // What the library said of the last call that failed, in its words; empty when it said nothing.
    std::string explanation();

  private:
    // Runs fn on the owner thread with the library lock held; a body found gone says so once.
    template <class Fn> EdsError run(Fn&& fn);
    EdsError readProperty(EdsPropertyID property, sdk::PropertyValue& out);
    EdsError writeProperty(EdsPropertyID property, const sdk::PropertyValue& value);
    EdsError release(EdsCameraCommand command, EdsInt32 param);
    EdsError press(bool focus);
    EdsError letGo();
    // Owner thread, lock held.
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
    const ReleaseLabels* release_ = nullptr; // none where "eosremoterelease" offers neither pair
    EdsUInt32 evfOutput_ = 0, evfMode_ = 1, evfAfMode_ = 0, zoom_ = kEdsEvfZoom_Fit;
    EdsPoint zoomPosition_{0, 0};
    EdsSize frameSize_{0, 0};
    std::unique_ptr<OwnerThread> owner_; // last: stopped before the rest goes
};

} // namespace orvex::gphoto
