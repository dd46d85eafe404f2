#pragma once
// A window built from a template table and driven by a dialog procedure, the way every Orvex window is.
#include "platform/qt/dialog_units.h"
#include "platform/window.h"
#include "resources/dialog_template.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QDialog;
class QMenu;
class QAction;
class QMenuBar;
class QPushButton;

namespace orvex {

class SteppedTimer;

// The answer texts in the program's language at the moment it asks.
using AnswerTextProcedure = std::function<AnswerTexts()>;

class QtDialogWindow final : public QWidget, public Window {
    Q_OBJECT

  public:
    // Builds every control of the template, then runs the procedure's initialisation message before the
    // window is ever shown. Questions, here and in modal dialogs over this window, take their answer texts
    // from `answerTexts`; without it they show the desktop's own words.
    QtDialogWindow(const DialogTemplate& dialog, DialogProcedure procedure, ColourProcedure colour,
                   AnswerTextProcedure answerTexts = {}, QWidget* parent = nullptr);
    ~QtDialogWindow() override;

    // The exit code once the procedure has destroyed the window. The owner must look at it before starting
    // the event loop: a window destroyed during its initialisation message had no loop to end.
    std::optional<int> quitCode() const { return quitCode_; }

    // The window's current look as a PNG file, for people reviewing test runs.
    bool saveScreenshot(const QString& path);

    QWidget* control(int id) const;
    const DialogUnits& dialogUnits() const { return units_; }
    // The part of the window the template describes, below the menu bar.
    QWidget* clientArea() const { return client_; }

    void setItemText(int id, const std::string& text) override;
    std::string itemText(int id) const override;
    void enableItem(int id, bool enabled) override;
    bool isItemEnabled(int id) const override;
    void showItem(int id, bool shown) override;
    bool isItemShown(int id) const override;
    void checkItem(int id, bool checked) override;
    bool isItemChecked(int id) const override;

    void listClear(int id) override;
    void listAdd(int id, const std::string& text) override;
    int listSelectPrefix(int id, const std::string& text) override;
    void listSelectIndex(int id, int index) override;
    int listSelection(int id) const override;
    int listCount(int id) const override;
    std::string listText(int id, int index) const override;

    void setProgress(int id, int position) override;
    void setProgressColour(int id, Rgb colour) override;

    void setTitle(const std::string& title) override;
    std::string title() const override { return title_; }

    void setMenu(const std::vector<Menu>& menus) override;
    void enableMenuEntry(int id, bool enabled) override;
    bool isMenuEntryEnabled(int id) const override;
    void enableClose(bool enabled) override { closeEnabled_ = enabled; }
    void acceptDrops(bool accepted) override;

    void refreshColours() override;

    void setTimer(int id, unsigned periodMs) override;
    void killTimer(int id) override;
    void post(const DialogMessage& message) override;

    BoxAnswer messageBox(const std::string& text, const std::string& caption, BoxIcon icon,
                         BoxButtons buttons) override;

    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
    // From then on, in every window, a box is written to standard error and takes its default answer (Ok,
    // No): the program was asked to end, and nobody may be there to answer.
    static void answerBoxesAlone();
    // Once boxes are answered alone, writes this one to standard error and answers true.
    static bool toldAlone(const std::string& text, const std::string& caption);
    void destroyAndQuit(int exitCode) override;
    void beep() override;

    // A QDialog over this window, with the template's controls in it, until the procedure ends it.
    int runModal(const DialogTemplate& dialog, DialogProcedure procedure) override;
    void endDialog(int result) override;

    // A top-level window of its own, shown at once; it deletes itself when its procedure destroys it.
    Window* openModeless(const DialogTemplate& dialog, DialogProcedure procedure) override;
    void destroy() override;
    int screenWidth() const override;
    bool fitsOnScreen(const DialogTemplate& dialog) const override;
    PixelRect itemRect(int id) const override;
    void drawPicture(int id, const Picture& picture) override;

    void setVisible(bool visible) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The client of a modal dialog: a plain child of the dialog, which is the window.
    struct Embedded {};
    QtDialogWindow(const DialogTemplate& dialog, DialogProcedure procedure, QDialog* host,
                   AnswerTextProcedure answerTexts, Embedded);
    void build(const DialogTemplate& dialog);

    struct Control {
        ControlKind kind;
        QWidget* widget;
        std::optional<FieldColour> applied; // what the colour procedure last answered
    };

    void buildControl(const ControlTemplate& item);
    void deliver(const DialogMessage& message);
    // Qt's own dialogs and buttons follow the language the program speaks now.
    void followProgramLanguage();
    void applyColours();
    const Control* find(int id) const;
    QAbstractButton* checkable(int id) const;
    template <typename Widget> Widget* widgetOf(int id, ControlKind kind) const;

    DialogProcedure procedure_;
    ColourProcedure colour_;
    AnswerTextProcedure answerTexts_;
    DialogUnits units_;
    bool centred_;
    QMenuBar* menuBar_;
    QWidget* client_;
    std::map<int, Control> controls_;
    std::vector<QMenu*> menus_;
    std::map<int, QAction*> menuEntries_;
    std::map<int, std::unique_ptr<SteppedTimer>> timers_;
    QPushButton* defaultButton_ = nullptr;
    std::string title_;
    bool closeEnabled_ = true;
    bool dropsAccepted_ = false;
    bool placed_ = false;
    QSize frame_{0, 0}; // what the desktop is expected to put around this window
    std::optional<int> quitCode_;
    QDialog* modalHost_ = nullptr;
    std::optional<int> endResult_;
};

} // namespace orvex
