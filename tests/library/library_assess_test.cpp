// The library's verdict of a CT from the values it holds, which must be the
// verdict of the record file itself; the record file read only when those
// values lack the curve; and the table in its three forms.

#include <gtest/gtest.h>

#include "assess/assess_fixtures.h"
#include "assess/profile_json.h"
#include "library/library_assess.h"
#include "library/record_entry.h"

namespace kova {
namespace {

constexpr const char* k5P = R"({"class":"5P","isr":1,"alf":20,"burden_va":10})";
constexpr const char* kPx =
    R"({"class":"PX","isr":1,"ek":200,"ie_max":0.05,"rct_max":2.5,"turns_tolerance":0.25})";

// The 5P20 worked case: Rct75 2.0 ohm, Ie(E_ALF 233.2 V) = `ie` A.
std::unique_ptr<TestRecord> Record(double ie) {
  auto rec = CurveRecord(PowerLaw(20 * std::hypot(10.0, 6.0), ie, 6.0), 20, 400);
  TapTest& tap = rec->taps[0];
  tap.fWindingRes = 2000;
  tap.nNamePlateNum = 400;
  tap.fNamePlateDen = 1;
  tap.fTestRatio = 400.4;
  tap.fKneeVtg10 = 210;
  rec->manufacturer = "MAKER";
  rec->serialnumber = "P1";
  rec->fullpath = "/elsewhere/p1.test";
  return rec;
}

ProfiledCt FromLibrary(const TestRecord& rec, const std::string& profile) {
  RecordEntry entry;
  EntryFromRecord(rec, entry);
  ProfiledCt ct;
  ct.ct = entry.ct;
  ct.profile = profile;
  ct.path = rec.fullpath;
  ct.tests = entry.tests;
  return ct;
}

AssessmentProfile Profile(const std::string& json) {
  AssessmentProfile p;
  std::string why;
  EXPECT_TRUE(ParseAssessmentProfile(json, p, why)) << why;
  return p;
}

TEST(LibraryAssess, TheLibrarysValuesGiveTheVerdictOfTheRecordFile) {
  struct Case {
    double ie;
    std::string profile;
    Verdict verdict;
    const char* why_has;
  } const cases[] = {
      {0.60, k5P, Verdict::kPass, ""},
      {1.40, k5P, Verdict::kFail, "composite error 7.00 %"},
      {0.01, kPx, Verdict::kPass, ""},
      {0.20, kPx, Verdict::kFail, "excitation current at Ek"},
      {0.60, R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"test":2})", Verdict::kNotAssessed,
       "the record has no test 2"},
  };
  for (const Case& c : cases) {
    const auto rec = Record(c.ie);
    const CtVerdict v = AssessProfiledCt(FromLibrary(*rec, c.profile), nullptr);
    const AssessmentResult r = AssessRecord(*rec, Profile(c.profile));
    EXPECT_EQ(v.verdict, c.verdict) << c.profile << " " << c.ie << ": " << v.why;
    EXPECT_EQ(v.verdict, r.verdict) << c.profile << " " << c.ie;
    EXPECT_NE(v.why.find(c.why_has), std::string::npos) << v.why;
    if (r.usable) {
      EXPECT_EQ(v.test, r.label);
    }
  }
}

TEST(LibraryAssess, TheRecordFileIsReadOnlyWhenTheLibraryLacksTheCurve) {
  const auto rec = Record(1.40);
  int reads = 0;
  const RecordFileReader reads_it = [&](const std::string& path, TestRecord& out) {
    ++reads;
    if (path != rec->fullpath) return false;
    out = *rec;
    return true;
  };
  const RecordFileReader unreachable = [&](const std::string&, TestRecord&) {
    ++reads;
    return false;
  };
  ProfiledCt curveless = FromLibrary(*rec, k5P);
  curveless.tests[0].curve.clear();
  struct Case {
    const char* what;
    ProfiledCt ct;
    const RecordFileReader* read;
    int reads;
    Verdict verdict;
    const char* why;
  } const cases[] = {
      {"values suffice", FromLibrary(*rec, k5P), &unreachable, 0, Verdict::kFail, nullptr},
      {"curve from the file", curveless, &reads_it, 1, Verdict::kFail, nullptr},
      {"file elsewhere", curveless, &unreachable, 1, Verdict::kNotAssessed,
       "the record has no excitation curve in the library; file not reachable here"},
      {"no reader", curveless, nullptr, 0, Verdict::kNotAssessed,
       "the record has no excitation curve in the library; file not reachable here"},
      {"not a profile", FromLibrary(*rec, R"({"class":"5P"})"), &reads_it, 0, Verdict::kNotAssessed,
       "the profile kept for the CT is not used: \"isr\" is required for this class"},
  };
  for (const Case& c : cases) {
    reads = 0;
    const CtVerdict v = AssessProfiledCt(c.ct, c.read ? *c.read : RecordFileReader());
    EXPECT_EQ(reads, c.reads) << c.what;
    EXPECT_EQ(v.verdict, c.verdict) << c.what << ": " << v.why;
    if (c.why) {
      EXPECT_EQ(v.why, c.why) << c.what;
    }
  }
}

TEST(LibraryAssess, TheTableInTextCsvAndJson) {
  CtVerdict pass;
  pass.ct.serialnumber = "P1";
  pass.ct.manufacturer = "MAKER";
  pass.ct.station = "NORTH, YARD";
  pass.ct.circuit = "LINE 4";
  pass.test = "Test 1 (tap X1-X5)";
  pass.rating = "5P20, 10 VA, pf 0.8, Isr 1 A";
  pass.verdict = Verdict::kPass;
  pass.test_date = "2026-03-01 10:00:00";
  CtVerdict fail = pass;
  fail.ct.serialnumber = "P22";
  fail.ct.station = "S\xD8";  // Windows-1252 in the program, UTF-8 out
  fail.verdict = Verdict::kFail;
  fail.why = "composite error 7.00 % (5.0 %)";
  const std::vector<CtVerdict> both{pass, fail};

  EXPECT_EQ(VerdictsCsv(both),
            "Serial number,Manufacturer,Station,Circuit,Test,Rating,Verdict,Why\r\n"
            "P1,MAKER,\"NORTH, YARD\",LINE 4,Test 1 (tap X1-X5),\"5P20, 10 VA, pf 0.8, Isr 1 A\","
            "PASS,\r\n"
            "P22,MAKER,S\xC3\x98,LINE 4,Test 1 (tap X1-X5),\"5P20, 10 VA, pf 0.8, Isr 1 A\",FAIL,"
            "composite error 7.00 % (5.0 %)\r\n");

  const JsonValue json = VerdictsJson(both);
  ASSERT_EQ(json.Size(), 2u);
  struct Member {
    size_t row;
    const char* name;
    const char* value;
  } const members[] = {
      {0, "serialnumber", "P1"},
      {0, "verdict", "pass"},
      {0, "why", ""},
      {1, "station", "S\xC3\x98"},
      {1, "verdict", "fail"},
      {1, "test", "Test 1 (tap X1-X5)"},
      {1, "rating", "5P20, 10 VA, pf 0.8, Isr 1 A"},
      {1, "test_date", "2026-03-01 10:00:00"},
  };
  for (const Member& m : members) {
    const JsonValue* v = json.At(m.row).Find(m.name);
    ASSERT_NE(v, nullptr) << m.name;
    EXPECT_EQ(v->AsString(), m.value) << m.name;
  }

  const std::vector<std::string> lines = VerdictTableLines(both);
  ASSERT_EQ(lines.size(), 3u);
  // Every column starts where its title does.
  struct Cell {
    size_t line;
    const char* title;
    const char* text;
  } const cells[] = {{1, "Station", "NORTH, YARD"},
                     {1, "Verdict", "PASS"},
                     {2, "Verdict", "FAIL"},
                     {2, "Why", "composite error"}};
  for (const Cell& c : cells) {
    const size_t at = lines[0].find(c.title);
    EXPECT_EQ(lines[c.line].substr(at, std::string(c.text).size()), c.text) << c.title;
    EXPECT_EQ(lines[c.line][at - 1], ' ') << c.title;
  }
}

}  // namespace
}  // namespace kova
