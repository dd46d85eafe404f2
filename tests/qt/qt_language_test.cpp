// Qt's own dialogs speak the program's language: the file dialog of Load, with its standard buttons, before
// and after the Parameters change the language, and in a program started in the other one.
#include "tests/qt/program_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

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

TEST(QtLanguage, TheFileDialogFollowsTheProgramsLanguage) {
    {
        ProgramWindow t(kEnglish);
        t.start();
        EXPECT_EQ(cancelOfLoad(t, "Load"), "Cancel");
        t.choose("Parameters", [](QDialog& d) {
            for (QComboBox* list : d.findChildren<QComboBox*>())
                if (list->currentText() == "English") list->setCurrentIndex(1);
            for (QPushButton* b : d.findChildren<QPushButton*>())
                if (b->text() == "OK") b->click();
        });
        EXPECT_EQ(cancelOfLoad(t, "Charger"), "Annuler");
    }
    ProgramWindow t(kEnglish);
    t.start();
    EXPECT_EQ(cancelOfLoad(t, "Load"), "Cancel");
}

} // namespace
} // namespace orvex::test
