#pragma once
// One open libgphoto2 camera and its context, used only on the thread that owns it (owner_thread.h).
// Every member expects the library lock held.
#include <gphoto2/gphoto2-camera.h>

#include <set>
#include <string>
#include <vector>

namespace orvex::gphoto {

class GphotoSession {
  public:
    GphotoSession() = default;
    ~GphotoSession();
    GphotoSession(const GphotoSession&) = delete;
    GphotoSession& operator=(const GphotoSession&) = delete;

    // Connects the body of that model on that port; a libgphoto2 result.
    int open(const CameraAbilities& abilities, const std::string& port);
    void close();
    bool isOpen() const { return camera_ != nullptr; }

    bool has(const std::string& widget) const { return widgets_.count(widget) != 0; }
    // The value of a text, radio or menu widget.
    int readText(const char* widget, std::string& out);
    // The value of a toggle or date widget.
    int readInt(const char* widget, int& out);
    // The choices of a radio or menu widget.
    int readChoices(const char* widget, std::vector<std::string>& out);
    int writeText(const char* widget, const std::string& value);
    int writeInt(const char* widget, int value);

    Camera* camera() const { return camera_; }
    GPContext* context() const { return context_; }

    // What the library told of the failures since the last forgetExplanation, in its words: the reason it
    // gives for a refusal ("Perhaps no focus?", "The property … was not set (0x201c …)").
    const std::string& explanation() const { return explanation_; }
    void forgetExplanation() { explanation_.clear(); }

  private:
    int readWidget(const char* widget, CameraWidget*& out);
    template <class T> int write(const char* widget, const T& value);

    Camera* camera_ = nullptr;
    GPContext* context_ = nullptr;
    std::set<std::string> widgets_; // the names the body offers, read once at opening
    std::string explanation_;
};

} // namespace orvex::gphoto
