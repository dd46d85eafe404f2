// The camera information dialog and the camera's clock set from the Settings menu, against a fake body.
#include "camera/camera_clock.h"
#include "camera/camera_info_dialog.h"
#include "resources/camera_info_dialog.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
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

TEST(CameraClock, OneSecondLaterCarriesIntoTheDate) {
    const struct {
        CivilTime now;
        EdsTime sent;
    } cases[] = {
        {{2026, 12, 31, 23, 59, 59, 500}, {2027, 1, 1, 0, 0, 0, 500}},
        {{2024, 2, 28, 23, 59, 59, 0}, {2024, 2, 29, 0, 0, 0, 0}},
        {{2023, 2, 28, 23, 59, 59, 999}, {2023, 3, 1, 0, 0, 0, 999}},
        {{2026, 6, 15, 10, 20, 30, 1}, {2026, 6, 15, 10, 20, 31, 1}},
    };
    for (const auto& c : cases) EXPECT_EQ(text(cameraClockTime(c.now)), text(c.sent));
}

using CameraClockMenu = FakeCameraFixture;

TEST_F(CameraClockMenu, SetTimeWritesTheBodysClockAndTellsTheOutcome) {
    connect();
    // 31 December 1970, 23:59:59.500 on the virtual clock, which starts on 1 January.
    t.clock.advance((364LL * 86400 + 86399) * 1000 + 500);
    for (const int command : {kMenuSetTimeLT, kMenuSetTimeUT}) {
        body->forget();
        w.click(command);
        ASSERT_EQ(body->writes.size(), 1u);
        const auto& [id, param, value] = body->writes[0];
        EXPECT_EQ(id, kEdsPropID_DateTime);
        EXPECT_EQ(text(std::get<EdsTime>(value)), "1971-01-01 00:00:00.500");
        const MessageBoxRecord& box = w.messageBoxes().back();
        EXPECT_EQ(box.text, "Camera date & time updated with success !");
        EXPECT_EQ(box.caption, "Success");
        EXPECT_EQ(box.icon, BoxIcon::Warning);
    }
    body->busyProperties.insert(kEdsPropID_DateTime);
    w.click(kMenuSetTimeLT);
    EXPECT_EQ(w.messageBoxes().back().text, "Unable to update camera date & time !");
    EXPECT_EQ(w.messageBoxes().back().caption, "Error");
    EXPECT_EQ(w.messageBoxes().back().icon, BoxIcon::Error);
}

struct InfoDialog : FakeCameraFixture {
    void SetUp() override {
        FakeCameraFixture::SetUp();
        body->set(kEdsPropID_BodyIDEx, std::string("0287654321"));
        body->set(kEdsPropID_ProductName, std::string("Canon EOS 5D Mark III"));
        body->set(kEdsPropID_FirmwareVersion, std::string("1.2.3"));
        body->set(kEdsPropID_OwnerName, std::string("Ann"));
        body->set(kEdsPropID_AEMode, EdsUInt32{3});
        body->set(kEdsPropID_LensStatus, EdsUInt32{1});
        body->set(kEdsPropID_AFMode, EdsUInt32{0});
        body->set(kEdsPropID_AvailableShots, EdsUInt32{120});
        body->set(kEdsPropID_DateTime, EdsTime{2026, 3, 4, 5, 6, 7, 0});
        body->set(kEdsPropID_BatteryLevel, EdsUInt32{80});
        connect();
        p.aeModeIcons = {{"Mode_Manual.ico", "/icons/Mode_Manual.ico"},
                         {"Mode_Unknown.ico", "/icons/Mode_Unknown.ico"}};
    }
    // Opens the dialog from the menu and lets `act` look at it and change the body between refreshes.
    void open(const std::function<void(HeadlessWindow&)>& act) {
        w.onModal = act;
        w.click(kMenuCamera);
        EXPECT_EQ(w.modalsRun().back(), "CAMERA_INFO_DIALOG");
    }
};

TEST_F(InfoDialog, ShowsEveryFactAndRefreshesEverySecond) {
    open([&](HeadlessWindow& d) {
        const std::pair<int, std::string> shown[] = {
            {kBodyIdField, "0287654321"},
            {kProductNameField, "Canon EOS 5D Mark III"},
            {kFirmwareField, "1.2.3"},
            {kOwnerField, "Ann"},
            {kAeModeIcon, "/icons/Mode_Manual.ico"},
            {kLensField, "Yes"},
            {kAutofocusField, "On"},
            {kCardField, "Yes"},
            {kCameraClockField, "2026-03-04   05:06:07"},
        };
        for (const auto& [id, text] : shown) EXPECT_EQ(d.itemText(id), text) << id;
        EXPECT_EQ(d.timerPeriod(kTimerCameraInfo), 1000u);

        // Every read fails, the aperture's too, which stands in for the lens status: each row falls back
        // on its own.
        for (const auto& [key, value] : body->properties) body->busyProperties.insert(key.first);
        body->busyProperties.insert(kEdsPropID_Av);
        t.clock.advance(1000);
        for (int id : {kBodyIdField, kProductNameField, kFirmwareField, kOwnerField, kAutofocusField,
                       kCardField, kCameraClockField})
            EXPECT_EQ(d.itemText(id), "???") << id;
        EXPECT_EQ(d.itemText(kAeModeIcon), "/icons/Mode_Unknown.ico");
        EXPECT_EQ(d.itemText(kLensField), "No");
        body->busyProperties.clear();
        body->set(kEdsPropID_AFMode, EdsUInt32{3});
        body->set(kEdsPropID_AvailableShots, EdsUInt32{0xFFFFFFFF});
        body->set(kEdsPropID_AEMode, EdsUInt32{16});
        t.clock.advance(1000);
        EXPECT_EQ(d.itemText(kAutofocusField), "Off");
        EXPECT_EQ(d.itemText(kCardField), "No") << "no card";
        EXPECT_EQ(d.itemText(kAeModeIcon), "/icons/Mode_Unknown.ico");
        d.click(kOkCommand);
        EXPECT_TRUE(d.dialogEnded());
        EXPECT_FALSE(d.hasTimer(kTimerCameraInfo));
    });
}

TEST_F(InfoDialog, TheBatteryShowsItsLevelInColourOrATextInItsPlace) {
    const struct {
        std::optional<EdsUInt32> level; // nothing: unreadable
        const char* text;               // empty: the bar shows
        Rgb colour;
    } cases[] = {
        {0xFFFFFFFF, "AC Power", {}}, {std::nullopt, "???", {}}, {10, "", {255, 128, 0}},
        {11, "", {255, 255, 0}},      {30, "", {255, 255, 0}},   {31, "", {0, 255, 0}},
        {100, "", {0, 255, 0}}, // a full battery
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.level)
            body->set(kEdsPropID_BatteryLevel, *c.level);
        else
            body->properties.erase({kEdsPropID_BatteryLevel, 0});
        open([&](HeadlessWindow& d) {
            const bool bar = *c.text == '\0';
            EXPECT_EQ(d.isItemShown(kBatteryBar), bar);
            EXPECT_EQ(d.isItemShown(kBatteryField), !bar);
            if (bar) {
                EXPECT_EQ(d.progress(kBatteryBar), static_cast<int>(*c.level));
                EXPECT_EQ(d.progressColour(kBatteryBar), c.colour);
            } else {
                EXPECT_EQ(d.itemText(kBatteryField), c.text);
            }
        });
    }
}

TEST_F(InfoDialog, ClosesWhenTheBodyGoesAndTellsNothingInSimulation) {
    open([&](HeadlessWindow& d) {
        disconnectCamera(p, w);
        EXPECT_FALSE(d.dialogEnded());
        t.clock.advance(1000);
        EXPECT_TRUE(d.dialogEnded());
    });
    p.options.simulation = true;
    p.camera.connected = true;
    updateMainControls(p.mainView(), w);
    open([&](HeadlessWindow& d) {
        EXPECT_EQ(d.itemText(kBatteryLabel), "Battery level");
        EXPECT_EQ(d.itemText(kProductNameField), "");
        EXPECT_FALSE(d.hasTimer(kTimerCameraInfo));
    });
    p.camera.connected = false;
}

} // namespace
} // namespace orvex::test
