#include "run/run_end.h"
#include "run/status_display.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

TEST(StatusDisplay, RemainingTimeFormat) {
    struct Case {
        int ms;
        const char* text;
    };
    // Rounding at each boundary, negative times, the longest wait.
    const Case cases[] = {{1499, "1"},
                          {499, "0"},
                          {-1499, "0"},
                          {-1500, "-1"},
                          {-61000, "-60"},
                          {59500, "1:00"},
                          {3599400, "59:59"},
                          {3599500, "1:00:00"},
                          {36061000, "10:01:01"},
                          {2147483647, "596:31:24"}};
    for (const Case& c : cases) EXPECT_EQ(formatRemaining(c.ms), c.text) << c.ms;
}

TEST(StatusDisplay, ErrorTexts) {
    struct Case {
        std::int32_t code;
        const char* english;
    };
    // A body's code, the program's own, one printed in hexadecimal, and one no text names.
    const Case cases[] = {{0x81, "camera busy"},
                          {kErrorDownloadTimeout, "Cannot download image file !"},
                          {kErrorSoundInput, "Error fffffff5"},
                          {0x1234, "Error 1234"}};
    for (const Case& c : cases) EXPECT_EQ(errorText(kEnglish, c.code), c.english) << c.code;
    EXPECT_EQ(errorText(kFrench, 0xC1), "Communication interrompue");
}

TEST(StatusDisplay, ErrorReportCaptionCarriesTheLocation) {
    for (auto [language, caption] :
         {std::pair{kEnglish, "Error (L3947)"}, std::pair{kFrench, "Erreur (L3947)"}}) {
        TestProgram t(language);
        t.start();
        reportError(t.program, t.window, kErrorDriveNotContinuous, 3947);
        ASSERT_EQ(t.window.messageBoxes().size(), 1u);
        EXPECT_EQ(t.window.messageBoxes()[0].caption, caption);
        EXPECT_EQ(t.window.messageBoxes()[0].icon, BoxIcon::Error);
        EXPECT_EQ(t.program.run.status, RunStatus::kError);
        EXPECT_EQ(t.window.itemText(kStatusField), language == kEnglish ? "Error" : "Erreur");
    }
}

TEST(StatusDisplay, RemainingTimeReplacesTheLevelBarOnlyWhenTheTextChanges) {
    TestProgram t;
    t.start();
    showRemaining(t.window, 5000);
    t.window.showItem(kLevelBar, true);
    t.window.showItem(kWaitField, false);
    showRemaining(t.window, 5200); // still "5"
    EXPECT_TRUE(t.window.isItemShown(kLevelBar));
    showRemaining(t.window, 4000);
    EXPECT_FALSE(t.window.isItemShown(kLevelBar));
    EXPECT_TRUE(t.window.isItemShown(kWaitField));
    EXPECT_EQ(t.window.itemText(kWaitField), "4");
}

} // namespace
} // namespace orvex::test
