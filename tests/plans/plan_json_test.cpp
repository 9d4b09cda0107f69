#include <gtest/gtest.h>

#include <string>

#include "base/json.h"
#include "plans/plan_fixtures.h"
#include "plans/plan_json.h"
#include "plans/test_plan.h"

namespace kova {
namespace {

JsonValue Parse(const std::string& text) {
  JsonValue v;
  std::string error;
  EXPECT_TRUE(JsonValue::Parse(text, v, error)) << error;
  return v;
}

// Applies `json` to a new plan; returns the error text ("" on success).
std::string ErrorOf(const std::string& json) {
  kvTestPlan plan;
  plan.company = "UNCHANGED";
  std::string error;
  const bool ok = PlanFromJson(Parse(json), plan, error);
  if (ok) return "";
  EXPECT_EQ(plan.company, "UNCHANGED") << json;
  EXPECT_FALSE(error.empty());
  return error;
}

TEST(PlanJson, ShowsEveryFieldByName) {
  const kvTestPlan plan = MakeSamplePlan(2, 2);
  const JsonValue j = PlanToJson(plan);
  EXPECT_EQ(j.Find("devicetype")->AsInteger(), 2);
  EXPECT_EQ(j.Find("numtests")->AsInteger(), 2);
  EXPECT_EQ(j.Find("comment")->AsString(), "ANNUAL TEST");
  EXPECT_EQ(j.Find("burdencurrent")->AsInteger(), 10);
  ASSERT_EQ(j.Find("taps")->Size(), 2u);
  EXPECT_EQ(j.Find("taps")->At(1).Find("szTestNote")->AsString(), "NOTE 1");
  EXPECT_EQ(j.Find("taps")->At(1).Find("tapid")->AsInteger(), 4);
  EXPECT_EQ(j.Find("pfkneevoltage")->At(9).AsInteger(), 109);
  EXPECT_DOUBLE_EQ(j.Find("pfresistance")->At(1).AsNumber(), 1.5);
  EXPECT_DOUBLE_EQ(j.Find("tempcelsius")->AsNumber(), 31.5);
  EXPECT_EQ(j.Find("taporder")->AsString(), "X1-X5,X1-X4");
  EXPECT_EQ(j.Find("image")->AsString(), plan.ImageLinkText());
  EXPECT_EQ(j.Find("image")->AsString().size(), 2048u);
  EXPECT_NE(j.Find("resistanceunused"), nullptr);  // the sample sets one unused byte
  EXPECT_EQ(j.Find("classunused"), nullptr);
  EXPECT_EQ(j.Find("serialnumber"), nullptr);  // not part of a plan file
  EXPECT_EQ(PlanToJson(MakeSamplePlan(4, 1)).Find("image")->AsString().size(), 1024u);
}

// The JSON form written back gives the same plan file, byte for byte.
TEST(PlanJson, RoundTripGivesTheSameFile) {
  for (int type : {0, 1, 2, 3, 4}) {
    const kvTestPlan plan = MakeSamplePlan(type, type * 2);
    const std::string text = PlanToJson(plan).Dump(1);
    kvTestPlan back;
    std::string error;
    ASSERT_TRUE(PlanFromJson(Parse(text), back, error)) << error;
    EXPECT_EQ(back.FileBytes(back.image, kPlanImageCapacity),
              plan.FileBytes(plan.image, kPlanImageCapacity))
        << type;
  }
}

TEST(PlanJson, TextsTravelAsUtf8) {
  kvTestPlan plan = MakeSamplePlan(0, 1);
  plan.station = "SUB \xD8 5\xB0";  // Windows-1252 "Ø" and "°"
  const JsonValue j = PlanToJson(plan);
  EXPECT_EQ(j.Find("station")->AsString(), "SUB \xC3\x98 5\xC2\xB0");
  kvTestPlan back;
  std::string error;
  ASSERT_TRUE(PlanFromJson(j, back, error)) << error;
  EXPECT_EQ(back.station, plan.station);
}

TEST(PlanJson, MissingMembersKeepNewPlanDefaultsAndImageIsRebuilt) {
  kvTestPlan plan;
  std::string error;
  ASSERT_TRUE(PlanFromJson(Parse(R"({"devicetype": 4, "image": "ffff",
      "taps": [{"nNamePlateNum": 600, "fNamePlateDen": 5}]})"),
                           plan, error))
      << error;
  EXPECT_EQ(plan.numtests, 1);
  EXPECT_EQ(plan.devicetype, 4);
  EXPECT_EQ(plan.passfail.pfcustomdeviation, 1);
  EXPECT_DOUBLE_EQ(plan.classsettings.tempcelsius, 25.0);
  EXPECT_DOUBLE_EQ(plan.taps[0].fVoltageRange, 500.0);
  EXPECT_EQ(plan.image[0], 1);
  EXPECT_EQ(plan.image[128] | plan.image[129] << 8, 600);
  EXPECT_EQ(plan.image[130], 50);
}

TEST(PlanJson, BadValuesNameTheirMember) {
  EXPECT_NE(ErrorOf(R"({"devicetype": 5})").find("\"devicetype\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"kneetype": 0})").find("\"kneetype\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"numtests": 2.5, "taps": []})").find("\"numtests\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"company": 7})").find("\"company\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"burdencurrent": 256})").find("\"burdencurrent\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"pfcustomdeviation": 101})").find("\"pfcustomdeviation\""),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"pfkneevoltage": [1, 2, 3]})").find("\"pfkneevoltage\""),
            std::string::npos);
  EXPECT_NE(
      ErrorOf(R"({"pfkneevoltage": [1, 2, 3, 4, 5, 6, 7, 8, 9, -1]})").find("\"pfkneevoltage[9]\""),
      std::string::npos);
  EXPECT_NE(
      ErrorOf(R"({"pfresistance": [0, 0, 0, 0, 0, 0, 0, 0, 0, "x"]})").find("\"pfresistance[9]\""),
      std::string::npos);
  EXPECT_NE(ErrorOf(R"({"tempcelsius": null})").find("\"tempcelsius\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"classunused": "00"})").find("\"classunused\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"taps": [{}, {"fCosPhi": 2.56}]})").find("\"taps[1].fCosPhi\""),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"taps": [{"tapid": 10}]})").find("\"taps[0].tapid\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"taps": [{"nNamePlateNum": 70000}]})").find("\"taps[0].nNamePlateNum\""),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"taps": [1]})").find("\"taps[0]\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"taps": [{},{},{},{},{},{},{},{},{},{},{}]})").find("\"taps\""),
            std::string::npos);
  EXPECT_EQ(ErrorOf("[]"), "the plan must be a JSON object");
}

TEST(PlanJson, UnknownAndInconsistentMembersAreRefused) {
  EXPECT_NE(ErrorOf(R"({"pfenabel": 1})").find("unknown member \"pfenabel\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"taps": [{"fcosphi": 1}]})").find("\"taps[0].fcosphi\""),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"numtests": 2, "taps": [{}]})").find("\"numtests\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"numtests": 1})").find("\"numtests\""), std::string::npos);
  EXPECT_EQ(ErrorOf(R"({"numtests": 0})"), "");
}

}  // namespace
}  // namespace kova
