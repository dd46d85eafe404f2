#include "platform/headless/headless_window.h"

#include <algorithm>

namespace orvex {

HeadlessWindow::HeadlessWindow(DialogProcedure procedure, ColourProcedure colour, TimerScheduler* timers)
    : procedure_(std::move(procedure)), colour_(std::move(colour)), scheduler_(timers) {}

HeadlessWindow::~HeadlessWindow() {
    cancelTimers();
}

void HeadlessWindow::cancelTimers() {
    if (scheduler_)
        for (const auto& [id, t] : timers_) scheduler_->cancel(t.scheduled);
    timers_.clear();
}

void HeadlessWindow::create(const DialogTemplate& dialog) {
    templateName_ = dialog.name;
    for (const ControlTemplate& c : dialog.controls) {
        items_[c.id].checkBox = c.kind == ControlKind::CheckBox;
        items_[c.id].rect = {0, 0, c.width, c.height};
    }
    send({MessageKind::Init, 0, {}});
}

void HeadlessWindow::click(int id) {
    Item& it = item(id);
    if (it.checkBox) it.checked = !it.checked;
    send({MessageKind::Command, id, {}});
}

void HeadlessWindow::send(const DialogMessage& message) {
    if (!destroyed_ && !ended_) procedure_(*this, message);
}

// True when it delivered anything.
bool HeadlessWindow::pumpOwn() {
    bool delivered = false;
    while (anyPosted_.load()) {
        DialogMessage m;
        {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty()) break;
            m = std::move(posted_.front());
            posted_.pop_front();
            anyPosted_ = !posted_.empty();
        }
        send(m);
        delivered = true;
    }
    return delivered;
}

void HeadlessWindow::pump() {
    // The windows post to each other: each round may leave new messages for the others.
    bool delivered = true;
    while (delivered) {
        delivered = pumpOwn();
        for (std::size_t i = 0; i < modeless_.size(); ++i) delivered = modeless_[i]->pumpOwn() || delivered;
    }
}

Window* HeadlessWindow::openModeless(const DialogTemplate& dialog, DialogProcedure procedure) {
    modeless_.push_back(
        std::make_unique<HeadlessWindow>(std::move(procedure), ColourProcedure{}, scheduler_));
    HeadlessWindow& made = *modeless_.back();
    made.screenWidthPixels = screenWidthPixels;
    made.screenHeightPixels = screenHeightPixels;
    made.create(dialog);
    return &made;
}

bool HeadlessWindow::fitsOnScreen(const DialogTemplate& dialog) const {
    return dialog.width <= screenWidthPixels && dialog.height <= screenHeightPixels;
}

std::vector<HeadlessWindow*> HeadlessWindow::modeless(const std::string& templateName) const {
    std::vector<HeadlessWindow*> found;
    for (const auto& w : modeless_)
        if (w->templateName_ == templateName) found.push_back(w.get());
    return found;
}

const HeadlessWindow::Drawing& HeadlessWindow::drawing(int id) const {
    static const Drawing none;
    const auto it = drawings_.find(id);
    return it == drawings_.end() ? none : it->second;
}

void HeadlessWindow::drawPicture(int id, const Picture& picture) {
    Drawing& d = drawings_[id];
    d = {picture.width, picture.height, picture.source, picture.outline, d.count + 1};
}

const HeadlessWindow::Item& HeadlessWindow::item(int id) const {
    static const Item none;
    const auto it = items_.find(id);
    return it == items_.end() ? none : it->second;
}

unsigned HeadlessWindow::timerPeriod(int id) const {
    const auto it = timers_.find(id);
    return it == timers_.end() ? 0 : it->second.period;
}

void HeadlessWindow::listClear(int id) {
    item(id).entries.clear();
    item(id).selection = -1;
}

// As a list control does it: the first entry that begins with the text, without regard to case.
int HeadlessWindow::listSelectPrefix(int id, const std::string& text) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    Item& it = item(id);
    for (std::size_t i = 0; i < it.entries.size(); ++i) {
        const std::string& entry = it.entries[i];
        if (entry.size() >= text.size() && std::equal(text.begin(), text.end(), entry.begin(),
                                                      [&](char a, char b) { return lower(a) == lower(b); }))
            return it.selection = static_cast<int>(i);
    }
    return -1;
}

void HeadlessWindow::listSelectIndex(int id, int index) {
    Item& it = item(id);
    it.selection = (index >= 0 && index < static_cast<int>(it.entries.size())) ? index : -1;
}

std::string HeadlessWindow::listText(int id, int index) const {
    const Item& it = item(id);
    return (index >= 0 && index < static_cast<int>(it.entries.size())) ? it.entries[index] : std::string();
}

void HeadlessWindow::setMenu(const std::vector<Menu>& menus) {
    menus_ = menus;
    menuEnabled_.clear();
}

bool HeadlessWindow::isMenuEntryEnabled(int id) const {
    const auto it = menuEnabled_.find(id);
    return it == menuEnabled_.end() || it->second;
}

void HeadlessWindow::armTimer(int id, unsigned period) {
    timers_[id] = {period, scheduler_->scheduleEvery(period, [this, id] {
                       pump();
                       send({MessageKind::Timer, id, {}});
                       // What the timer posted is handled at once, as an event loop would, before time
                       // moves on.
                       pump();
                   })};
}

void HeadlessWindow::setTimer(int id, unsigned periodMs) {
    killTimer(id);
    if (scheduler_)
        armTimer(id, periodMs);
    else
        timers_[id] = {periodMs, 0};
}

void HeadlessWindow::killTimer(int id) {
    const auto it = timers_.find(id);
    if (it == timers_.end()) return;
    if (scheduler_) scheduler_->cancel(it->second.scheduled);
    timers_.erase(it);
}

void HeadlessWindow::post(const DialogMessage& message) {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(message);
    anyPosted_ = true;
}

BoxAnswer HeadlessWindow::messageBox(const std::string& text, const std::string& caption, BoxIcon icon,
                                     BoxButtons buttons) {
    if (owner_) return owner_->messageBox(text, caption, icon, buttons);
    boxes_.push_back({text, caption, icon, buttons});
    // A copy: a box raised while the answer is chosen (the run goes on under it) moves the list.
    if (answer) return answer(MessageBoxRecord(boxes_.back()));
    return buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::No;
}

std::optional<std::string> HeadlessWindow::openFileDialog(const FileDialogRequest& request) {
    if (owner_) return owner_->openFileDialog(request);
    fileDialogs_.push_back(request);
    return chooseFile ? chooseFile(request) : std::nullopt;
}

void HeadlessWindow::destroyAndQuit(int exitCode) {
    destroyed_ = true;
    exitCode_ = exitCode;
    cancelTimers();
}

int HeadlessWindow::runModal(const DialogTemplate& dialog, DialogProcedure procedure) {
    HeadlessWindow* main = this;
    while (main->owner_) main = main->owner_;
    main->modals_.push_back(dialog.name);
    HeadlessWindow box(std::move(procedure), {}, scheduler_);
    box.owner_ = this;
    box.onModal = onModal;
    box.create(dialog);
    if (!box.ended_ && onModal) onModal(box);
    // Nobody can answer a dialog left open: it goes as its close box would make it go.
    if (!box.ended_) box.send({MessageKind::Command, kCancelCommand, {}});
    // A procedure that ignores its cancel command would keep a real dialog up for ever; here it just ends.
    return box.ended_ ? box.result_ : kCancelCommand;
}

void HeadlessWindow::endDialog(int result) {
    if (!owner_ || ended_) return;
    ended_ = true;
    result_ = result;
    // A dialog's timers die with it.
    cancelTimers();
}

} // namespace orvex
