// The parameters and script chain dialogs as the real program opens them from its menu, in both languages,
// on the offscreen platform; screenshots are left in the build folder for people to look at.
#include "camera/ae_mode_icons.h"
#include "tests/qt/program_window.h"
#include "tests/support/window_items.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>

#include <algorithm>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

// Opens Load from the menu entry of that text; the text of its file dialog's Cancel button.
QString cancelOfLoad(ProgramWindow& t, const char* entry) {
    QString text;
    t.choose(entry, [&](QDialog& d) {
        if (auto* buttons = d.findChild<QDialogButtonBox*>())
            if (QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel)) text = cancel->text();
        d.reject();
    });
    return text;
}

// Whether one of the dialog's widgets of that type matches.
template <typename W, typename Matches> bool has(QDialog& dialog, Matches matches) {
    const QList<W*> widgets = dialog.findChildren<W*>();
    return std::any_of(widgets.begin(), widgets.end(), matches);
}

// In the parameters showing that language, chooses the entry of that index, which must read so, then presses
// OK or closes the dialog.
void choose(QDialog& d, const QString& language, int index, const QString& entry, bool ok) {
    for (QComboBox* list : d.findChildren<QComboBox*>())
        if (list->currentText() == language) {
            EXPECT_EQ(list->itemText(index), entry);
            list->setCurrentIndex(index);
        }
    ok ? findButton(d, "OK")->click() : void(d.close());
}

std::string readText(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

enum class Dialog { Parameters, Chain, Camera };

// Each dialog in each language, chosen from the menu: its texts, its controls, a picture. The English
// parameters choose French and press OK: the settings are written (their keys stay English) and the main
// window renamed at once, keeping its lists' selections, its menu rebuilt while the entry that opened the
// dialog is still being triggered, and Qt's own file dialog speaks French from then on; back in the French
// parameters, Cancel changes and writes nothing, and the list's "Anglais" brings English back. Every other
// dialog is cancelled.
// The camera's is that of a virtual body: every row read, its mode icon drawn, its battery bar shown.
TEST(DialogsOffscreen, EachDialogInEachLanguage) {
    const PluggedBody body("bulb");
    const std::pair<int, int> kept[] = {{kLockupList, 3}, {kSaveToList, 1}, {kZoomList, 2}};
    const struct {
        const char* entry;
        int language;
        Dialog dialog;
        const char *title, *check, *picture;
    } cases[] = {
        {"Parameters", kEnglish, Dialog::Parameters, "Orvex - Parameters", "UT", "parameter_dialog_en.png"},
        {"Paramètres", kFrench, Dialog::Parameters, "Orvex - Paramètres", "TU", "parameter_dialog_fr.png"},
        {"Chain", kEnglish, Dialog::Chain, "Orvex - Script chain", "Close chain",
         "script_chain_dialog_en.png"},
        {"Chaîner", kFrench, Dialog::Chain, "Orvex - chaînage de script", "Fermer la chaîne",
         "script_chain_dialog_fr.png"},
        {"Camera", kEnglish, Dialog::Camera, "Orvex - Connected camera", "", "camera_info_dialog_en.png"},
        {"Appareil", kFrench, Dialog::Camera, "Orvex - Appareil connecté", "", "camera_info_dialog_fr.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        ProgramWindow t(c.language);
        t.start(c.dialog == Dialog::Camera ? "-connect=\"\"" : "");
        ASSERT_EQ(t.program.camera.connected, c.dialog == Dialog::Camera);
        t.program.aeModeIcons = loadAeModeIcons(ORVEX_EXAMPLES_DIR "/../resources/icons/");
        const bool ok = c.dialog == Dialog::Parameters && c.language == kEnglish;
        for (const auto& [list, selected] : kept) t.window->listSelectIndex(list, selected);
        t.choose(QString::fromUtf8(c.entry), [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(c.title));
            EXPECT_TRUE(!*c.check ||
                        has<QCheckBox>(d, [&](auto* b) { return b->text() == QString::fromUtf8(c.check); }));
            if (c.dialog == Dialog::Parameters) {
                // The loop count, centred and typed into.
                EXPECT_TRUE(has<QLineEdit>(d, [](QLineEdit* e) {
                    return e->text() == "10" && (e->alignment() & Qt::AlignHCenter) && !e->isReadOnly();
                }));
            } else if (c.dialog == Dialog::Chain) {
                EXPECT_NE(d.findChild<QListWidget*>(), nullptr);
                EXPECT_FALSE(findButton(d, "OK")->isEnabled());
            } else {
                EXPECT_TRUE(has<QLabel>(d, [](QLabel* label) { return !label->pixmap().isNull(); }));
                EXPECT_FALSE(has<QLineEdit>(d, [](auto* f) { return f->isVisible() && f->text() == "???"; }))
                    << "a row left unread; see the picture";
                EXPECT_TRUE(d.findChild<QProgressBar*>()->isVisible());
            }
            EXPECT_TRUE(d.grab().save(screenshotPath(c.picture), "PNG"));
            ok ? choose(d, "English", 1, "French", true) : void(d.close());
        });
        const std::string ini = t.program.startupDirectory + kSettingsFileName;
        EXPECT_EQ(fs::exists(ini), ok);
        if (!ok) continue;
        QApplication::processEvents();
        QStringList titles;
        for (QAction* a : t.window->findChild<QMenuBar*>()->actions()) titles << a->text();
        EXPECT_EQ(titles, (QStringList{"Script", "Images", "Configuration", "?"}));
        EXPECT_EQ(itemTexts(*t.window, {kConnectButton, kCameraField}),
                  (std::vector<std::string>{"Connecter", "Déconnecté"}));
        EXPECT_EQ(t.window->listText(kSaveToList, 1), "Appareil");
        for (const auto& [list, selected] : kept) EXPECT_EQ(t.window->listSelection(list), selected) << list;
        EXPECT_NE(readText(ini).find("Script editor="), std::string::npos) << "keys stay English";
        EXPECT_EQ(cancelOfLoad(t, "Charger"), "Annuler");
        fs::remove(ini);
        t.choose("Paramètres", [](QDialog& d) { choose(d, "Français", 0, "Anglais", false); });
        EXPECT_EQ(std::pair(t.program.language, fs::exists(ini)), std::pair(int{kFrench}, false));
        t.choose("Paramètres", [](QDialog& d) { choose(d, "Français", 0, "Anglais", true); });
        EXPECT_EQ(t.window->itemText(kConnectButton), "Connect");
    }
}

// Load through the platform's own file dialog: the catalogue's filter as Qt writes it, the script's folder,
// and Qt's buttons in English again in a program started after another one changed to French. Then the
// chain: scripts added through Qt's file dialog stand in its list in that order, the one the user selects
// moves up, and OK links them as the list shows them.
TEST(DialogsOffscreen, LoadChoosesTheScriptInAFileDialogAndChainLinksTheScriptsAsTheListShowsThem) {
    ProgramWindow t(kEnglish);
    t.start();
    EXPECT_EQ(cancelOfLoad(t, "Load"), "Cancel");
    const auto script = [&t](const char* name) { return t.folder.write(name, kScriptHeader + "10\n"); };
    t.choose("Load", [&](QDialog& d) {
        auto* files = qobject_cast<QFileDialog*>(&d);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), "Orvex - Load script file");
        EXPECT_EQ(files->nameFilters(), QStringList{"Orvex script file (*.txt)"});
        EXPECT_EQ(files->directory().absolutePath() + "/",
                  QString::fromStdString(t.program.startupDirectory));
        files->selectFile(QString::fromStdString(script("night.txt")));
        d.accept(); // as the Open button does
    });
    EXPECT_EQ(t.program.script.path, t.folder.path() + "/night.txt");
    t.choose("Chain", [&](QDialog& d) {
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            whenModal(&d, [&](QDialog& files) {
                qobject_cast<QFileDialog*>(&files)->selectFile(QString::fromStdString(script(name)));
                files.accept();
            });
            findButton(d, "Add")->click();
        }
        auto* list = d.findChild<QListWidget*>();
        ASSERT_EQ(list->count(), 3);
        list->setCurrentRow(2);
        findButton(d, "Up")->click();
        EXPECT_EQ((QStringList{list->item(0)->text(), list->item(1)->text(), list->item(2)->text()}),
                  (QStringList{"a", "c", "b"}));
        EXPECT_EQ(list->currentRow(), 1) << "the moved script stays selected";
        findButton(d, "OK")->click();
    });
    const auto read = [&t](const char* name) { return readText(t.folder.path() + "/" + name); };
    EXPECT_EQ(read("a.next") + read("c.next") + read("b.prev"), "c.txtb.txtc.txt");
}

} // namespace
} // namespace orvex::test
