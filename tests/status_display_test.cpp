#include "camera/camera_connection.h"
#include "run/run_end.h"
#include "run/status_display.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

#include <tuple>

namespace orvex::test {
namespace {

// Rounding at each boundary, negative times, the longest wait.
TEST(StatusDisplay, RemainingTimeFormat) {
    for (const auto& [ms, text] : {std::pair{1499, "1"},
                                   {499, "0"},
                                   {-1499, "0"},
                                   {-1500, "-1"},
                                   {-61000, "-60"},
                                   {59500, "1:00"},
                                   {3599400, "59:59"},
                                   {3599500, "1:00:00"},
                                   {36061000, "10:01:01"},
                                   {2147483647, "596:31:24"}})
        EXPECT_EQ(formatRemaining(ms), text) << ms;
}

// A body's code, the program's own, one printed in hexadecimal, one no text names, and one in French.
TEST(StatusDisplay, ErrorTexts) {
    for (const auto& [language, code, text] :
         {std::tuple<int, std::int32_t, const char*>{kEnglish, 0x81, "camera busy"},
          {kEnglish, kErrorDownloadTimeout, "Cannot download image file !"},
          {kEnglish, kErrorSoundInput, "Error fffffff5"},
          {kEnglish, 0x1234, "Error 1234"},
          {kFrench, 0xC1, "Communication interrompue"}})
        EXPECT_EQ(errorText(language, code), text) << code;
    // A body gone between Connect's list and the choice is told as gone, not by its code.
    EXPECT_EQ(cannotAccessText(kFrench, EDS_ERR_DEVICE_NOT_FOUND),
              "Impossible d'accéder à l'Appareil !\rAppareil éteint ou débranché");
}

TEST(StatusDisplay, ErrorReportCaptionCarriesTheLocation) {
    for (auto [language, caption] :
         {std::pair{kEnglish, "Error (L3947)"}, std::pair{kFrench, "Erreur (L3947)"}}) {
        TestProgram t(language);
        t.start();
        reportError(t.program, t.window, kErrorDriveNotContinuous, 3947);
        ASSERT_EQ(t.window.messageBoxes().size(), 1u);
        EXPECT_EQ(std::tuple(t.window.messageBoxes()[0].caption, t.window.messageBoxes()[0].icon,
                             t.program.run.status, t.window.itemText(kStatusField)),
                  std::tuple(caption, BoxIcon::Error, RunStatus::kError,
                             language == kEnglish ? "Error" : "Erreur"));
    }
}

TEST(StatusDisplay, RemainingTimeReplacesTheLevelBarOnlyWhenTheTextChanges) {
    HeadlessWindow w([](Window&, const DialogMessage&) {});
    showRemaining(w, 5000);
    w.showItem(kLevelBar, true);
    w.showItem(kWaitField, false);
    showRemaining(w, 5200); // still "5"
    EXPECT_TRUE(w.isItemShown(kLevelBar));
    showRemaining(w, 4000);
    EXPECT_EQ(std::tuple(w.isItemShown(kLevelBar), w.isItemShown(kWaitField), w.itemText(kWaitField)),
              std::tuple(false, true, "4"));
}

} // namespace
} // namespace orvex::test
