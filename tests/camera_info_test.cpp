// The camera information dialog and the camera's clock, against a fake body.
#include "camera/camera_clock.h"
#include "camera/camera_info_dialog.h"
#include "resources/camera_info_dialog.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace orvex::test {
namespace {

std::string text(const EdsTime& t) {
    char out[64];
    std::snprintf(out, sizeof out, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.milliseconds);
    return out;
}

// The body's clock is set one second ahead, by the computer's local or universal time: the second carries
// into the date, leap days included.
TEST(CameraClock, SetTimeWritesTheBodysClockAndTellsTheOutcome) {
    ConnectedSession s;
    const struct {
        CivilTime now;
        bool universal, busy;
        const char* sent;
    } cases[] = {// An hour east of Greenwich: local and universal time fall on different days.
                 {{2026, 12, 31, 23, 59, 59, 500}, false, false, "2027-01-01 00:00:00.500"},
                 {{2026, 12, 31, 23, 59, 59, 500}, true, false, "2026-12-31 23:00:00.500"},
                 {{2026, 12, 31, 23, 59, 59, 500}, false, true, "2027-01-01 00:00:00.500"},
                 {{2024, 2, 28, 23, 59, 59, 0}, false, false, "2024-02-29 00:00:00.000"},
                 {{2023, 2, 28, 23, 59, 59, 999}, false, false, "2023-03-01 00:00:00.999"},
                 {{2026, 6, 15, 10, 20, 30, 1}, false, false, "2026-06-15 10:20:31.001"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sent << " universal " << c.universal << " busy " << c.busy);
        s.body->forget();
        if (c.busy) s.body->busyProperties.insert(kEdsPropID_DateTime);
        setCameraClock(s.camera, VirtualClock(c.now, 60), kEnglish, s.w, c.universal);
        ASSERT_EQ(s.body->writes.size(), 1u);
        const auto& [id, param, value] = s.body->writes[0];
        EXPECT_EQ(std::pair(id, text(std::get<EdsTime>(value))),
                  std::pair(kEdsPropID_DateTime, std::string(c.sent)));
        const MessageBoxRecord& box = s.w.messageBoxes().back();
        EXPECT_EQ(std::tuple(box.text, box.caption, box.icon),
                  c.busy
                      ? std::tuple("Unable to update camera date & time !", "Error", BoxIcon::Error)
                      : std::tuple("Camera date & time updated with success !", "Success", BoxIcon::Warning));
        s.body->busyProperties.clear();
    }
}

// The dialog on a connected body: each property, what the dialog shows of it, and what it shows once the
// property cannot be read.
struct InfoDialog : ::testing::Test {
    InfoDialog() {
        for (const auto& [id, value, field, shown, unreadable] : facts) s.body->set(id, value);
        s.body->set(kEdsPropID_BatteryLevel, EdsUInt32{80});
        s.connect();
    }
    // Opens the dialog and lets `act` look at it and change the body between refreshes.
    void open(const std::function<void(HeadlessWindow&)>& act) {
        s.w.onModal = act;
        const CameraInfoView view{s.camera, icons, false, kEnglish};
        s.w.runModal(CAMERA_INFO_DIALOG,
                     [&view](Window& d, const DialogMessage& m) { cameraInfoProcedure(view, d, m); });
    }

    FakeSession s;
    const std::map<std::string, std::string> icons{{"Mode_Manual.ico", "/icons/Mode_Manual.ico"},
                                                   {"Mode_Unknown.ico", "/icons/Mode_Unknown.ico"}};
    const std::tuple<EdsPropertyID, sdk::PropertyValue, int, const char*, const char*> facts[9] = {
        {kEdsPropID_BodyIDEx, std::string("0287654321"), kBodyIdField, "0287654321", "???"},
        {kEdsPropID_ProductName, std::string("Canon EOS 5D Mark III"), kProductNameField,
         "Canon EOS 5D Mark III", "???"},
        {kEdsPropID_FirmwareVersion, std::string("1.2.3"), kFirmwareField, "1.2.3", "???"},
        {kEdsPropID_OwnerName, std::string("Ann"), kOwnerField, "Ann", "???"},
        {kEdsPropID_AEMode, EdsUInt32{3}, kAeModeIcon, "/icons/Mode_Manual.ico", "/icons/Mode_Unknown.ico"},
        // The aperture stands in for the lens status; neither can be read.
        {kEdsPropID_LensStatus, EdsUInt32{1}, kLensField, "Yes", "No"},
        {kEdsPropID_AFMode, EdsUInt32{0}, kAutofocusField, "On", "???"},
        {kEdsPropID_AvailableShots, EdsUInt32{120}, kCardField, "Yes", "???"},
        {kEdsPropID_DateTime, EdsTime{2026, 3, 4, 5, 6, 7, 0}, kCameraClockField, "2026-03-04   05:06:07",
         "???"}};
};

TEST_F(InfoDialog, ShowsEveryFactAndRefreshesEverySecond) {
    open([&](HeadlessWindow& d) {
        for (const auto& [id, value, field, shown, unreadable] : facts)
            EXPECT_EQ(d.itemText(field), shown) << id;
        EXPECT_EQ(d.timerPeriod(kTimerCameraInfo), 1000u);
        // Every read fails: each row falls back on its own.
        for (const auto& [key, value] : s.body->properties) s.body->busyProperties.insert(key.first);
        s.body->busyProperties.insert(kEdsPropID_Av);
        s.clock.advance(1000);
        for (const auto& [id, value, field, shown, unreadable] : facts)
            EXPECT_EQ(d.itemText(field), unreadable) << id;
        s.body->busyProperties.clear();
        s.body->set(kEdsPropID_AFMode, EdsUInt32{3});
        s.body->set(kEdsPropID_AvailableShots, EdsUInt32{0xFFFFFFFF});
        s.body->set(kEdsPropID_AEMode, EdsUInt32{16});
        s.clock.advance(1000);
        // No card, and a mode without an icon of its own.
        EXPECT_EQ(std::tuple(d.itemText(kAutofocusField), d.itemText(kCardField), d.itemText(kAeModeIcon)),
                  std::tuple("Off", "No", "/icons/Mode_Unknown.ico"));
        d.click(kOkCommand);
        EXPECT_TRUE(d.dialogEnded());
        EXPECT_FALSE(d.hasTimer(kTimerCameraInfo));
    });
    EXPECT_EQ(s.w.modalsRun().back(), "CAMERA_INFO_DIALOG");
}

TEST_F(InfoDialog, TheBatteryShowsItsLevelInColourOrATextInItsPlace) {
    const struct {
        std::optional<EdsUInt32> level; // nothing: unreadable
        const char* text;               // empty: the bar shows
        Rgb colour;
    } cases[] = {
        {0xFFFFFFFF, "AC Power", {}}, {std::nullopt, "???", {}}, {10, "", {255, 128, 0}},
        {30, "", {255, 255, 0}},      {100, "", {0, 255, 0}}, // a full battery
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level ? std::to_string(*c.level) : "unreadable");
        if (c.level)
            s.body->set(kEdsPropID_BatteryLevel, *c.level);
        else
            s.body->properties.erase({kEdsPropID_BatteryLevel, 0});
        open([&](HeadlessWindow& d) {
            const bool bar = *c.text == '\0';
            EXPECT_EQ(std::pair(d.isItemShown(kBatteryBar), d.isItemShown(kBatteryField)),
                      std::pair(bar, !bar));
            if (bar)
                EXPECT_EQ(std::pair(d.progress(kBatteryBar), d.progressColour(kBatteryBar)),
                          std::pair(static_cast<int>(*c.level), c.colour));
            else
                EXPECT_EQ(d.itemText(kBatteryField), c.text);
        });
    }
}

// In simulation it tells nothing: the main window's Camera menu test opens it so.
TEST_F(InfoDialog, ClosesWhenTheBodyGoes) {
    open([&](HeadlessWindow& d) {
        s.disconnect();
        EXPECT_FALSE(d.dialogEnded());
        s.clock.advance(1000);
        EXPECT_TRUE(d.dialogEnded());
    });
}

} // namespace
} // namespace orvex::test
