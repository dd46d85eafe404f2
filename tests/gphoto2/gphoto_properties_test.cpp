// Properties of a real body through libgphoto2: codes written become the library's labels and read back
// as the same codes; what a body refuses comes back as the code the program handles.
#include "core/value_tables.h"
#include "platform/system_clock.h"
#include "tests/gphoto2/emulated_body.h"
#include "tests/support/scoped_env.h"

#include <gmock/gmock.h>

#include <atomic>
#include <ctime>
#include <map>
#include <thread>
#include <tuple>

namespace orvex::test {
namespace {

using ::testing::Contains;

using GphotoProperties = EmulatedBody;

TEST_F(GphotoProperties, WritesTheLibrarysLabelAndReadsTheSameCodeBack) {
    const struct {
        EdsPropertyID property;
        EdsUInt32 code;
        const char* written; // what the body was told
    } cases[] = {{kEdsPropID_Tv, 0x0C, "set shutterspeed bulb"},
                 {kEdsPropID_Tv, 0x15, "set shutterspeed 20"}, // the other code of the program's "20"
                 {kEdsPropID_ISOSpeed, 0x00, "set iso Auto"},
                 {kEdsPropID_ImageQuality, 0x0064FF0F, "set imageformat RAW"},
                 {kEdsPropID_ImageQuality, 0x0013FF0F, "set imageformat Large Fine JPEG"},
                 {kEdsPropID_ImageQuality, 0x0112FF0F, "set imageformat Medium Normal JPEG"},
                 {kEdsPropID_ImageQuality, 0x00640013, "set imageformat RAW + Large Fine JPEG"},
                 {kEdsPropID_AFMode, 3, "set focusmode Manual"},
                 {kEdsPropID_AFMode, 0, "set focusmode One Shot"},
                 {kEdsPropID_DriveMode, 1, "set drivemode Continuous"},
                 {kEdsPropID_SaveTo, kEdsSaveTo_Host, "set capturetarget Memory card"}, // then brought over
                 {kEdsPropID_SaveTo, kEdsSaveTo_Camera, "set capturetarget Memory card"}};
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        const std::size_t told = actions().size();
        set(c.property, c.code);
        EdsUInt32 read = 0xDEADBEEF;
        ASSERT_EQ(EdsGetPropertyData(camera, c.property, 0, sizeof read, &read), EDS_ERR_OK);
        EXPECT_EQ(read, c.code);
        const std::vector<std::string> log = actions();
        EXPECT_THAT(std::vector(log.begin() + static_cast<long>(told), log.end()), Contains(c.written));
    }
}

// Every code the program's tables send is shot at the library's own label, the photographer's name but
// where the library rounds otherwise, and reads back as the same code: 1/160 is never shot at 1/125.
TEST_F(GphotoProperties, EveryExposureCodeOfTheProgramIsShotAtTheLibrarysOwnLabel) {
    const std::map<std::pair<EdsPropertyID, EdsUInt32>, std::string> roundedOtherwise = {
        {{kEdsPropID_Av, 0x6D}, "81"}, {{kEdsPropID_Tv, 0x14}, "20.3"}, {{kEdsPropID_Tv, 0x23}, "6.3"}};
    const ValueTables tables = makeValueTables();
    const struct {
        EdsPropertyID property;
        const ValueTable& table;
        std::string widget;
    } columns[] = {{kEdsPropID_Av, tables.aperture, "aperture"},
                   {kEdsPropID_Tv, tables.shutter, "shutterspeed"},
                   {kEdsPropID_ISOSpeed, tables.iso, "iso"}};
    reopen(k700D, "every-value");
    for (const auto& column : columns) {
        for (std::size_t row = 1; row < column.table.size(); ++row) {
            const ValueRow& r = column.table[row];
            const auto rounded = roundedOtherwise.find({column.property, r.code});
            const std::string label = rounded == roundedOtherwise.end() ? r.name : rounded->second;
            SCOPED_TRACE(column.widget + " " + r.name);
            set(column.property, r.code);
            EXPECT_EQ(actions().back(), "set " + column.widget + " " + label);
            EdsUInt32 read = 0xDEADBEEF;
            ASSERT_EQ(EdsGetPropertyData(camera, column.property, 0, sizeof read, &read), EDS_ERR_OK);
            EXPECT_EQ(read, r.code);
        }
    }
}

TEST_F(GphotoProperties, AnswersWhatTheBodyRefusesWithTheCodeTheProgramHandles) {
    const struct {
        EdsPropertyID property;
        EdsUInt32 code;
        EdsError expected;
    } cases[] = {// A value the lens or body does not offer, known to the library or not.
                 {kEdsPropID_Av, 0x08, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                 {kEdsPropID_Tv, 0x9D, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                 {kEdsPropID_Tv, 0xFFFF, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                 {kEdsPropID_ImageQuality, 0x12345678, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                 {kEdsPropID_SaveTo, 3, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                 // The mode dial is the photographer's.
                 {kEdsPropID_AEMode, 1, EDS_ERR_NOT_SUPPORTED},
                 {kEdsPropID_BatteryLevel, 50, EDS_ERR_NOT_SUPPORTED},
                 // Not reachable through the library.
                 {kEdsPropID_CFn, 1, EDS_ERR_PROPERTIES_UNAVAILABLE}};
    open();
    for (const auto& c : cases)
        EXPECT_EQ(EdsSetPropertyData(camera, c.property, 0, sizeof c.code, &c.code), c.expected)
            << std::hex << c.property << " " << c.code;
}

TEST_F(GphotoProperties, OffersTheChoicesOfTheBody) {
    open();
    EdsPropertyDesc desc{};
    ASSERT_EQ(EdsGetPropertyDesc(camera, kEdsPropID_Av, &desc), EDS_ERR_OK);
    ASSERT_EQ(desc.numElements, 16);
    EXPECT_EQ(desc.propDesc[0], 0x28);  // f/4
    EXPECT_EQ(desc.propDesc[15], 0x50); // f/22
    ASSERT_EQ(EdsGetPropertyDesc(camera, kEdsPropID_Tv, &desc), EDS_ERR_OK);
    EXPECT_EQ(desc.propDesc[0], 0x0C);                    // bulb
    EXPECT_EQ(desc.propDesc[desc.numElements - 1], 0x98); // 1/4000
    ASSERT_EQ(EdsGetPropertyDesc(camera, kEdsPropID_ISOSpeed, &desc), EDS_ERR_OK);
    EXPECT_EQ(desc.propDesc[1], 0x48); // 100 after Auto
}

// The camera list itself is orvex-cli's "cameras" test.
TEST_F(GphotoProperties, ReadsTheFactsOfTheInformationDialog) {
    open();
    EdsDeviceInfo info{};
    ASSERT_EQ(EdsGetDeviceInfo(camera, &info), EDS_ERR_OK);
    EXPECT_NE(info.deviceSubType, 0u) << "not the older protocol";
    char text[80] = {};
    ASSERT_EQ(EdsGetPropertyData(camera, kEdsPropID_ProductName, 0, sizeof text, text), EDS_ERR_OK);
    EXPECT_STREQ(text, "Canon EOS 700D");
    ASSERT_EQ(EdsGetPropertyData(camera, kEdsPropID_BodyIDEx, 0, sizeof text, text), EDS_ERR_OK);
    EXPECT_STREQ(text, "083021004217");
    ASSERT_EQ(EdsGetPropertyData(camera, kEdsPropID_FirmwareVersion, 0, sizeof text, text), EDS_ERR_OK);
    EXPECT_STREQ(text, "3-1.1.4");
    const char owner[] = "Ada";
    ASSERT_EQ(EdsSetPropertyData(camera, kEdsPropID_OwnerName, 0, sizeof owner, owner), EDS_ERR_OK);
    ASSERT_EQ(EdsGetPropertyData(camera, kEdsPropID_OwnerName, 0, sizeof text, text), EDS_ERR_OK);
    EXPECT_STREQ(text, "Ada");
    struct Number {
        EdsPropertyID property;
        EdsUInt32 value;
    };
    for (const Number n : {Number{kEdsPropID_BatteryLevel, 75}, Number{kEdsPropID_LensStatus, 1},
                           Number{kEdsPropID_AvailableShots, 812}, Number{kEdsPropID_AEMode, 3}}) {
        EdsUInt32 value = 0;
        EXPECT_EQ(EdsGetPropertyData(camera, n.property, 0, sizeof value, &value), EDS_ERR_OK) << n.property;
        EXPECT_EQ(value, n.value) << n.property;
    }
}

TEST_F(GphotoProperties, ReadsTheBatteryTextsAsPercent) {
    const struct {
        const char* shown;
        EdsUInt32 percent;
    } cases[] = {{"100%", 100}, {"50%", 50}, {"Low", 10}};
    for (const auto& c : cases) {
        reopen(k700D, std::string("battery=") + c.shown);
        EdsUInt32 percent = 0;
        EXPECT_EQ(EdsGetPropertyData(camera, kEdsPropID_BatteryLevel, 0, sizeof percent, &percent),
                  EDS_ERR_OK);
        EXPECT_EQ(percent, c.percent) << c.shown;
    }
}

// The body's clock is a wall clock without a zone: whatever the computer's zone, it shows what it was given.
// The library makes a moment of it through the process's time zone, where a spring-forward night has no
// 02:30 and an autumn night has two, and writes it with TZ set to UTC for a while: meanwhile, no other
// thread's local time comes out in UTC.
TEST_F(GphotoProperties, SetsTheClockToTheSecondInAnyZoneAndNoThreadsLocalTimeMovesMeanwhile) {
    const struct {
        const char* zone;
        EdsTime set;
        const char* shown;
        bool readBack; // the library reads a wall clock its zone skips as the hour after
    } cases[] = {{"UTC0", {2027, 1, 1, 0, 0, 0, 500}, "2027-01-01 00:00:00", true},
                 {"Europe/Paris", {2026, 7, 14, 23, 59, 30, 0}, "2026-07-14 23:59:30", true}, // summer time
                 {"America/New_York", {2026, 12, 24, 18, 0, 0, 0}, "2026-12-24 18:00:00", true},
                 {"Europe/Paris", {2026, 3, 29, 2, 30, 0, 0}, "2026-03-29 02:30:00", false},
                 {"Europe/Paris", {2026, 10, 25, 2, 30, 0, 0}, "2026-10-25 02:30:00", true}}; // lived twice
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        const ScopedEnv computer("TZ", c.zone);
        tzset();
        // Another thread reads the local time all along, as the run and the information dialog do.
        std::atomic<bool> done{false};
        std::atomic<int> reads{0}, wrong{0};
        const SystemClock clock;
        const int offset = [&] {
            const std::time_t now = std::time(nullptr);
            std::tm local{};
            localtime_r(&now, &local);
            return static_cast<int>(local.tm_gmtoff / 60);
        }();
        std::thread reader([&] {
            while (!done) {
                const CivilTime local = clock.localTime(), universal = clock.universalTime();
                const int minutes = (local.hour - universal.hour) * 60 + local.minute - universal.minute;
                if ((minutes - offset + 1440 * 2) % 1440 != 0) ++wrong;
                ++reads;
            }
        });
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(EdsSetPropertyData(camera, kEdsPropID_DateTime, 0, sizeof c.set, &c.set), EDS_ERR_OK);
        done = true;
        reader.join();
        EXPECT_GT(reads, 0);
        EXPECT_EQ(wrong, 0);
        EXPECT_THAT(actions(), Contains(std::string("clock ") + c.shown));
        if (!c.readBack) continue;
        EdsTime read{};
        ASSERT_EQ(EdsGetPropertyData(camera, kEdsPropID_DateTime, 0, sizeof read, &read), EDS_ERR_OK);
        // The body counts whole seconds; a second may pass between writing and reading.
        EXPECT_EQ(std::tie(read.year, read.month, read.day, read.hour, read.minute),
                  std::tie(c.set.year, c.set.month, c.set.day, c.set.hour, c.set.minute));
        EXPECT_LE(read.second - c.set.second, 1u);
    }
    tzset();
}

} // namespace
} // namespace orvex::test
