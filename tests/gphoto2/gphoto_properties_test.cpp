// Properties of a real body through libgphoto2: codes written become the library's labels and read back
// as the same codes; what a body refuses comes back as the code the program handles.
#include "tests/gphoto2/emulated_body.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cstring>
#include <ostream>

namespace orvex::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

using GphotoCameraList = EmulatedBody;

TEST_F(GphotoCameraList, ListsTheDetectedBodiesByModelAndPort) {
    useEmulatedBodies(home, std::string(k700D) + "," + k5DMarkIII);
    EdsCameraListRef list = nullptr;
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    EdsUInt32 count = 0;
    EdsGetChildCount(list, &count);
    std::vector<std::string> found;
    for (EdsUInt32 i = 0; i < count; ++i) {
        EdsCameraRef body = nullptr;
        EdsGetChildAtIndex(list, static_cast<EdsInt32>(i), &body);
        EdsDeviceInfo info{};
        EXPECT_EQ(EdsGetDeviceInfo(body, &info), EDS_ERR_OK);
        EXPECT_NE(info.deviceSubType, 0u);
        found.push_back(std::string(info.szDeviceDescription) + " @ " + info.szPortName);
        EdsRelease(body);
    }
    EdsRelease(list);
    EXPECT_THAT(found, ElementsAre("Canon EOS 700D @ usb:001,001", "Canon EOS 5D Mark III @ usb:001,002"));

    useEmulatedBodies(home, "");
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    EdsGetChildCount(list, &count);
    EXPECT_EQ(count, 0u);
    EdsRelease(list);
}

struct Mapping {
    EdsPropertyID property;
    EdsUInt32 code;
    const char* written; // what the body was told
};

void PrintTo(const Mapping& m, std::ostream* out) {
    *out << m.written << " (0x" << std::hex << m.code << ")";
}

class GphotoPropertyMapping : public EmulatedBody, public ::testing::WithParamInterface<Mapping> {};

TEST_P(GphotoPropertyMapping, WritesTheLibrarysLabelAndReadsTheSameCodeBack) {
    const Mapping m = GetParam();
    open();
    ASSERT_EQ(EdsSetPropertyData(camera, m.property, 0, sizeof m.code, &m.code), EDS_ERR_OK);
    EdsUInt32 read = 0xDEADBEEF;
    ASSERT_EQ(EdsGetPropertyData(camera, m.property, 0, sizeof read, &read), EDS_ERR_OK);
    EXPECT_EQ(read, m.code);
    EXPECT_THAT(actions(), Contains(m.written));
}

INSTANTIATE_TEST_SUITE_P(
    EveryWidget, GphotoPropertyMapping,
    ::testing::Values(Mapping{kEdsPropID_Av, 0x30, "set aperture 5.6"},
                      Mapping{kEdsPropID_Av, 0x2B, "set aperture 4.5"},
                      Mapping{kEdsPropID_Tv, 0x78, "set shutterspeed 1/250"},
                      Mapping{kEdsPropID_Tv, 0x0C, "set shutterspeed bulb"},
                      Mapping{kEdsPropID_Tv, 0x15, "set shutterspeed 20"},
                      Mapping{kEdsPropID_Tv, 0x10, "set shutterspeed 30"},
                      Mapping{kEdsPropID_ISOSpeed, 0x68, "set iso 1600"},
                      Mapping{kEdsPropID_ISOSpeed, 0x00, "set iso Auto"},
                      Mapping{kEdsPropID_ImageQuality, 0x0064FF0F, "set imageformat RAW"},
                      Mapping{kEdsPropID_ImageQuality, 0x0013FF0F, "set imageformat Large Fine JPEG"},
                      Mapping{kEdsPropID_ImageQuality, 0x0112FF0F, "set imageformat Medium Normal JPEG"},
                      Mapping{kEdsPropID_ImageQuality, 0x00640013, "set imageformat RAW + Large Fine JPEG"},
                      Mapping{kEdsPropID_AFMode, 3, "set focusmode Manual"},
                      Mapping{kEdsPropID_AFMode, 0, "set focusmode One Shot"},
                      Mapping{kEdsPropID_DriveMode, 1, "set drivemode Continuous"},
                      Mapping{kEdsPropID_SaveTo, kEdsSaveTo_Host, "set capturetarget Internal RAM"},
                      Mapping{kEdsPropID_SaveTo, kEdsSaveTo_Camera, "set capturetarget Memory card"}));

struct Refusal {
    EdsPropertyID property;
    EdsUInt32 code;
    EdsError expected;
};

void PrintTo(const Refusal& r, std::ostream* out) {
    *out << "property 0x" << std::hex << r.property << " code 0x" << r.code;
}

class GphotoPropertyRefusal : public EmulatedBody, public ::testing::WithParamInterface<Refusal> {};

TEST_P(GphotoPropertyRefusal, AnswersWithTheCodeTheProgramHandles) {
    const Refusal r = GetParam();
    open();
    EXPECT_EQ(EdsSetPropertyData(camera, r.property, 0, sizeof r.code, &r.code), r.expected);
}

INSTANTIATE_TEST_SUITE_P(WhatTheBodyRefuses, GphotoPropertyRefusal,
                         ::testing::Values(
                             // A value the lens or body does not offer, known to the library or not.
                             Refusal{kEdsPropID_Av, 0x08, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                             Refusal{kEdsPropID_Tv, 0x9D, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                             Refusal{kEdsPropID_Tv, 0xFFFF, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                             Refusal{kEdsPropID_ImageQuality, 0x12345678, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                             Refusal{kEdsPropID_SaveTo, 3, EDS_ERR_INVALID_DEVICEPROP_VALUE},
                             // The mode dial is the photographer's.
                             Refusal{kEdsPropID_AEMode, 1, EDS_ERR_NOT_SUPPORTED},
                             Refusal{kEdsPropID_BatteryLevel, 50, EDS_ERR_NOT_SUPPORTED},
                             // Not reachable through the library.
                             Refusal{kEdsPropID_CFn, 1, EDS_ERR_PROPERTIES_UNAVAILABLE}));

using GphotoProperties = EmulatedBody;

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

TEST_F(GphotoProperties, ReadsTheFactsOfTheInformationDialog) {
    open();
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

TEST_F(GphotoProperties, SetsTheClockToTheSecond) {
    open();
    for (const EdsTime set : {EdsTime{2027, 1, 1, 0, 0, 0, 500}, EdsTime{2026, 7, 14, 23, 59, 30, 0}}) {
        ASSERT_EQ(EdsSetPropertyData(camera, kEdsPropID_DateTime, 0, sizeof set, &set), EDS_ERR_OK);
        EdsTime read{};
        ASSERT_EQ(EdsGetPropertyData(camera, kEdsPropID_DateTime, 0, sizeof read, &read), EDS_ERR_OK);
        // The body counts whole seconds; a second may pass between writing and reading.
        EXPECT_EQ(std::tie(read.year, read.month, read.day, read.hour, read.minute),
                  std::tie(set.year, set.month, set.day, set.hour, set.minute));
        EXPECT_LE(read.second - set.second, 1u);
    }
}

} // namespace
} // namespace orvex::test
