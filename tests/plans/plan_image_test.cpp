#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plans/plan_fixtures.h"
#include "plans/test_plan.h"

namespace kova {
namespace {

std::string Field(const uint8_t* image, size_t offset, size_t width) {
  return std::string(reinterpret_cast<const char*>(image) + offset, width);
}

void ExpectSameTap(const PlanTap& a, const PlanTap& b) {
  EXPECT_DOUBLE_EQ(a.nNamePlateNum, b.nNamePlateNum);
  EXPECT_DOUBLE_EQ(a.fNamePlateDen, b.fNamePlateDen);
  EXPECT_EQ(a.tapid, b.tapid);
  EXPECT_EQ(a.uTestType, b.uTestType);
  EXPECT_DOUBLE_EQ(a.fVoltageRange, b.fVoltageRange);
  EXPECT_NEAR(a.fCurrentRange, b.fCurrentRange, 1e-9);
  EXPECT_EQ(a.szTestNote, b.szTestNote);
  EXPECT_EQ(a.bDoBurdenTest, b.bDoBurdenTest);
  EXPECT_NEAR(a.fBurdenVA, b.fBurdenVA, 1e-9);
  EXPECT_NEAR(a.fCosPhi, b.fCosPhi, 1e-9);
  EXPECT_NEAR(a.fSecCurrent, b.fSecCurrent, 1e-9);
}

TEST(PlanImage, NewPlanHasTheDocumentedDefaults) {
  kvTestPlan plan;
  EXPECT_EQ(plan.devicetype, 2);
  EXPECT_EQ(plan.kneetype, 1);
  EXPECT_EQ(plan.numtests, 0);
  EXPECT_EQ(plan.insulationvoltage, 50);
  EXPECT_EQ(plan.burdencurrent, 0);
  EXPECT_EQ(plan.passfail.pfcustomdeviation, 1);
  EXPECT_EQ(plan.passfail.pfenable, 0);
  EXPECT_DOUBLE_EQ(plan.classsettings.tempcelsius, 25.0);
  EXPECT_DOUBLE_EQ(plan.classsettings.ratedcurrent, 5.0);
  EXPECT_EQ(plan.taporder, "X1-X2,X1-X3,X1-X4,X1-X5,X2-X3,X2-X4,X2-X5,X3-X4,X3-X5,X4-X5");
  EXPECT_EQ(plan.taps[9].tapid, 1);
  EXPECT_EQ(plan.taps[9].uTestType, 1);
  EXPECT_DOUBLE_EQ(plan.taps[9].fVoltageRange, 500.0);
  EXPECT_DOUBLE_EQ(plan.taps[9].fCurrentRange, 5.0);
  for (uint8_t b : plan.image) ASSERT_EQ(b, 0);
}

TEST(PlanImage, GeometryFollowsTheDeviceType) {
  EXPECT_EQ(PlanImageSize(2), 1024u);
  EXPECT_EQ(PlanTapBlockSize(2), 64u);
  EXPECT_EQ(PlanImageSize(4), 512u);
  EXPECT_EQ(PlanTapBlockSize(4), 36u);
  for (int type : {0, 1, 3, 7, -1}) {
    EXPECT_EQ(PlanImageSize(type), 512u) << type;
    EXPECT_EQ(PlanTapBlockSize(type), 32u) << type;
  }
}

// Three taps lie at 128/160/192 (type 0), 128/164/200 (type 4) and
// 128/192/256 (type 2); nothing is written past the last block in use.
TEST(PlanImage, TapBlocksLieAtTheOffsetsOfTheType) {
  const struct {
    int type;
    size_t offsets[3];
  } cases[] = {{0, {128, 160, 192}}, {4, {128, 164, 200}}, {2, {128, 192, 256}}};
  for (const auto& c : cases) {
    kvTestPlan plan = MakeSamplePlan(c.type, 3);
    uint8_t image[kPlanImageCapacity];
    std::memset(image, 0xEE, sizeof image);
    plan.EncodeImage(image);
    for (int i = 0; i < 3; ++i) {
      const size_t at = c.offsets[i];
      EXPECT_EQ(image[at] | image[at + 1] << 8, 600 - 50 * i) << c.type << " tap " << i;
      EXPECT_EQ(image[at + 4], (i + 3) % 10) << c.type;
      EXPECT_EQ(Field(image, at + 8, 20), "NOTE " + std::to_string(i) + std::string(14, ' '));
    }
    const size_t end = c.offsets[2] + PlanTapBlockSize(c.type);
    for (size_t k = end; k < plan.ImageSize(); ++k) ASSERT_EQ(image[k], 0) << c.type << " @" << k;
    // Bytes past the image size are not the plan's: left alone.
    for (size_t k = plan.ImageSize(); k < kPlanImageCapacity; ++k) ASSERT_EQ(image[k], 0xEE);
  }
}

TEST(PlanImage, HeaderLayout) {
  kvTestPlan plan = MakeSamplePlan(2, 2);
  plan.company = "A23456789012345678901234";  // 24 characters: only 20 reach the image
  plan.EncodeImage(plan.image);
  EXPECT_EQ(plan.image[0], 2);
  EXPECT_EQ(Field(plan.image, 1, 20), "A2345678901234567890");
  EXPECT_EQ(Field(plan.image, 21, 20), "NORTH SUB" + std::string(11, ' '));
  EXPECT_EQ(Field(plan.image, 41, 20), "FEEDER 12" + std::string(11, ' '));
  EXPECT_EQ(Field(plan.image, 61, 20), "HELMARK" + std::string(13, ' '));
  EXPECT_EQ(Field(plan.image, 81, 20), "CT-600" + std::string(14, ' '));
  EXPECT_EQ(Field(plan.image, 101, 20), "ANNUAL TEST" + std::string(9, ' '));
  EXPECT_EQ(plan.image[121], 2);
  EXPECT_EQ(plan.image[122], 10);
  EXPECT_EQ(plan.image[123], 100);
  for (int k = 124; k < 128; ++k) EXPECT_EQ(plan.image[k], 0);
}

TEST(PlanImage, BurdenAndInsulationOnlyInTypeTwoImages) {
  kvTestPlan plan = MakeSamplePlan(0, 1);
  EXPECT_EQ(plan.image[122], 0);
  EXPECT_EQ(plan.image[123], 0);

  // Decoding a type 0 image leaves both values as they were.
  kvTestPlan other;
  other.devicetype = 0;
  other.burdencurrent = 77;
  other.insulationvoltage = 88;
  uint8_t image[kPlanImageCapacity] = {};
  MakeSamplePlan(2, 1).EncodeImage(image);  // bytes 122/123 hold 10/100
  ASSERT_TRUE(other.DecodeImage(image, sizeof image));
  EXPECT_EQ(other.burdencurrent, 77);
  EXPECT_EQ(other.insulationvoltage, 88);

  other.devicetype = 2;
  ASSERT_TRUE(other.DecodeImage(image, sizeof image));
  EXPECT_EQ(other.burdencurrent, 10);
  EXPECT_EQ(other.insulationvoltage, 100);
}

TEST(PlanImage, ScaledValuesAndTheirUnits) {
  kvTestPlan plan;
  plan.devicetype = 0;
  plan.numtests = 1;
  PlanTap& t = plan.taps[0];
  t.nNamePlateNum = 1200.9;  // whole amperes, cut toward zero
  t.fNamePlateDen = 5.0;
  t.fVoltageRange = 2000;
  t.fCurrentRange = 0.2;
  t.uTestType = 6;
  t.bDoBurdenTest = 1;
  t.fBurdenVA = 12.34;
  t.fCosPhi = 0.29;
  t.fSecCurrent = 0.3;
  plan.EncodeImage(plan.image);
  const uint8_t* b = plan.image + 128;
  EXPECT_EQ(b[0] | b[1] << 8, 1200);
  EXPECT_EQ(b[2] | b[3] << 8, 50);
  EXPECT_EQ(b[5], 6);
  EXPECT_EQ(b[6], 200);
  EXPECT_EQ(b[7], 2);
  // 12.34 * 100 and 0.29 * 100 fall just below 1234 and 29 in binary.
  EXPECT_EQ(b[28] | b[29] << 8, 1234);
  EXPECT_EQ(b[30], 29);
  EXPECT_EQ(b[31], 3);
}

TEST(PlanImage, ValuesTooLargeForTheirFieldKeepTheLowBits) {
  kvTestPlan plan;
  plan.devicetype = 0;
  plan.numtests = 1;
  plan.taps[0].nNamePlateNum = 70000;  // stored as 4464
  plan.taps[0].fCurrentRange = 30;     // 300 -> 44
  plan.taps[0].fVoltageRange = -10;    // -1 -> 255
  plan.taps[0].fNamePlateDen = 1e300;  // no integer holds it: nothing sensible, no crash
  plan.EncodeImage(plan.image);
  EXPECT_EQ(plan.image[128] | plan.image[129] << 8, 4464);
  EXPECT_EQ(plan.image[135], 44);
  EXPECT_EQ(plan.image[134], 255);
}

TEST(PlanImage, RatioErrorValuesOnlyForTapsWithResistanceAndExcitation) {
  kvTestPlan plan = MakeSamplePlan(0, 2);
  plan.taps[0].uTestType = 4;  // excitation only
  plan.taps[1].uTestType = 6;  // resistance and excitation
  plan.EncodeImage(plan.image);
  for (int k = 28; k < 32; ++k) EXPECT_EQ(plan.image[128 + k], 0) << k;
  EXPECT_NE(plan.image[160 + 28] | plan.image[160 + 30], 0);

  kvTestPlan decoded;
  decoded.devicetype = 0;
  ASSERT_TRUE(decoded.DecodeImage(plan.image, kPlanImageCapacity));
  EXPECT_EQ(decoded.taps[0].bDoBurdenTest, 0);
  EXPECT_EQ(decoded.taps[1].bDoBurdenTest, 1);

  // Bytes 28..31 are decoded whatever the test bits say.
  plan.image[128 + 31] = 7;
  ASSERT_TRUE(decoded.DecodeImage(plan.image, kPlanImageCapacity));
  EXPECT_EQ(decoded.taps[0].bDoBurdenTest, 1);
  EXPECT_DOUBLE_EQ(decoded.taps[0].fSecCurrent, 0.7);
}

TEST(PlanImage, TextsArePaddedWithSpacesAndTrimmedOnDecoding) {
  kvTestPlan plan;
  plan.devicetype = 0;
  plan.numtests = 1;
  plan.taps[0].szTestNote = "ABC";
  plan.EncodeImage(plan.image);
  EXPECT_EQ(Field(plan.image, 136, 20), "ABC" + std::string(17, ' '));
  // The empty texts of the header are 20 spaces, never NUL.
  EXPECT_EQ(Field(plan.image, 21, 20), std::string(20, ' '));

  kvTestPlan decoded;
  decoded.devicetype = 0;
  decoded.station = "old";
  std::memset(plan.image + 21, 0, 20);  // station all NUL
  ASSERT_TRUE(decoded.DecodeImage(plan.image, kPlanImageCapacity));
  EXPECT_EQ(decoded.taps[0].szTestNote, "ABC");
  EXPECT_EQ(decoded.station, "");
}

TEST(PlanImage, EncodeDecodeRoundTripForEveryType) {
  for (int type : {0, 1, 2, 3, 4}) {
    const kvTestPlan plan = MakeSamplePlan(type, 10);
    kvTestPlan decoded;
    decoded.devicetype = type;
    ASSERT_TRUE(decoded.DecodeImage(plan.image, kPlanImageCapacity)) << type;
    EXPECT_EQ(decoded.numtests, 10);
    EXPECT_EQ(decoded.company, plan.company);
    EXPECT_EQ(decoded.comment, plan.comment);
    EXPECT_EQ(decoded.kneetype, 2);
    for (int i = 0; i < 10; ++i) ExpectSameTap(decoded.taps[i], plan.taps[i]);
    uint8_t again[kPlanImageCapacity] = {};
    decoded.EncodeImage(again);
    EXPECT_EQ(0, std::memcmp(again, plan.image, plan.ImageSize())) << type;
  }
}

// Every value a field can hold comes back as the same byte: decoding divides
// by 10 or 100 and encoding must not lose a unit to rounding on the way back.
TEST(PlanImage, EveryByteValueSurvivesDecodeAndEncode) {
  for (int v = 0; v < 256; ++v) {
    uint8_t image[kPlanImageCapacity] = {};
    image[0] = 1;
    uint8_t* b = image + 128;
    b[0] = b[2] = b[28] = static_cast<uint8_t>(v);
    b[1] = b[3] = b[29] = static_cast<uint8_t>(255 - v);
    b[6] = b[7] = b[30] = b[31] = static_cast<uint8_t>(v);
    b[5] = v == 0 ? 6 : 7;  // burden values need resistance and excitation
    if (v == 0) b[31] = 1;  // and one nonzero value to count as on
    kvTestPlan plan;
    plan.devicetype = 0;
    ASSERT_TRUE(plan.DecodeImage(image, sizeof image));
    uint8_t again[kPlanImageCapacity] = {};
    plan.EncodeImage(again);
    for (int k = 0; k < 32; ++k) {
      if (k >= 8 && k < 28) continue;  // the note
      ASSERT_EQ(again[128 + k], image[128 + k]) << "value " << v << " byte " << k;
    }
  }
}

TEST(PlanImage, ImageWithMoreThanTenTapsIsRefused) {
  kvTestPlan plan = MakeSamplePlan(2, 3);
  uint8_t image[kPlanImageCapacity];
  std::memcpy(image, plan.image, sizeof image);
  image[0] = 11;
  kvTestPlan target = MakeSamplePlan(2, 1);
  EXPECT_FALSE(target.DecodeImage(image, sizeof image));
  EXPECT_EQ(target.numtests, 1);  // untouched
  image[0] = 255;
  EXPECT_FALSE(target.DecodeImage(image, sizeof image));
  image[0] = 10;
  EXPECT_TRUE(target.DecodeImage(image, sizeof image));
  EXPECT_EQ(target.numtests, 10);
}

TEST(PlanImage, ShortImageIsRefused) {
  const kvTestPlan plan = MakeSamplePlan(2, 3);
  kvTestPlan target;
  target.devicetype = 2;
  EXPECT_FALSE(target.DecodeImage(plan.image, 512));
  EXPECT_EQ(target.numtests, 0);
  target.devicetype = 0;
  EXPECT_TRUE(target.DecodeImage(plan.image, 512));
}

TEST(PlanImage, CountOutsideTheTapTableIsNeverEncodedPastIt) {
  kvTestPlan plan = MakeSamplePlan(2, 10);
  plan.numtests = 40;
  plan.EncodeImage(plan.image);
  EXPECT_EQ(plan.image[0], 10);
  plan.numtests = -3;
  plan.EncodeImage(plan.image);
  EXPECT_EQ(plan.image[0], 0);
  EXPECT_EQ(plan.image[128], 0);
}

TEST(PlanImage, LinkTextIsLowerCaseHexOfTheImageSize) {
  kvTestPlan plan;
  plan.image[0] = 0x0A;
  plan.image[1] = 0xFF;
  const std::string text = plan.ImageLinkText();
  ASSERT_EQ(text.size(), 2048u);
  EXPECT_EQ(text.substr(0, 6), "0aff00");
  plan.devicetype = 4;
  EXPECT_EQ(plan.ImageLinkText().size(), 1024u);
}

TEST(PlanImage, FetchedHexLinesBecomeImageBytes) {
  uint8_t image[kPlanImageCapacity];
  size_t count = 0;
  std::memset(image, 0x55, sizeof image);
  ASSERT_TRUE(PlanImageFromHexLines("0A ff\r\n12\r\n 3b\n", image, count));
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(image[0], 0x0A);
  EXPECT_EQ(image[1], 0xFF);
  EXPECT_EQ(image[3], 0x3B);
  EXPECT_EQ(image[4], 0);  // the rest is cleared

  EXPECT_FALSE(PlanImageFromHexLines("0g", image, count));
  EXPECT_FALSE(PlanImageFromHexLines("abc", image, count));
  // More than the buffer holds is refused, never written past it.
  EXPECT_TRUE(PlanImageFromHexLines(std::string(2048, 'a'), image, count));
  EXPECT_EQ(count, 1024u);
  EXPECT_FALSE(PlanImageFromHexLines(std::string(2050, 'a'), image, count));
}

}  // namespace
}  // namespace kova
