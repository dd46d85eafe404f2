// Qt's own dialogs speak the program's language: the file dialog of Load, with its standard buttons, after
// the program has spoken the other language.
#include "tests/qt/program_window.h"

#include <QDialogButtonBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

TEST(QtLanguage, TheFileDialogsButtonsSpeakTheProgramsLanguage) {
    const struct {
        int language;
        const char* load;
        const char* cancel;
    } cases[] = {
        {kFrench, "Charger", "Annuler"}, {kEnglish, "Load", "Cancel"}, {kFrench, "Charger", "Annuler"}};
    for (const auto& c : cases) {
        ProgramWindow t(c.language);
        t.start();
        t.choose(c.load, [&](QDialog& d) {
            auto* buttons = d.findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            ASSERT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);
            EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), c.cancel) << c.load;
            d.reject();
        });
    }
}

} // namespace
} // namespace orvex::test
