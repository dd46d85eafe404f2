#pragma once
// A window without a screen: it keeps every control's state so that tests and orvex-cli can drive the
// program logic, read its fields and answer its message boxes.
#include "platform/scheduler.h"
#include "platform/window.h"
#include "resources/dialog_template.h"

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvex {

struct MessageBoxRecord {
    std::string text, caption;
    BoxIcon icon;
    BoxButtons buttons;
};

class HeadlessWindow : public Window {
  public:
    // Timers run on the scheduler when one is given (a virtual clock, or a loop on the computer's clock);
    // without one they are only recorded. Its actions must run on the thread that drives this window.
    HeadlessWindow(DialogProcedure procedure, ColourProcedure colour = {}, TimerScheduler* timers = nullptr);
    ~HeadlessWindow() override;

    // Creates the controls of the template and runs the initialisation message.
    void create(const DialogTemplate& dialog);
    // Delivers a message as the platform would: a click, a timer, a close request, a drop.
    void send(const DialogMessage& message);
    // A click on a check box moves its mark before its command arrives, as the platform's does.
    void click(int id);
    // Delivers the messages posted so far, in order.
    void pump();

    // Answers the next message boxes; without an answer an OK box gives Ok and a question No.
    std::function<BoxAnswer(const MessageBoxRecord&)> answer;
    // Answers the next open-file dialogs; without an answer the user cancels.
    std::function<std::optional<std::string>(const FileDialogRequest&)> chooseFile;
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    // Acts inside each modal dialog once its initialisation has run, as the user would: reads it, picks list
    // entries, clicks. A dialog still open afterwards gets the cancel command, as from its close box. Nested
    // dialogs inherit it; their message boxes and file dialogs go to this window's answers and records.
    std::function<void(HeadlessWindow& dialog)> onModal;
    // The template names of the modal dialogs run so far over this window and over its dialogs, in order.
    const std::vector<std::string>& modalsRun() const { return modals_; }
    // Inside a modal dialog: its template name, and whether it has been ended, with which result.
    const std::string& templateName() const { return templateName_; }
    bool dialogEnded() const { return ended_; }
    int dialogResult() const { return result_; }
    const std::vector<MessageBoxRecord>& messageBoxes() const { return boxes_; }
    FieldColour colourOf(int id) const { return colour_ ? colour_(id) : FieldColour{}; }
    const std::vector<Menu>& menus() const { return menus_; }
    bool closeEnabled() const { return closeEnabled_; }
    bool dropsAccepted() const { return dropsAccepted_; }
    bool hasTimer(int id) const { return timers_.count(id) != 0; }
    unsigned timerPeriod(int id) const;
    int progress(int id) const { return item(id).progress; }
    Rgb progressColour(int id) const { return item(id).progressColour; }
    bool destroyed() const { return destroyed_; }
    int exitCode() const { return exitCode_; }
    bool hasItem(int id) const { return items_.count(id) != 0; }

    void setItemText(int id, const std::string& text) override { item(id).text = text; }
    std::string itemText(int id) const override { return item(id).text; }
    void enableItem(int id, bool enabled) override { item(id).enabled = enabled; }
    bool isItemEnabled(int id) const override { return item(id).enabled; }
    void showItem(int id, bool shown) override { item(id).shown = shown; }
    bool isItemShown(int id) const override { return item(id).shown; }
    void checkItem(int id, bool checked) override { item(id).checked = checked; }
    bool isItemChecked(int id) const override { return item(id).checked; }

    void listClear(int id) override;
    void listAdd(int id, const std::string& text) override { item(id).entries.push_back(text); }
    int listSelectPrefix(int id, const std::string& text) override;
    void listSelectIndex(int id, int index) override;
    int listSelection(int id) const override { return item(id).selection; }
    int listCount(int id) const override { return static_cast<int>(item(id).entries.size()); }
    std::string listText(int id, int index) const override;

    void setProgress(int id, int position) override { item(id).progress = position; }
    void setProgressColour(int id, Rgb colour) override { item(id).progressColour = colour; }

    void setTitle(const std::string& title) override { title_ = title; }
    std::string title() const override { return title_; }

    void setMenu(const std::vector<Menu>& menus) override;
    void enableMenuEntry(int id, bool enabled) override { menuEnabled_[id] = enabled; }
    bool isMenuEntryEnabled(int id) const override;
    void enableClose(bool enabled) override { closeEnabled_ = enabled; }
    void acceptDrops(bool accepted) override { dropsAccepted_ = accepted; }
    void refreshColours() override {}

    void setTimer(int id, unsigned periodMs) override;
    void killTimer(int id) override;
    void post(const DialogMessage& message) override;

    BoxAnswer messageBox(const std::string& text, const std::string& caption, BoxIcon icon,
                         BoxButtons buttons) override;
    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
    void destroyAndQuit(int exitCode) override;
    void beep() override { ++beeps_; }
    int beeps() const { return beeps_; }

    int runModal(const DialogTemplate& dialog, DialogProcedure procedure) override;
    void endDialog(int result) override;

    // Windows of their own live beside this one: its pump delivers their posted messages too.
    Window* openModeless(const DialogTemplate& dialog, DialogProcedure procedure) override;
    void destroy() override { destroyAndQuit(0); }
    // The screen this window believes in; the default makes the big windows.
    int screenWidthPixels = 1280;
    int screenHeightPixels = 1024;
    int screenWidth() const override { return screenWidthPixels; }
    // One pixel per dialog unit, and no frame.
    bool fitsOnScreen(const DialogTemplate& dialog) const override;
    // A control measures its template size: one pixel per dialog unit.
    PixelRect itemRect(int id) const override { return item(id).rect; }
    void drawPicture(int id, const Picture& picture) override;
    // The windows openModeless made from a template, the newest last, destroyed ones included.
    std::vector<HeadlessWindow*> modeless(const std::string& templateName) const;
    // What was last drawn into a picture control and how often.
    struct Drawing {
        int width = 0, height = 0;
        PixelRect source;
        std::optional<PixelRect> outline;
        int count = 0;
    };
    const Drawing& drawing(int id) const;

  private:
    struct Item {
        std::string text;
        bool enabled = true, shown = true, checked = false;
        bool checkBox = false;
        std::vector<std::string> entries;
        int selection = -1;
        int progress = 0;
        Rgb progressColour{};
        PixelRect rect;
    };
    struct Timer {
        unsigned period;
        int scheduled; // id on the scheduler
    };
    Item& item(int id) { return items_[id]; }
    const Item& item(int id) const;
    void armTimer(int id, unsigned period);
    void cancelTimers();

    DialogProcedure procedure_;
    ColourProcedure colour_;
    TimerScheduler* scheduler_;
    std::unordered_map<int, Item> items_; // looked up several times a tick
    std::string title_;
    std::vector<Menu> menus_;
    std::map<int, bool> menuEnabled_;
    bool closeEnabled_ = true;
    bool dropsAccepted_ = false;
    std::map<int, Timer> timers_;
    std::mutex postedMutex_;
    std::deque<DialogMessage> posted_;
    // Whether posted_ holds anything: pump() runs at every timer tick and mostly finds nothing.
    std::atomic<bool> anyPosted_ = false;
    std::vector<MessageBoxRecord> boxes_;
    std::vector<FileDialogRequest> fileDialogs_;
    int beeps_ = 0;
    bool destroyed_ = false;
    int exitCode_ = 0;
    std::vector<std::string> modals_;
    std::string templateName_;
    HeadlessWindow* owner_ = nullptr; // the window a modal dialog runs over
    std::vector<std::unique_ptr<HeadlessWindow>> modeless_;
    std::map<int, Drawing> drawings_;
    bool pumpOwn();
    bool ended_ = false;
    int result_ = 0;
};

} // namespace orvex
