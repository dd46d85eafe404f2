#include "platform/qt/dialog_window.h"

#include "platform/qt/picture_area.h"
#include "platform/qt/qt_language.h"
#include "platform/qt/stepped_timer.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace orvex {
namespace {

// Shorter periods would keep the event loop spinning without rest.
constexpr unsigned kMinimumTimerMs = 10;
// The blank QLineEdit keeps on each side of its text, inside its frame.
constexpr int kLineEditMargin = 2;
// A field's text is drawn no smaller than this share of the window's size: smaller is hard to read.
constexpr double kSmallestFieldText = 0.8;
// Where an icon control keeps the path of the file it shows, its text to the program.
constexpr const char* kIconPath = "orvexIconPath";

// The logic decides what a click on a toggle means (it may refuse it), so a click only reports the command
// and the check mark moves when the procedure says so.
class ProgramCheckedToggle final : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    void nextCheckState() override {}
};

// A caption stands left of what it names and ends where that begins: right-aligned, it reads as its caption
// whatever widths the desktop's font gives the letters. A text wider than the template's box (a longer
// language, a wider font) grows the box to the left rather than losing its first letters.
class CaptionLabel final : public QLabel {
  public:
    CaptionLabel(QWidget* parent, const QRect& place) : QLabel(parent), place_(place) {
        // Texts come from the catalogue and from file names: never interpret them as markup.
        setTextFormat(Qt::PlainText);
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    void setCaption(const QString& text) {
        setText(text);
        QRect place = place_;
        const int wanted = sizeHint().width();
        if (wanted > place.width()) place.setLeft(std::max(0, place.right() + 1 - wanted));
        setGeometry(place);
    }

  private:
    const QRect place_;
};

// Keys never press a push button: a key struck by chance, or the Space bar, during an unattended run must
// not stop it or reload its script. Return reaches the window, which presses the template's default button.
class MouseOnlyPushButton final : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (isPressKey(event->key()))
            event->ignore();
        else
            QPushButton::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        if (isPressKey(event->key()))
            event->ignore();
        else
            QPushButton::keyReleaseEvent(event);
    }

  private:
    static bool isPressKey(int key) {
        return key == Qt::Key_Space || key == Qt::Key_Select || key == Qt::Key_Return || key == Qt::Key_Enter;
    }
};

// Sized in dialog units for the usual texts, a field may be a little narrow for one of them in a wider font
// ("Completed" in Status read "Complete"): that text is drawn in a slightly smaller size. A long one
// ("Camera switched off or unplugged" in Status) keeps the window's size, cut, and is there whole on hover.
void fitFieldText(QLineEdit* field, const QString& value) {
    QStyleOptionFrame frame;
    frame.initFrom(field);
    frame.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field);
    const int room = field->style()->subElementRect(QStyle::SE_LineEditContents, &frame, field).width() -
                     2 * kLineEditMargin;
    const QFont normal = field->parentWidget()->font();
    const auto fits = [&](const QFont& font) { return QFontMetrics(font).horizontalAdvance(value) <= room; };
    QFont font = normal;
    for (double size = normal.pointSizeF(); !fits(font) && size > normal.pointSizeF() * kSmallestFieldText;) {
        size -= 0.25;
        font.setPointSizeF(size);
    }
    if (!fits(font)) font = normal;
    field->setFont(font);
    field->setToolTip(fits(font) ? QString() : value);
}

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

QColor toQColor(Rgb colour) {
    return QColor(colour.r, colour.g, colour.b);
}

// Message texts break lines with a carriage return.
QString boxText(const std::string& text) {
    QString result = toQString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

// Paths as the file system spells them, so that names in another encoding still open.
std::vector<std::string> localFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.push_back(QFile::encodeName(QDir::toNativeSeparators(url.toLocalFile())).toStdString());
    return files;
}

// "description#pattern|" as Qt writes a filter: "description (pattern)". Programs on this platform carry no
// ".exe", so a filter for executables shows every file.
QString nameFilter(const std::string& filter) {
    std::string text = filter.substr(0, filter.find('|'));
    const auto hash = text.find('#');
    if (hash == std::string::npos) return toQString(text);
    std::string pattern = text.substr(hash + 1);
#ifndef Q_OS_WIN
    if (pattern == "*.exe") pattern = "*";
#endif
    return toQString(text.substr(0, hash) + " (" + pattern + ")");
}

QMessageBox::Icon toQtIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// Opened, the list is as wide as its longest entry, so that long system names of serial ports are read whole
// whatever the style; closed, the box keeps the template's width.
class WholeEntriesList final : public QComboBox {
  public:
    using QComboBox::QComboBox;

    void showPopup() override {
        QAbstractItemView* entries = view();
        int width = entries->sizeHintForColumn(0) + 2 * entries->frameWidth();
        if (count() > maxVisibleItems())
            width += entries->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, entries);
        entries->setMinimumWidth(width);
        QComboBox::showPopup();
    }
};

// The frame of a modal dialog. Whether the dialog may go is its procedure's decision, so Escape and the close
// box only deliver the cancel command.
class ModalHost final : public QDialog {
  public:
    using QDialog::QDialog;
    std::function<void()> cancel;

    void reject() override {
        if (cancel) cancel();
    }
};

// The title bar and borders the desktop drew around a window on screen; none for one not shown yet.
QSize frameOf(const QWidget* window) {
    if (!window || !window->isVisible()) return {0, 0};
    return window->frameGeometry().size() - window->geometry().size();
}

// Whether a window of that size, framed as `frame` says, fits in the screen's room for windows.
bool fitsOn(const QScreen* screen, QSize size, QSize frame) {
    const QSize room = screen->availableGeometry().size() - frame;
    return size.width() <= room.width() && size.height() <= room.height();
}

// A window taller or wider than its screen's room for windows would leave its lower buttons (OK, Cancel) out
// of reach: its content then scrolls inside a window that fits, framed as `frame` says.
void scrollWhenTooBig(QWidget* window, QBoxLayout* layout, QWidget* content, const QScreen* screen,
                      QSize frame) {
    const QSize wanted = window->sizeHint();
    if (!screen || fitsOn(screen, wanted, frame)) return;
    const QSize room = screen->availableGeometry().size() - frame;
    auto* area = new QScrollArea(window);
    area->setFrameShape(QFrame::NoFrame);
    const int index = layout->indexOf(content);
    layout->removeWidget(content);
    area->setWidget(content);
    layout->insertWidget(index, area);
    // The fixed size that the template gave the window no longer holds; its content keeps it.
    layout->setSizeConstraint(QLayout::SetDefaultConstraint);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    window->resize((wanted + QSize(bar, bar)).boundedTo(room));
}

} // namespace

QtDialogWindow::QtDialogWindow(const DialogTemplate& dialog, DialogProcedure procedure,
                               ColourProcedure colour, AnswerTextProcedure answerTexts, QWidget* parent)
    : QWidget(parent), procedure_(std::move(procedure)), colour_(std::move(colour)),
      answerTexts_(std::move(answerTexts)), units_(dialogFont()), centred_(dialog.centred),
      menuBar_(new QMenuBar(this)), client_(new QWidget(this)) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog.minimiseBox) flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    build(dialog);
}

QtDialogWindow::QtDialogWindow(const DialogTemplate& dialog, DialogProcedure procedure, QDialog* host,
                               AnswerTextProcedure answerTexts, Embedded)
    : QWidget(host), procedure_(std::move(procedure)), answerTexts_(std::move(answerTexts)),
      units_(dialogFont()), centred_(false), menuBar_(new QMenuBar(this)), client_(new QWidget(this)),
      modalHost_(host) {
    build(dialog);
}

void QtDialogWindow::build(const DialogTemplate& dialog) {
    setFont(dialogFont());
    setObjectName(QString::fromLatin1(dialog.name));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The template fixes the client area; the menu bar sits on top of it, outside the template.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(menuBar_);
    layout->addWidget(client_);
    menuBar_->hide();
    client_->setFixedSize(units_.toPixelsX(dialog.width), units_.toPixelsY(dialog.height));

    for (const ControlTemplate& item : dialog.controls) buildControl(item);

    deliver({MessageKind::Init, 0, {}});
}

QtDialogWindow::~QtDialogWindow() = default;

void QtDialogWindow::buildControl(const ControlTemplate& item) {
    const int id = item.id;
    QRect place = units_.toPixels(item.x, item.y, item.width, item.height);
    QWidget* widget = nullptr;

    switch (item.kind) {
    case ControlKind::PushButton: {
        auto* button = new MouseOnlyPushButton(client_);
        // In a dialog Qt would make every button default while it has focus.
        button->setAutoDefault(false);
        const bool isDefault = (item.style & kStyleDefaultButton) != 0;
        button->setDefault(isDefault);
        if (isDefault && !defaultButton_) defaultButton_ = button;
        connect(button, &QPushButton::clicked, this, [this, id] { deliver({MessageKind::Command, id, {}}); });
        widget = button;
        break;
    }
    case ControlKind::Toggle: {
        auto* toggle = new ProgramCheckedToggle(client_);
        toggle->setAutoExclusive(false);
        // Text first, then the mark.
        toggle->setLayoutDirection(Qt::RightToLeft);
        connect(toggle, &QRadioButton::clicked, this, [this, id] {
            deliver({MessageKind::Command, id, {}});
        });
        widget = toggle;
        break;
    }
    case ControlKind::Label:
        widget = new CaptionLabel(client_, place);
        break;
    case ControlKind::DropDownList: {
        auto* list = new WholeEntriesList(client_);
        // The template's height is that of the opened list; closed, the box is as high as the style wants.
        const int closedHeight = list->sizeHint().height();
        const int rowHeight = std::max(1, list->fontMetrics().height() + 2);
        list->setMaxVisibleItems(std::max(1, (place.height() - closedHeight) / rowHeight));
        place.setHeight(closedHeight);
        // Only a choice by the user is a command; the program's own selections are not reported back.
        connect(list, &QComboBox::activated, this, [this, id] { deliver({MessageKind::Command, id, {}}); });
        widget = list;
        break;
    }
    case ControlKind::ReadOnlyField: {
        auto* field = new QLineEdit(client_);
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignCenter);
        field->setFrame(true);
        // Dropped files belong to the window, not to a field that cannot take text anyway.
        field->setAcceptDrops(false);
        widget = field;
        break;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(client_);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        widget = bar;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(client_);
        if (item.style & kStyleCentred) edit->setAlignment(Qt::AlignCenter);
        widget = edit;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(client_);
        // Text first, then the mark.
        box->setLayoutDirection(Qt::RightToLeft);
        connect(box, &QCheckBox::clicked, this, [this, id] { deliver({MessageKind::Command, id, {}}); });
        widget = box;
        break;
    }
    case ControlKind::GroupBox: {
        auto* frame = new QGroupBox(client_);
        // A frame only surrounds; the controls inside are its siblings, placed by the template.
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget = frame;
        break;
    }
    case ControlKind::Icon: {
        auto* picture = new QLabel(client_);
        picture->setAlignment(Qt::AlignCenter);
        widget = picture;
        break;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(client_);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        widget = list;
        break;
    }
    case ControlKind::PictureArea:
        widget = new PictureArea(client_);
        break;
    }
    if (!widget) return;
    widget->setGeometry(place);
    // When a template repeats an id, the later control is still drawn but the id names the first one.
    controls_.emplace(id, Control{item.kind, widget, std::nullopt});
}

void QtDialogWindow::deliver(const DialogMessage& message) {
    if (quitCode_ || !procedure_) return;
    followProgramLanguage();
    procedure_(*this, message);
    // Any message may have changed what the fields show; the colour answers are cheap to ask again.
    if (!quitCode_) applyColours();
}

void QtDialogWindow::followProgramLanguage() {
    if (answerTexts_) speakQtLanguage(answerTexts_().language);
}

const QtDialogWindow::Control* QtDialogWindow::find(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

template <typename Widget> Widget* QtDialogWindow::widgetOf(int id, ControlKind kind) const {
    const Control* control = find(id);
    return control && control->kind == kind ? static_cast<Widget*>(control->widget) : nullptr;
}

QWidget* QtDialogWindow::control(int id) const {
    const Control* c = find(id);
    return c ? c->widget : nullptr;
}

bool QtDialogWindow::saveScreenshot(const QString& path) {
    return grab().save(path, "PNG");
}

void QtDialogWindow::setItemText(int id, const std::string& text) {
    const Control* c = find(id);
    if (!c) return;
    const QString value = toQString(text);
    switch (c->kind) {
    case ControlKind::PushButton:
    case ControlKind::Toggle:
        static_cast<QAbstractButton*>(c->widget)->setText(value);
        break;
    case ControlKind::Label:
        static_cast<CaptionLabel*>(c->widget)->setCaption(value);
        break;
    case ControlKind::ReadOnlyField:
    case ControlKind::Edit: {
        auto* field = static_cast<QLineEdit*>(c->widget);
        field->setText(value);
        // Long texts show their beginning, not their end.
        field->setCursorPosition(0);
        if (c->kind == ControlKind::ReadOnlyField) fitFieldText(field, value);
        break;
    }
    case ControlKind::CheckBox:
        static_cast<QCheckBox*>(c->widget)->setText(value);
        break;
    case ControlKind::GroupBox:
        static_cast<QGroupBox*>(c->widget)->setTitle(value);
        break;
    case ControlKind::Icon: {
        auto* picture = static_cast<QLabel*>(c->widget);
        // Refreshed every second, mostly with the same file: it is read again only when it changes.
        if (picture->property(kIconPath).toString() == value) break;
        picture->setProperty(kIconPath, value);
        picture->setPixmap(value.isEmpty() ? QPixmap() : QIcon(value).pixmap(picture->size()));
        break;
    }
    case ControlKind::DropDownList:
    case ControlKind::ProgressBar:
    case ControlKind::ListBox:
    case ControlKind::PictureArea:
        break;
    }
    applyColours();
}

std::string QtDialogWindow::itemText(int id) const {
    const Control* c = find(id);
    if (!c) return {};
    switch (c->kind) {
    case ControlKind::PushButton:
    case ControlKind::Toggle:
        return static_cast<QAbstractButton*>(c->widget)->text().toStdString();
    case ControlKind::Label:
        return static_cast<QLabel*>(c->widget)->text().toStdString();
    case ControlKind::ReadOnlyField:
    case ControlKind::Edit:
        return static_cast<QLineEdit*>(c->widget)->text().toStdString();
    case ControlKind::CheckBox:
        return static_cast<QCheckBox*>(c->widget)->text().toStdString();
    case ControlKind::GroupBox:
        return static_cast<QGroupBox*>(c->widget)->title().toStdString();
    case ControlKind::Icon:
        return c->widget->property(kIconPath).toString().toStdString();
    case ControlKind::DropDownList:
        return static_cast<QComboBox*>(c->widget)->currentText().toStdString();
    case ControlKind::ListBox: {
        const QListWidgetItem* current = static_cast<QListWidget*>(c->widget)->currentItem();
        return current ? current->text().toStdString() : std::string();
    }
    case ControlKind::ProgressBar:
    case ControlKind::PictureArea:
        break;
    }
    return {};
}

void QtDialogWindow::enableItem(int id, bool enabled) {
    if (const Control* c = find(id)) c->widget->setEnabled(enabled);
}

bool QtDialogWindow::isItemEnabled(int id) const {
    const Control* c = find(id);
    return c && c->widget->isEnabledTo(client_);
}

void QtDialogWindow::showItem(int id, bool shown) {
    if (const Control* c = find(id)) c->widget->setVisible(shown);
}

// The control's own state: a control is shown even while its window is still hidden or minimised.
bool QtDialogWindow::isItemShown(int id) const {
    const Control* c = find(id);
    return c && !c->widget->isHidden();
}

QAbstractButton* QtDialogWindow::checkable(int id) const {
    const Control* c = find(id);
    if (!c || (c->kind != ControlKind::Toggle && c->kind != ControlKind::CheckBox)) return nullptr;
    return static_cast<QAbstractButton*>(c->widget);
}

void QtDialogWindow::checkItem(int id, bool checked) {
    if (QAbstractButton* button = checkable(id)) button->setChecked(checked);
}

bool QtDialogWindow::isItemChecked(int id) const {
    const QAbstractButton* button = checkable(id);
    return button && button->isChecked();
}

void QtDialogWindow::listClear(int id) {
    if (auto* list = widgetOf<QComboBox>(id, ControlKind::DropDownList)) list->clear();
    if (auto* box = widgetOf<QListWidget>(id, ControlKind::ListBox)) box->clear();
}

void QtDialogWindow::listAdd(int id, const std::string& text) {
    if (auto* box = widgetOf<QListWidget>(id, ControlKind::ListBox)) box->addItem(toQString(text));
    auto* list = widgetOf<QComboBox>(id, ControlKind::DropDownList);
    if (!list) return;
    // A combo box selects its first entry by itself; the logic expects no selection until it makes one.
    const int selection = list->currentIndex();
    list->addItem(toQString(text));
    list->setCurrentIndex(selection);
}

// As a list control does it: the first entry that begins with the text, without regard to case.
int QtDialogWindow::listSelectPrefix(int id, const std::string& text) {
    const QString prefix = toQString(text);
    for (int i = 0; i < listCount(id); ++i)
        if (toQString(listText(id, i)).startsWith(prefix, Qt::CaseInsensitive)) {
            listSelectIndex(id, i);
            return i;
        }
    return -1;
}

void QtDialogWindow::listSelectIndex(int id, int index) {
    const int valid = index >= 0 && index < listCount(id) ? index : -1;
    if (auto* list = widgetOf<QComboBox>(id, ControlKind::DropDownList)) list->setCurrentIndex(valid);
    if (auto* box = widgetOf<QListWidget>(id, ControlKind::ListBox)) {
        box->setCurrentRow(valid);
        if (valid < 0) box->clearSelection();
    }
}

int QtDialogWindow::listSelection(int id) const {
    if (const auto* list = widgetOf<QComboBox>(id, ControlKind::DropDownList)) return list->currentIndex();
    if (const auto* box = widgetOf<QListWidget>(id, ControlKind::ListBox))
        return box->selectedItems().isEmpty() ? -1 : box->currentRow();
    return -1;
}

int QtDialogWindow::listCount(int id) const {
    if (const auto* list = widgetOf<QComboBox>(id, ControlKind::DropDownList)) return list->count();
    if (const auto* box = widgetOf<QListWidget>(id, ControlKind::ListBox)) return box->count();
    return 0;
}

std::string QtDialogWindow::listText(int id, int index) const {
    if (index < 0 || index >= listCount(id)) return {};
    if (const auto* list = widgetOf<QComboBox>(id, ControlKind::DropDownList))
        return list->itemText(index).toStdString();
    return widgetOf<QListWidget>(id, ControlKind::ListBox)->item(index)->text().toStdString();
}

void QtDialogWindow::setProgress(int id, int position) {
    if (auto* bar = widgetOf<QProgressBar>(id, ControlKind::ProgressBar))
        bar->setValue(std::clamp(position, 0, 100));
}

void QtDialogWindow::setProgressColour(int id, Rgb colour) {
    auto* bar = widgetOf<QProgressBar>(id, ControlKind::ProgressBar);
    if (!bar) return;
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Highlight, toQColor(colour));
    bar->setPalette(palette);
}

void QtDialogWindow::setTitle(const std::string& title) {
    title_ = title;
    // "[*]" is Qt's mark for unsaved changes; a script named so must still show its name.
    QString shown = toQString(title);
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    // The client of a modal dialog names the dialog around it.
    window()->setWindowTitle(shown);
}

void QtDialogWindow::setMenu(const std::vector<Menu>& menus) {
    // The entry being triggered may be what asked for a new menu (a change of language), so the old menus
    // go only once control is back in the event loop.
    for (QMenu* menu : menus_) {
        menuBar_->removeAction(menu->menuAction());
        menu->deleteLater();
    }
    menus_.clear();
    menuEntries_.clear();
    for (const Menu& menu : menus) {
        QMenu* popup = menuBar_->addMenu(toQString(menu.title));
        menus_.push_back(popup);
        for (const MenuEntry& entry : menu.entries) {
            if (entry.id == 0) {
                popup->addSeparator();
                continue;
            }
            QAction* action = popup->addAction(toQString(entry.text));
            const int id = entry.id;
            connect(action, &QAction::triggered, this, [this, id] {
                deliver({MessageKind::Command, id, {}});
            });
            menuEntries_.emplace(id, action);
        }
    }
    menuBar_->setVisible(!menus.empty());
}

void QtDialogWindow::enableMenuEntry(int id, bool enabled) {
    const auto it = menuEntries_.find(id);
    if (it != menuEntries_.end()) it->second->setEnabled(enabled);
}

bool QtDialogWindow::isMenuEntryEnabled(int id) const {
    const auto it = menuEntries_.find(id);
    return it != menuEntries_.end() && it->second->isEnabled();
}

void QtDialogWindow::acceptDrops(bool accepted) {
    dropsAccepted_ = accepted;
    setAcceptDrops(accepted);
}

void QtDialogWindow::refreshColours() {
    applyColours();
}

void QtDialogWindow::applyColours() {
    for (auto& [id, c] : controls_) {
        if (c.kind != ControlKind::Label && c.kind != ControlKind::ReadOnlyField) continue;
        const FieldColour colour = colour_ ? colour_(id) : FieldColour{};
        if (c.applied == colour) continue;
        c.applied = colour;
        const bool label = c.kind == ControlKind::Label;
        // Start from the style's own palette each time, so that an unset colour really is the default again.
        QPalette palette = QApplication::palette(c.widget);
        if (colour.background)
            palette.setColor(label ? QPalette::Window : QPalette::Base, toQColor(*colour.background));
        if (colour.text)
            palette.setColor(label ? QPalette::WindowText : QPalette::Text, toQColor(*colour.text));
        c.widget->setPalette(palette);
        // A label paints its own background only when it has a colour of its own: otherwise it would stand
        // out as a patch over a group box's frame.
        if (label) c.widget->setAutoFillBackground(colour.background.has_value());
    }
}

void QtDialogWindow::setTimer(int id, unsigned periodMs) {
    if (quitCode_) return;
    std::unique_ptr<SteppedTimer>& timer = timers_[id];
    if (!timer) timer = std::make_unique<SteppedTimer>([this, id] { deliver({MessageKind::Timer, id, {}}); });
    timer->start(std::clamp<unsigned>(periodMs, kMinimumTimerMs, INT_MAX));
}

// The timer object stays: this may be called from inside its own timeout.
void QtDialogWindow::killTimer(int id) {
    const auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
}

void QtDialogWindow::post(const DialogMessage& message) {
    QMetaObject::invokeMethod(
        this, [this, message] { deliver(message); }, Qt::QueuedConnection);
}

namespace {
bool boxesAnsweredAlone = false;
} // namespace

void QtDialogWindow::answerBoxesAlone() {
    boxesAnsweredAlone = true;
}

bool QtDialogWindow::toldAlone(const std::string& text, const std::string& caption) {
    if (!boxesAnsweredAlone) return false;
    // What the run's end tells (pictures left on the card, not downloaded) still reaches the journal.
    std::string line = text;
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::fprintf(stderr, "orvex: %s: %s\n", caption.c_str(), line.c_str());
    return true;
}

BoxAnswer QtDialogWindow::messageBox(const std::string& text, const std::string& caption, BoxIcon icon,
                                     BoxButtons buttons) {
    const bool question = buttons == BoxButtons::YesNo;
    if (toldAlone(text, caption)) return question ? BoxAnswer::No : BoxAnswer::Ok;
    followProgramLanguage();
    // A box raised before the window is on screen (during initialisation) is centred on the screen instead.
    QMessageBox box(toQtIcon(icon), toQString(caption), boxText(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    // A file name in the text must be shown as written, not as markup.
    box.setTextFormat(Qt::PlainText);
    if (question && answerTexts_) {
        const AnswerTexts texts = answerTexts_();
        box.button(QMessageBox::Yes)->setText(toQString(texts.yes));
        box.button(QMessageBox::No)->setText(toQString(texts.no));
    }
    const int answer = box.exec();
    // Closed by the end asked from outside, unanswered: what it said is not lost with it.
    if (toldAlone(text, caption)) return question ? BoxAnswer::No : BoxAnswer::Ok;
    if (!question) return BoxAnswer::Ok;
    return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

std::optional<std::string> QtDialogWindow::openFileDialog(const FileDialogRequest& request) {
    followProgramLanguage();
    QFileDialog dialog(isVisible() ? window() : nullptr, toQString(request.title), toQString(request.folder),
                       nameFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.fileName.empty()) dialog.selectFile(toQString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // As the file system spells it, so that names in another encoding still open.
    return QFile::encodeName(QDir::toNativeSeparators(dialog.selectedFiles().first())).toStdString();
}

void QtDialogWindow::beep() {
    QApplication::beep();
}

void QtDialogWindow::destroyAndQuit(int exitCode) {
    if (quitCode_) return;
    quitCode_ = exitCode;
    for (auto& [id, timer] : timers_) timer->stop();
    // The object itself stays until its owner drops it: this may run inside one of its own controls' signals.
    hide();
    // During the initialisation message no loop runs yet: exit() would be forgotten by the application's loop
    // and yet close the next message box at once. The owner reads quitCode() instead.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(exitCode);
}

int QtDialogWindow::runModal(const DialogTemplate& dialog, DialogProcedure procedure) {
    ModalHost host(isVisible() ? window() : nullptr);
    host.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    host.setObjectName(QString::fromLatin1(dialog.name));
    host.setFont(dialogFont());
    auto* layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The initialisation message runs in here, and may already end the dialog before it is ever shown.
    auto* content = new QtDialogWindow(dialog, std::move(procedure), &host, answerTexts_, Embedded{});
    layout->addWidget(content);
    if (content->endResult_) return *content->endResult_;
    // It comes up over its owner, perhaps on another screen than the first.
    const QWidget* owner = host.parentWidget();
    scrollWhenTooBig(&host, layout, content, owner ? owner->screen() : QGuiApplication::primaryScreen(),
                     frameOf(owner));
    host.cancel = [content] { content->deliver({MessageKind::Command, kCancelCommand, {}}); };
    return host.exec();
}

void QtDialogWindow::endDialog(int result) {
    if (!modalHost_ || endResult_) return;
    endResult_ = result;
    for (auto& [id, timer] : timers_) timer->stop();
    // Outside its event loop (during initialisation) done() only hides; runModal then returns the result.
    modalHost_->done(result);
}

Window* QtDialogWindow::openModeless(const DialogTemplate& dialog, DialogProcedure procedure) {
    auto* made = new QtDialogWindow(dialog, std::move(procedure), {}, answerTexts_);
    // The desktop will frame it as it framed this one.
    made->frame_ = frameOf(window());
    made->show();
    return made;
}

void QtDialogWindow::destroy() {
    // No message reaches it any more; the object goes once the message being handled is done.
    quitCode_ = 0;
    hide();
    deleteLater();
}

int QtDialogWindow::screenWidth() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().width() : 0;
}

bool QtDialogWindow::fitsOnScreen(const DialogTemplate& dialog) const {
    const QScreen* s = QGuiApplication::primaryScreen();
    // Framed as the desktop framed this window: a title bar and borders.
    return !s || fitsOn(s, QSize(units_.toPixelsX(dialog.width), units_.toPixelsY(dialog.height)),
                        frameOf(window()));
}

PixelRect QtDialogWindow::itemRect(int id) const {
    const Control* c = find(id);
    return c ? PixelRect{0, 0, c->widget->width(), c->widget->height()} : PixelRect{};
}

void QtDialogWindow::drawPicture(int id, const Picture& picture) {
    if (auto* area = widgetOf<PictureArea>(id, ControlKind::PictureArea)) area->show(picture);
}

void QtDialogWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool wasMinimised = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    if (isMinimized() && !wasMinimised) deliver({MessageKind::Minimised, 0, {}});
    if (!isMinimized() && wasMinimised) deliver({MessageKind::Restored, 0, {}});
}

void QtDialogWindow::setVisible(bool visible) {
    // A destroyed window never comes back.
    if (visible && quitCode_) return;
    if (visible && !placed_) {
        placed_ = true;
        adjustSize();
        if (!parentWidget())
            scrollWhenTooBig(this, static_cast<QBoxLayout*>(layout()), client_, screen(), frame_);
        if (centred_ && !parentWidget())
            if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    }
    QWidget::setVisible(visible);
}

void QtDialogWindow::keyPressEvent(QKeyEvent* event) {
    // The focused control had no use for the key; Escape is then the dialog's cancel command.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        deliver({MessageKind::Command, kCancelCommand, {}});
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && defaultButton_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        if (defaultButton_->isVisible() && defaultButton_->isEnabled()) defaultButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QtDialogWindow::closeEvent(QCloseEvent* event) {
    // Whether to close is the procedure's decision (a run in progress refuses); the window only asks.
    event->ignore();
    if (closeEnabled_) deliver({MessageKind::Close, 0, {}});
}

void QtDialogWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (dropsAccepted_ && !quitCode_ && !localFiles(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void QtDialogWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (dropsAccepted_ && !quitCode_)
        event->acceptProposedAction();
    else
        event->ignore();
}

void QtDialogWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> files = localFiles(event->mimeData());
    if (!dropsAccepted_ || quitCode_ || files.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Posted, so that the program the files came from is free before the procedure perhaps asks questions.
    post({MessageKind::Drop, 0, std::move(files)});
}

} // namespace orvex
