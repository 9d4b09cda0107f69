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

// The dialog's messages name each field by the label beside it; a profile
// file's own words name its members.
TEST(ProfileModel, MessagesNameFieldsByTheirLabels) {
  struct Case {
    const char* check;
    const char* dialog;
  } const cases[] = {
      {"\"alf\" is required for this class",
       "Accuracy limit factor ALF is required for this class"},
      {"\"rct_max\" (largest winding resistance) must be above 0 and at most 100000 ohm",
       "Maximum Rct at 75 \xB0"
       "C must be above 0 and at most 100000 ohm"},
      {"\"burden_x\" (burden reactance) must be from -1000 to 1000 ohm",
       "Burden X must be from -1000 to 1000 ohm"},
      {"\"class\" must be one of 5P, 10P, 5PR, 10PR, PX, PXR",
       "Class must be one of 5P, 10P, 5PR, 10PR, PX, PXR"},
      {"give the burden either as \"burden_va\" or as \"burden_r\"",
       "give the burden either as Burden or as Burden R"},
      {"\"burden_va\" of 5 VA at an \"isr\" of 0.05 A is a burden of 2000 ohm: at most 1000 ohm",
       "Burden of 5 VA at a Rated secondary current Isr of 0.05 A is a burden of 2000 ohm: at most "
       "1000 ohm"},
      {"unknown member \"alpha\"", "unknown member \"alpha\""},
      {"line 1, column 9: a \"", "line 1, column 9: a \""},
  };
  for (const Case& c : cases) EXPECT_EQ(InFieldLabels(c.check), c.dialog) << c.check;
  struct Row {
    const char* member;
    const char* label;
  } const rows[] = {{"isr", "Rated secondary current Isr (A):"},
                    {"alf", "Accuracy limit factor ALF:"},
                    {"rct_max",
                     "Maximum Rct at 75 \xB0"
                     "C (ohm):"},
                    {"turns_tolerance", "Turns-ratio tolerance (%):"}};
  for (const Row& r : rows) EXPECT_EQ(ProfileFieldRowLabel(r.member), r.label);
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
      {0, "alf", "", "Accuracy limit factor ALF is required for this class"},
      {0, "alf", "2O", "Accuracy limit factor ALF must be a number"},
      {0, "alf", "-3", "Accuracy limit factor ALF must be above 0 and at most 1000"},
      {4, "ie_max", "", "Maximum Ie at Ek is required for this class"},
      {4, "test", "0", "Test must be from 1 to 20"},
      {0, "isr", "0.01",
       "Burden of 10 VA at a Rated secondary current Isr of 0.01 A is a burden of 100000 ohm: "
       "at most 1000 ohm"},
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
                         : std::string(b.field) == "isr"    ? &x.isr
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
