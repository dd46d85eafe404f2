// The camera's clock set from the Settings menu, against a fake body.
#include "camera/camera_clock.h"
#include "tests/support/fake_camera.h"

#include <gtest/gtest.h>

#include <cstdio>
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

} // namespace
} // namespace orvex::test
