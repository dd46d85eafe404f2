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

using GphotoProperties = EmulatedBody;

// Each code is told to the body as the library's own label and reads back as the same code. Every code the
// program's tables send is shot at the photographer's name of it, but where the library rounds otherwise:
// 1/160 is never shot at 1/125.
TEST_F(GphotoProperties, WritesTheLibrarysLabelAndReadsTheSameCodeBack) {
    struct Case {
        EdsPropertyID property;
        EdsUInt32 code;
        std::string written; // what the body was told
    };
    std::vector<Case> cases = {
        {kEdsPropID_Tv, 0x0C, "shutterspeed bulb"},
        {kEdsPropID_Tv, 0x15, "shutterspeed 20"}, // the other code of the program's "20"
        {kEdsPropID_ISOSpeed, 0x00, "iso Auto"},
        {kEdsPropID_ISOSpeed, 0x3A, "iso Unknown value 003a"}, // a code the library has no label for
        {kEdsPropID_ImageQuality, 0x0064FF0F, "imageformat RAW"},
        {kEdsPropID_ImageQuality, 0x0013FF0F, "imageformat Large Fine JPEG"},
        {kEdsPropID_ImageQuality, 0x0112FF0F, "imageformat Medium Normal JPEG"},
        {kEdsPropID_ImageQuality, 0x00640013, "imageformat RAW + Large Fine JPEG"},
        {kEdsPropID_AFMode, 3, "focusmode Manual"},
        {kEdsPropID_AFMode, 0, "focusmode One Shot"},
        {kEdsPropID_DriveMode, 1, "drivemode Continuous"},
        {kEdsPropID_SaveTo, kEdsSaveTo_Host, "capturetarget Memory card"}, // then brought over
        {kEdsPropID_SaveTo, kEdsSaveTo_Camera, "capturetarget Memory card"}};
    const std::map<std::pair<EdsPropertyID, EdsUInt32>, std::string> roundedOtherwise = {
        {{kEdsPropID_Av, 0x6D}, "81"}, {{kEdsPropID_Tv, 0x14}, "20.3"}, {{kEdsPropID_Tv, 0x23}, "6.3"}};
    const ValueTables tables = makeValueTables();
    for (const auto& [property, table, widget] : {std::tuple{kEdsPropID_Av, &tables.aperture, "aperture "},
                                                  std::tuple{kEdsPropID_Tv, &tables.shutter, "shutterspeed "},
                                                  std::tuple{kEdsPropID_ISOSpeed, &tables.iso, "iso "}})
        for (std::size_t row = 1; row < table->size(); ++row) {
            const ValueRow& r = (*table)[row];
            const auto rounded = roundedOtherwise.find({property, r.code});
            cases.push_back(
                {property, r.code, widget + (rounded == roundedOtherwise.end() ? r.name : rounded->second)});
        }
    reopen(k700D, "every-value"); // the body takes every label the library has
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        set(c.property, c.code);
        EXPECT_EQ(get(c.property), c.code);
        EXPECT_EQ(actions().back(), "set " + c.written);
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

// The choices the body offers, and the facts of the information dialog (the camera list itself is
// orvex-cli's "cameras" test).
TEST_F(GphotoProperties, OffersTheChoicesAndReadsTheFactsOfTheBody) {
    open();
    const struct {
        EdsPropertyID property;
        int count, at; // the number of choices (0: any), and where the choice stands (-1: the last)
        EdsInt32 code;
    } choices[] = {{kEdsPropID_Av, 16, 0, 0x28},
                   {kEdsPropID_Av, 16, 15, 0x50}, // f/4 to f/22
                   {kEdsPropID_Tv, 0, 0, 0x0C},
                   {kEdsPropID_Tv, 0, -1, 0x98},       // bulb to 1/4000
                   {kEdsPropID_ISOSpeed, 0, 1, 0x48}}; // 100 after Auto
    for (const auto& c : choices) {
        EdsPropertyDesc desc{};
        ASSERT_EQ(EdsGetPropertyDesc(camera, c.property, &desc), EDS_ERR_OK) << c.property;
        EXPECT_EQ(c.count ? desc.numElements : 0, c.count) << c.property;
        EXPECT_EQ(desc.propDesc[c.at < 0 ? desc.numElements - 1 : c.at], c.code) << c.property << " " << c.at;
    }
    EdsDeviceInfo info{};
    ASSERT_EQ(EdsGetDeviceInfo(camera, &info), EDS_ERR_OK);
    EXPECT_NE(info.deviceSubType, 0u) << "not the older protocol";
    const char owner[] = "Ada";
    ASSERT_EQ(EdsSetPropertyData(camera, kEdsPropID_OwnerName, 0, sizeof owner, owner), EDS_ERR_OK);
    for (const auto& [property, shown] : {std::pair{kEdsPropID_ProductName, "Canon EOS 700D"},
                                          {kEdsPropID_BodyIDEx, "083021004217"},
                                          {kEdsPropID_FirmwareVersion, "3-1.1.4"},
                                          {kEdsPropID_OwnerName, owner}}) {
        char text[80] = {};
        ASSERT_EQ(EdsGetPropertyData(camera, property, 0, sizeof text, text), EDS_ERR_OK) << property;
        EXPECT_STREQ(text, shown);
    }
    // The battery's texts read as percent; an empty card slot is no card, not a full one.
    const struct {
        const char* faults;
        EdsPropertyID property;
        EdsUInt32 value;
    } numbers[] = {{"", kEdsPropID_BatteryLevel, 75},
                   {"", kEdsPropID_LensStatus, 1},
                   {"", kEdsPropID_AvailableShots, 812},
                   {"", kEdsPropID_AEMode, 3},
                   {"battery=100%", kEdsPropID_BatteryLevel, 100},
                   {"battery=50%", kEdsPropID_BatteryLevel, 50},
                   {"battery=Low", kEdsPropID_BatteryLevel, 10},
                   {"card-full", kEdsPropID_AvailableShots, 0},
                   {"no-card", kEdsPropID_AvailableShots, kEdsAvailableShots_NoCard}};
    for (const auto& n : numbers) {
        if (*n.faults) reopen(k700D, n.faults);
        EXPECT_EQ(get(n.property), n.value) << n.faults << " " << n.property;
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
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        const long offset = localtime_r(&now, &local)->tm_gmtoff / 60;
        std::thread reader([&] {
            for (; !done; ++reads) {
                const CivilTime local = clock.localTime(), universal = clock.universalTime();
                const int minutes = (local.hour - universal.hour) * 60 + local.minute - universal.minute;
                // The two readings may straddle a minute; a zone moved is half an hour at least.
                const int off = (minutes - offset + 1440 * 2) % 1440;
                if (off > 1 && off < 1439) ++wrong;
            }
        });
        // A loaded machine may not run the reader before the writes end.
        while (reads == 0) std::this_thread::yield();
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(EdsSetPropertyData(camera, kEdsPropID_DateTime, 0, sizeof c.set, &c.set), EDS_ERR_OK);
        done = true;
        reader.join();
        EXPECT_EQ(wrong, 0);
        EXPECT_THAT(actions(), ::testing::Contains(std::string("clock ") + c.shown));
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
