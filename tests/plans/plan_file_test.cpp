#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/le_bytes.h"
#include "plans/plan_fixtures.h"
#include "plans/test_plan.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t v = 0;
  EXPECT_TRUE(ReadU32LE(bytes.data(), bytes.size(), offset, v));
  return v;
}

std::vector<uint8_t> TaggedFile(const std::string& name, const uint8_t* image, size_t size) {
  std::vector<uint8_t> bytes(256 + size, 0);
  std::memcpy(bytes.data(), name.data(), name.size());
  std::memcpy(bytes.data() + 256, image, size);
  return bytes;
}

void ExpectSameBlocks(const kvTestPlan& a, const kvTestPlan& b) {
  uint8_t x[kResistanceBlockSize], y[kResistanceBlockSize];
  a.passfail.ToBytes(x);
  b.passfail.ToBytes(y);
  EXPECT_EQ(0, std::memcmp(x, y, kPassFailBlockSize));
  a.resistance.ToBytes(x);
  b.resistance.ToBytes(y);
  EXPECT_EQ(0, std::memcmp(x, y, kResistanceBlockSize));
  a.classsettings.ToBytes(x);
  b.classsettings.ToBytes(y);
  EXPECT_EQ(0, std::memcmp(x, y, kClassSettingsSize));
}

TEST(PlanFile, NewPlanFileSizesAndLayout) {
  const std::string dir = TempFolder("plan_sizes");
  kvTestPlan plan;
  ASSERT_TRUE(plan.Save(dir + "/t2.plan"));
  const std::vector<uint8_t> t2 = FileContents(dir + "/t2.plan");
  ASSERT_EQ(t2.size(), 1427u);  // 12 + 1024 + 68 + 224 + 4 + 59 + 4 + 32
  EXPECT_EQ(t2[0], 0x0D);
  EXPECT_EQ(t2[1], 0xF0);
  EXPECT_EQ(t2[2], 0xAD);
  EXPECT_EQ(t2[3], 0x0B);
  EXPECT_EQ(U32At(t2, 4), 4u);
  EXPECT_EQ(U32At(t2, 8), 2u);
  EXPECT_EQ(U32At(t2, 12 + 1024 + 8), 1u);
  EXPECT_EQ(U32At(t2, 12 + 1024 + 292), 59u);
  EXPECT_EQ(std::string(t2.begin() + 1332, t2.begin() + 1391), plan.taporder);
  EXPECT_EQ(U32At(t2, 1391), 32u);
  double temp = 0;
  ASSERT_TRUE(ReadF64LE(t2.data(), t2.size(), 1395, temp));
  EXPECT_DOUBLE_EQ(temp, 25.0);

  plan.devicetype = 0;
  ASSERT_TRUE(plan.Save(dir + "/t0.plan"));
  EXPECT_EQ(FileContents(dir + "/t0.plan").size(), 915u);
}

TEST(PlanFile, SaveAndLoadRoundTrip) {
  const std::string dir = TempFolder("plan_roundtrip");
  for (int type : {0, 1, 2, 3, 4}) {
    kvTestPlan plan = MakeSamplePlan(type, 4);
    const std::string path = dir + "/p" + std::to_string(type) + ".plan";
    ASSERT_TRUE(plan.Save(path));
    kvTestPlan loaded;
    ASSERT_TRUE(loaded.Load(path)) << type;
    EXPECT_EQ(loaded.devicetype, type);
    EXPECT_EQ(loaded.numtests, 4);
    EXPECT_EQ(loaded.company, "ACME POWER");
    EXPECT_EQ(loaded.taporder, "X1-X5,X1-X4");
    EXPECT_EQ(loaded.taps[3].szTestNote, "NOTE 3");
    ExpectSameBlocks(loaded, plan);
    EXPECT_EQ(0, std::memcmp(loaded.image, plan.image, plan.ImageSize()));
    // Writing it back gives the same bytes.
    EXPECT_EQ(loaded.FileBytes(loaded.image, kPlanImageCapacity), FileContents(path));
  }
}

TEST(PlanFile, LongHeaderTextKeepsItsFirstTwentyCharacters) {
  const std::string dir = TempFolder("plan_longtext");
  kvTestPlan plan;
  plan.station = "ABCDEFGHIJKLMNOPQRSTUVWXY";
  ASSERT_TRUE(plan.Save(dir + "/p.plan"));
  kvTestPlan loaded;
  ASSERT_TRUE(loaded.Load(dir + "/p.plan"));
  EXPECT_EQ(loaded.station, "ABCDEFGHIJKLMNOPQRST");
}

// The download stores the image exactly as received, beside a new plan's
// blocks.
TEST(PlanFile, WriteFileStoresTheGivenImage) {
  const std::string dir = TempFolder("plan_writefile");
  const kvTestPlan source = MakeSamplePlan(4, 2);
  kvTestPlan fresh;
  fresh.devicetype = 4;
  ASSERT_TRUE(fresh.WriteFile(dir + "/x.plan", source.image, 300));  // short: zero-filled
  const std::vector<uint8_t> bytes = FileContents(dir + "/x.plan");
  ASSERT_EQ(bytes.size(), 915u);
  EXPECT_EQ(0, std::memcmp(bytes.data() + 12, source.image, 300));
  for (size_t k = 300; k < 512; ++k) ASSERT_EQ(bytes[12 + k], 0) << k;
  for (uint8_t b : fresh.image) ASSERT_EQ(b, 0);  // the plan's own image untouched

  kvTestPlan loaded;
  ASSERT_TRUE(loaded.Load(dir + "/x.plan"));
  EXPECT_EQ(loaded.numtests, 2);
  EXPECT_EQ(loaded.passfail.pfcustomdeviation, 1);
  EXPECT_DOUBLE_EQ(loaded.classsettings.ratedcurrent, 5.0);
}

TEST(PlanFile, VersionOneIsTypeZeroWithA512ByteImage) {
  kvTestPlan plan = MakeSamplePlan(0, 3);
  const std::vector<uint8_t> v1 = OldPlanFile(plan, 1);
  ASSERT_EQ(v1.size(), 8u + 512 + 68 + 224);
  kvTestPlan loaded;  // type 2 before loading
  ASSERT_TRUE(loaded.LoadBytes(v1.data(), v1.size(), "/any/old.plan"));
  EXPECT_EQ(loaded.devicetype, 0);
  EXPECT_EQ(loaded.numtests, 3);
  EXPECT_EQ(loaded.taps[2].szTestNote, "NOTE 2");
  EXPECT_EQ(loaded.passfail.pfcustomdeviation, 3);
  EXPECT_DOUBLE_EQ(loaded.resistance.pfcustomresdeviation, 7.5);
  EXPECT_EQ(loaded.taporder, kvTestPlan().taporder);
  EXPECT_DOUBLE_EQ(loaded.classsettings.tempcelsius, 0.0);
}

TEST(PlanFile, VersionsTwoAndThreeHaveNoClassSettings) {
  kvTestPlan plan = MakeSamplePlan(2, 2);
  const std::vector<uint8_t> v2 = OldPlanFile(plan, 2);
  kvTestPlan loaded;
  ASSERT_TRUE(loaded.LoadBytes(v2.data(), v2.size(), "v2.plan"));
  EXPECT_EQ(loaded.devicetype, 2);
  EXPECT_EQ(loaded.taporder, kvTestPlan().taporder);
  EXPECT_DOUBLE_EQ(loaded.classsettings.tempcelsius, 0.0);
  EXPECT_DOUBLE_EQ(loaded.classsettings.ratedcurrent, 0.0);
  EXPECT_EQ(loaded.classsettings.multitap, 0);

  const std::vector<uint8_t> v3 = OldPlanFile(plan, 3);
  kvTestPlan loaded3;
  ASSERT_TRUE(loaded3.LoadBytes(v3.data(), v3.size(), "v3.plan"));
  EXPECT_EQ(loaded3.taporder, "X1-X5,X1-X4");
  EXPECT_DOUBLE_EQ(loaded3.classsettings.ratedcurrent, 0.0);
}

TEST(PlanFile, LaterVersionsReadAsVersionFourAndVersionZeroAsVersionOne) {
  const kvTestPlan plan = MakeSamplePlan(4, 2);
  std::vector<uint8_t> bytes = plan.FileBytes(plan.image, kPlanImageCapacity);
  bytes[4] = 5;
  bytes.insert(bytes.end(), {1, 2, 3, 4});  // a field this program does not know
  kvTestPlan loaded;
  ASSERT_TRUE(loaded.LoadBytes(bytes.data(), bytes.size(), "v5.plan"));
  EXPECT_DOUBLE_EQ(loaded.classsettings.tempcelsius, 31.5);
  const std::vector<uint8_t> v1 = OldPlanFile(MakeSamplePlan(0, 3), 1);
  std::vector<uint8_t> v0 = v1;
  v0[4] = 0;
  kvTestPlan one, zero;
  ASSERT_TRUE(one.LoadBytes(v1.data(), v1.size(), "v1.plan"));
  ASSERT_TRUE(zero.LoadBytes(v0.data(), v0.size(), "v0.plan"));
  EXPECT_EQ(zero.FileBytes(zero.image, kPlanImageCapacity),
            one.FileBytes(one.image, kPlanImageCapacity));
}

TEST(PlanFile, EveryTruncationIsRefusedAndLeavesThePlanAlone) {
  const kvTestPlan plan = MakeSamplePlan(2, 3);
  const std::vector<uint8_t> whole = plan.FileBytes(plan.image, kPlanImageCapacity);
  for (size_t n = 0; n < whole.size(); ++n) {
    kvTestPlan target = MakeSamplePlan(4, 1);
    target.company = "KEEP";
    ASSERT_FALSE(target.LoadBytes(whole.data(), n, "/t/cut.plan")) << n;
    ASSERT_EQ(target.company, "KEEP");
    ASSERT_EQ(target.devicetype, 4);
    ASSERT_EQ(target.passfail.pfcustomdeviation, 3);
  }
  kvTestPlan target;
  EXPECT_TRUE(target.LoadBytes(whole.data(), whole.size(), "/t/whole.plan"));
}

TEST(PlanFile, TapOrderLengthPastTheEndIsRefused) {
  const kvTestPlan plan = MakeSamplePlan(0, 1);
  const std::vector<uint8_t> v3 = OldPlanFile(plan, 3);
  const size_t length_at = 12 + 512 + 68 + 224;
  ASSERT_EQ(U32At(v3, length_at), 11u);
  std::vector<uint8_t> bad = v3;
  WriteU32LE(bad.data(), bad.size(), length_at, 12);
  kvTestPlan loaded;
  EXPECT_FALSE(loaded.LoadBytes(bad.data(), bad.size(), "x.plan"));
  WriteU32LE(bad.data(), bad.size(), length_at, 0xFFFFFFFFu);
  EXPECT_FALSE(loaded.LoadBytes(bad.data(), bad.size(), "x.plan"));
  EXPECT_EQ(loaded.taporder, kvTestPlan().taporder);
  WriteU32LE(bad.data(), bad.size(), length_at, 5);  // shorter: the rest is ignored
  ASSERT_TRUE(loaded.LoadBytes(bad.data(), bad.size(), "x.plan"));
  EXPECT_EQ(loaded.taporder, "X1-X5");
}

TEST(PlanFile, ClassSettingsOfAnotherLength) {
  const kvTestPlan plan = MakeSamplePlan(0, 1);
  const std::vector<uint8_t> v4 = plan.FileBytes(plan.image, kPlanImageCapacity);
  const size_t length_at = v4.size() - 36;
  ASSERT_EQ(U32At(v4, length_at), 32u);

  // Shorter: the bytes given fill the start of the block, the rest is zero.
  std::vector<uint8_t> shorter(v4.begin(), v4.end() - 16);
  WriteU32LE(shorter.data(), shorter.size(), length_at, 16);
  kvTestPlan loaded;
  ASSERT_TRUE(loaded.LoadBytes(shorter.data(), shorter.size(), "x.plan"));
  EXPECT_DOUBLE_EQ(loaded.classsettings.tempcelsius, 31.5);
  EXPECT_DOUBLE_EQ(loaded.classsettings.ratedcurrent, 1.0);
  EXPECT_EQ(loaded.classsettings.multitap, 0);
  EXPECT_EQ(loaded.classsettings.ctusage, 0);

  // Longer: the first 32 bytes are kept, never more.
  std::vector<uint8_t> longer = v4;
  longer.insert(longer.end(), 64, 0x7F);
  WriteU32LE(longer.data(), longer.size(), length_at, 96);
  ASSERT_TRUE(loaded.LoadBytes(longer.data(), longer.size(), "x.plan"));
  EXPECT_EQ(loaded.classsettings.ctusage, 2);
  EXPECT_EQ(loaded.classsettings.unused28[0], 0);

  // A length running past the end of the file is a truncated file.
  WriteU32LE(longer.data(), longer.size(), length_at, 97);
  EXPECT_FALSE(loaded.LoadBytes(longer.data(), longer.size(), "x.plan"));
}

TEST(PlanFile, ImageClaimingMoreThanTenTapsIsRefused) {
  kvTestPlan plan = MakeSamplePlan(2, 2);
  plan.image[0] = 11;
  const std::vector<uint8_t> bytes = plan.FileBytes(plan.image, kPlanImageCapacity);
  kvTestPlan loaded;
  EXPECT_FALSE(loaded.LoadBytes(bytes.data(), bytes.size(), "x.plan"));
}

TEST(PlanFile, LoadingClearsThePassFailBlockFirst) {
  kvTestPlan plan = MakeSamplePlan(0, 1);
  plan.passfail.pfcustomdeviation = 0;
  const std::vector<uint8_t> bytes = plan.FileBytes(plan.image, kPlanImageCapacity);
  kvTestPlan loaded;
  ASSERT_EQ(loaded.passfail.pfcustomdeviation, 1);
  ASSERT_TRUE(loaded.LoadBytes(bytes.data(), bytes.size(), "x.plan"));
  EXPECT_EQ(loaded.passfail.pfcustomdeviation, 0);
}

TEST(PlanFile, TaggedImageFilesTakeTheirTypeFromTheName) {
  const struct {
    const char* name;
    int type;
  } cases[] = {{"KOVA-7KA", 4},   {"KOVA-R5A", 0},   {"KOVA-7100B", 2},
               {"KOVA-7100A", 0}, {"KOVA-7100C", 2}, {"KOVA", 2}};
  for (const auto& c : cases) {
    const kvTestPlan plan = MakeSamplePlan(c.type, 2);
    const std::vector<uint8_t> bytes = TaggedFile(c.name, plan.image, plan.ImageSize());
    kvTestPlan loaded;
    loaded.resistance.pfcustomresdeviation = 9.0;
    loaded.taporder = "X4-X5";
    ASSERT_TRUE(loaded.LoadBytes(bytes.data(), bytes.size(), "/anywhere/x.bin")) << c.name;
    EXPECT_EQ(loaded.devicetype, c.type) << c.name;
    EXPECT_EQ(loaded.numtests, 2);
    EXPECT_EQ(loaded.taps[1].szTestNote, "NOTE 1");
    EXPECT_EQ(0, std::memcmp(loaded.image, plan.image, plan.ImageSize()));
    // Only the image is in the file: the pass/fail block is cleared, the
    // rest keeps what the plan had.
    EXPECT_EQ(loaded.passfail.pfcustomdeviation, 0);
    EXPECT_DOUBLE_EQ(loaded.resistance.pfcustomresdeviation, 9.0);
    EXPECT_EQ(loaded.taporder, "X4-X5");
    EXPECT_DOUBLE_EQ(loaded.classsettings.tempcelsius, 25.0);
  }
}

TEST(PlanFile, TruncatedTaggedFileIsRefused) {
  const kvTestPlan plan = MakeSamplePlan(2, 2);
  const std::vector<uint8_t> bytes = TaggedFile("KOVA-7100B", plan.image, 1023);
  kvTestPlan loaded;
  EXPECT_FALSE(loaded.LoadBytes(bytes.data(), bytes.size(), "x"));
  EXPECT_FALSE(loaded.LoadBytes(bytes.data(), 8, "x"));
  const std::vector<uint8_t> seven_ka = TaggedFile("KOVA-7KA", plan.image, 512);
  EXPECT_TRUE(loaded.LoadBytes(seven_ka.data(), seven_ka.size(), "x"));
}

TEST(PlanFile, BareImagesAreRecognisedOnlyByTheirFolder) {
  const std::string drive = TempFolder("plan_bare");
  const kvTestPlan r5 = MakeSamplePlan(1, 3);
  const std::string folder = drive + "/HELMARK/KOVA-R5A";
  ASSERT_TRUE(r5.ExportToDrive(drive, 1, 0));
  kvTestPlan loaded;
  ASSERT_TRUE(loaded.Load(folder + "/PLAN_000"));
  EXPECT_EQ(loaded.devicetype, 1);
  EXPECT_EQ(loaded.numtests, 3);
  EXPECT_EQ(loaded.passfail.pfcustomdeviation, 0);

  // The same bytes anywhere else are not a plan.
  const std::vector<uint8_t> bytes = FileContents(folder + "/PLAN_000");
  PutFile(drive + "/PLAN_000", bytes);
  kvTestPlan elsewhere;
  EXPECT_FALSE(elsewhere.Load(drive + "/PLAN_000"));

  // The folder test ignores letter case and takes either separator.
  EXPECT_TRUE(elsewhere.LoadBytes(bytes.data(), bytes.size(), "e:\\helmark\\kova-r5a\\plan_000"));
  EXPECT_EQ(elsewhere.devicetype, 1);

  // A bare image must hold the whole image of its folder's type.
  kvTestPlan b;
  EXPECT_FALSE(b.LoadBytes(bytes.data(), 511, "/m/HELMARK/KOVA-R5A/PLAN_001"));
  EXPECT_FALSE(b.LoadBytes(bytes.data(), 512, "/m/HELMARK/KOVA-7KB/PLAN_001"));
  const kvTestPlan t2 = MakeSamplePlan(2, 4);
  ASSERT_TRUE(b.LoadBytes(t2.image, 1024, "/m/HELMARK/KOVA-7KC/PLAN_001"));
  EXPECT_EQ(b.devicetype, 2);
  EXPECT_EQ(b.numtests, 4);
}

TEST(PlanFile, MissingOrUnwritableFiles) {
  const std::string dir = TempFolder("plan_missing");
  kvTestPlan plan;
  EXPECT_FALSE(plan.Load(dir + "/none.plan"));
  EXPECT_FALSE(plan.Save(dir + "/no/such/folder/x.plan"));
  kvTestPlan empty;
  EXPECT_FALSE(empty.LoadBytes(nullptr, 0, "/HELMARK/KOVA-7KA/PLAN_000"));
}

}  // namespace
}  // namespace kova
