#pragma once
// The window as the program logic sees it. The Qt implementation builds it from a template table;
// the headless implementation records everything so that tests and orvex-cli can drive the logic.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Answer to the colour request of one control: unset members keep the platform's default.
struct FieldColour {
    std::optional<Rgb> background;
    std::optional<Rgb> text;
    friend bool operator==(const FieldColour&, const FieldColour&) = default;
};

// The commands of a dialog's OK button and of its cancel command (the Escape key, the close box).
inline constexpr int kOkCommand = 1;
inline constexpr int kCancelCommand = 2;

// Minimised and Restored come from a window's minimise box and from restoring it.
enum class MessageKind { Init, Command, Timer, User, Drop, Close, Minimised, Restored };

struct DialogMessage {
    MessageKind kind = MessageKind::Command;
    int id = 0;                     // command id, timer id or user-message code
    std::vector<std::string> files; // dropped files
};

enum class BoxIcon { Error, Question, Warning, Information };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

// The words on a question's two answer buttons, in the program's language, and that language ("en" or
// "fr") for the texts the platform's own dialogs bring.
struct AnswerTexts {
    std::string yes, no;
    std::string language;
};

// One entry of a popup menu; id 0 is a separator.
struct MenuEntry {
    int id = 0;
    std::string text;
};

struct Menu {
    std::string title;
    std::vector<MenuEntry> entries;
};

// An open-file dialog. The filter is written as the catalogue writes it: "description#pattern|".
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string folder;   // where it starts; empty for the platform's default
    std::string fileName; // the name it proposes
    bool mustExist = true;
    friend bool operator==(const FileDialogRequest&, const FileDialogRequest&) = default;
};

// A rectangle in pixels.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A bitmap to draw into a picture control: rows bottom-up, each `stride` bytes, 24 bits blue-green-red or
// 8 bits through a colour table (0x00RRGGBB). The source rectangle, in the picture's own top-down pixels,
// may reach beyond it; what lies outside is black. It fills the control without smoothing. The outline, in
// the control's pixels, is drawn in red over it.
struct Picture {
    int width = 0, height = 0, bitsPerPixel = 0, stride = 0;
    const std::uint8_t* pixels = nullptr;
    const std::uint32_t* colourTable = nullptr;
    int colourCount = 0;
    PixelRect source;
    std::optional<PixelRect> outline;
};

struct DialogTemplate;
class Window;
using DialogProcedure = std::function<void(Window&, const DialogMessage&)>;
using ColourProcedure = std::function<FieldColour(int controlId)>;

class Window {
  public:
    virtual ~Window() = default;

    virtual void setItemText(int id, const std::string& text) = 0;
    virtual std::string itemText(int id) const = 0;
    virtual void enableItem(int id, bool enabled) = 0;
    virtual bool isItemEnabled(int id) const = 0;
    virtual void showItem(int id, bool shown) = 0;
    virtual bool isItemShown(int id) const = 0;
    virtual void checkItem(int id, bool checked) = 0;
    virtual bool isItemChecked(int id) const = 0;

    virtual void listClear(int id) = 0;
    virtual void listAdd(int id, const std::string& text) = 0;
    // Selects the first entry that begins with the text; returns its index or -1 (selection unchanged).
    virtual int listSelectPrefix(int id, const std::string& text) = 0;
    virtual void listSelectIndex(int id, int index) = 0;
    virtual int listSelection(int id) const = 0; // -1 when nothing is selected
    virtual int listCount(int id) const = 0;
    virtual std::string listText(int id, int index) const = 0;

    virtual void setProgress(int id, int position) = 0;
    virtual void setProgressColour(int id, Rgb colour) = 0;

    virtual void setTitle(const std::string& title) = 0;
    virtual std::string title() const = 0;

    virtual void setMenu(const std::vector<Menu>& menus) = 0;
    virtual void enableMenuEntry(int id, bool enabled) = 0;
    virtual bool isMenuEntryEnabled(int id) const = 0;
    virtual void enableClose(bool enabled) = 0;
    virtual void acceptDrops(bool accepted) = 0;

    // The colour procedure's answers changed: apply them again.
    virtual void refreshColours() = 0;

    // Ticks fall just after whole steps of the period. Set again while it runs, a timer counts its steps
    // from then.
    virtual void setTimer(int id, unsigned periodMs) = 0;
    virtual void killTimer(int id) = 0;
    // Queued delivery to the window's own procedure; callable from any thread.
    virtual void post(const DialogMessage& message) = 0;

    // Modal box; a "\r" in the text is a line break.
    virtual BoxAnswer messageBox(const std::string& text, const std::string& caption, BoxIcon icon,
                                 BoxButtons buttons) = 0;

    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<std::string> openFileDialog(const FileDialogRequest& request) = 0;

    // The system's attention sound.
    virtual void beep() = 0;

    // Destroys the window and ends the program's event loop with the exit code.
    virtual void destroyAndQuit(int exitCode) = 0;

    // Builds a dialog from the template over this window and runs its procedure until the procedure calls
    // endDialog on the dialog's window (perhaps already in its initialisation message); returns that result.
    virtual int runModal(const DialogTemplate& dialog, DialogProcedure procedure) = 0;
    // Ends the modal dialog this window is; does nothing on a window that runModal did not make.
    virtual void endDialog(int result) = 0;

    // Builds a window of its own from the template, with no owner, runs its initialisation and shows it; it
    // lives until its procedure calls destroy on it. Nothing when it cannot be made.
    virtual Window* openModeless(const DialogTemplate& dialog, DialogProcedure procedure) = 0;
    // Destroys a window that openModeless made, once the message being handled is done.
    virtual void destroy() = 0;
    // The width in pixels of the primary screen's area for windows.
    virtual int screenWidth() const = 0;
    // Whether a window of its own made from the template, with the frame the desktop puts around it, fits in
    // that area whole.
    virtual bool fitsOnScreen(const DialogTemplate& dialog) const = 0;
    // The size in pixels of a control, and a bitmap drawn into a picture control.
    virtual PixelRect itemRect(int id) const = 0;
    virtual void drawPicture(int id, const Picture& picture) = 0;
};

} // namespace orvex
