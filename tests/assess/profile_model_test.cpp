#include "assess/profile_model.h"

#include <gtest/gtest.h>

#include <string>

#include "assess/profile_file.h"
#include "base/file_io.h"
#include "base/path.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(ProfileModel, FieldsFollowTheClassAndTheBurdenForm) {
  AssessmentProfileModel m;
  struct Case {
    int cls;
    bool va;
    bool protection, px, va_fields, rx_fields;
  } cases[] = {{0, true, true, false, true, false},
               {3, false, true, false, false, true},
               {4, true, false, true, false, false},
               {5, false, false, true, false, false}};
  for (const Case& c : cases) {
    m.class_index = c.cls;
    m.burden_as_va = c.va;
    EXPECT_EQ(m.ProtectionFieldsApply(), c.protection) << c.cls;
    EXPECT_EQ(m.PxFieldsApply(), c.px) << c.cls;
    EXPECT_EQ(m.VaFieldsApply(), c.va_fields) << c.cls;
    EXPECT_EQ(m.RxFieldsApply(), c.rx_fields) << c.cls;
  }
}

TEST(ProfileModel, StoresCheckedFieldsAndLoadsThemBack) {
  AssessmentProfileModel m;
  m.class_index = 0;
  m.alf = "20";
  m.burden_va = "10";
  m.kx = "junk";  // a PX field: ignored for 5P
  AssessmentProfile p;
  std::string error;
  ASSERT_TRUE(m.Store(p, error)) << error;
  EXPECT_EQ(p.iec_class, IecClass::k5P);
  EXPECT_EQ(p.alf, 20);
  EXPECT_EQ(p.burden_va, 10);
  AssessmentProfileModel back;
  back.Load(p);
  EXPECT_EQ(back.alf, "20");
  EXPECT_EQ(back.burden_va, "10");
  EXPECT_EQ(back.power_factor, "");

  struct Bad {
    int cls;
    const char* field;
    const char* text;
    const char* error;
  } bad[] = {
      {0, "alf", "", "\"alf\" is required for this class"},
      {0, "alf", "2O", "\"alf\" must be a number"},
      {0, "alf", "-3", "\"alf\" (accuracy limit factor) must be above 0 and at most 1000"},
      {4, "ie_max", "", "\"ie_max\" is required for this class"},
      {4, "test", "0", "\"test\" (the test's number) must be from 1 to 20"},
  };
  for (const Bad& b : bad) {
    AssessmentProfileModel x;
    x.class_index = b.cls;
    x.alf = "20";
    x.burden_va = "10";
    x.kx = "20";
    x.rb = "5";
    x.ie_max = "0.03";
    std::string* field = std::string(b.field) == "alf"      ? &x.alf
                         : std::string(b.field) == "ie_max" ? &x.ie_max
                                                            : &x.test;
    *field = b.text;
    EXPECT_FALSE(x.Store(p, error)) << b.field << "=" << b.text;
    EXPECT_EQ(error, b.error);
  }
}

TEST(ProfileFile, BesideTheRecordAndWhatKeepsItFromBeingUsed) {
  const std::string folder = TempFolder("profile-file");
  const std::string record = PathJoin(folder, "CT 7.test");
  const std::string path = ProfilePathBeside(record);
  EXPECT_EQ(FileNameOf(path), "CT 7.assess.json");
  AssessmentProfile p;
  std::string why;
  EXPECT_EQ(LoadAssessmentProfile(path, p, why), ProfileLoad::kMissing);
  ASSERT_TRUE(MakeFolders(path));
  EXPECT_EQ(LoadAssessmentProfile(path, p, why), ProfileLoad::kUnreadable);
  EXPECT_EQ(why, "it is a folder");
  const std::string other = PathJoin(folder, "p.json");
  ASSERT_TRUE(WriteFileAtomically(other, std::string("{\"class\":\"PX\"}")));
  EXPECT_EQ(LoadAssessmentProfile(other, p, why), ProfileLoad::kInvalid);
  p.iec_class = IecClass::k10PR;
  p.alf = 15;
  p.burden_va = 2.5;
  ASSERT_TRUE(SaveAssessmentProfile(other, p));
  AssessmentProfile back;
  ASSERT_EQ(LoadAssessmentProfile(other, back, why), ProfileLoad::kLoaded) << why;
  EXPECT_EQ(back.iec_class, IecClass::k10PR);
  EXPECT_EQ(back.burden_va, 2.5);
}

}  // namespace
}  // namespace kova
