#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cmath>
#include <string>
#include <vector>

#include "assess/assess_fixtures.h"
#include "base/file_io.h"
#include "base/json.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

class AssessCli : public KovaCliTest {
 protected:
  // The 5P20 worked case: Rct75 2.0 ohm, Ie(233.2 V) = `ie` A.
  // With a serial number, the CT is one phase of station "NORTH", circuit
  // "LINE 4".
  std::string WriteRecord(double ie, const std::string& name = "r.test",
                          const std::string& tested = "", const std::string& serial = "") {
    auto rec = CurveRecord(PowerLaw(20 * std::hypot(10.0, 6.0), ie, 6.0), 20, 400);
    TapTest& tap = rec->taps[0];
    tap.fWindingRes = 2000;
    tap.nNamePlateNum = 400;
    tap.fNamePlateDen = 1;
    tap.fTestRatio = 400.4;
    tap.fKneeVtg10 = 200;
    tap.fKneeCur10 = ie * std::pow(200 / 233.24, 6.0);
    rec->kneetype = 3;
    if (!tested.empty()) rec->testdatetime = tested;
    if (!serial.empty()) {
      rec->manufacturer = "MAKER";
      rec->serialnumber = serial;
      rec->station = "NORTH";
      rec->circuit = "LINE 4";
    }
    Reencode(*rec);
    const std::string path = dir_ + "/" + name;
    EXPECT_TRUE(rec->WriteRecordFile(path));
    return path;
  }
  JsonValue Json(const ProgramResult& r) {
    JsonValue json;
    std::string error;
    EXPECT_TRUE(JsonValue::Parse(r.out, json, error)) << error << r.out;
    return json;
  }
};

TEST_F(AssessCli, AssessesWithTheProfileBesideOrNamed) {
  const std::string rec = WriteRecord(0.60);
  ASSERT_TRUE(WriteFileAtomically(
      dir_ + "/r.assess.json", std::string(R"({"class":"5P","isr":1,"alf":20,"burden_va":10})")));
  ProgramResult r = Kova({"record", "assess", rec, "--json"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  JsonValue j = Json(r);
  EXPECT_NEAR(j.Find("e_alf")->AsNumber(), 233.2, 0.05);
  EXPECT_NEAR(j.Find("composite_error")->AsNumber(), 3.0, 0.05);
  EXPECT_EQ(j.Find("verdict")->AsString(), "pass");

  const std::string high = WriteRecord(1.20, "high.test");
  const std::string p10 = dir_ + "/10p.json";
  ASSERT_TRUE(WriteFileAtomically(
      p10, std::string(R"({"class":"10P","isr":1,"alf":20,"burden_r":8,"burden_x":6})")));
  r = Kova({"record", "assess", high, "--profile", p10});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("composite error: 6.0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("result: pass"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("low-leakage"), std::string::npos) << r.out;
}

TEST_F(AssessCli, RefusesWithoutAUsableProfile) {
  const std::string rec = WriteRecord(0.60);
  ProgramResult r = Kova({"record", "assess", rec});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("No assessment profile"), std::string::npos) << r.err;
  const std::string bad = dir_ + "/bad.json";
  ASSERT_TRUE(WriteFileAtomically(bad, std::string(R"({"class":"5P","isr":1,"alf":20})")));
  r = Kova({"record", "assess", rec, "--profile", bad});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("\"burden_va\""), std::string::npos) << r.err;
  r = Kova({"record", "explain", rec, "--profile", dir_ + "/none.json"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("no such file"), std::string::npos) << r.err;
  // A profile's test past the record's is refused, not assessed as test 0.
  const std::string past = dir_ + "/past.json";
  ASSERT_TRUE(WriteFileAtomically(
      past, std::string(R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"test":9})")));
  for (const char* command : {"assess", "explain"}) {
    r = Kova({"record", command, rec, "--profile", past, "--json"});
    EXPECT_EQ(r.exit_code, 1) << command;
    EXPECT_EQ(r.out, "") << command;
    EXPECT_NE(r.err.find("The record has no test 9: its only test is 1"), std::string::npos)
        << r.err;
  }
}

// A profile or a reference that is no regular file is named for what it is,
// never "no such file", and never opened (a FIFO would block).
TEST_F(AssessCli, SaysWhyAProfileOrReferenceCannotBeRead) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs and devices in the file system are POSIX";
#else
  const std::string rec = WriteRecord(0.60);
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string long_path = dir_ + "/" + std::string(300, 'n') + ".json";
  struct Case {
    const char* option;
    std::string path;
    const char* why;
  } cases[] = {
      {"--profile", fifo, "it is a FIFO (a named pipe), not a regular file"},
      {"--profile", "/dev/null", "it is a device, not a regular file"},
      {"--profile", long_path, "the path is too long"},
      {"--reference", fifo, "it is a FIFO (a named pipe), not a regular file"},
      {"--reference", "/dev/null", "it is a device, not a regular file"},
      {"--reference", long_path, "the path is too long"},
  };
  for (const Case& c : cases) {
    const bool profile = std::string(c.option) == "--profile";
    const ProgramResult r = Kova({"record", profile ? "assess" : "compare", rec, c.option, c.path});
    EXPECT_EQ(r.exit_code, 1) << c.path;
    EXPECT_NE(r.err.find(c.why), std::string::npos) << c.path << ": " << r.err;
  }
#endif
}

TEST_F(AssessCli, ExplainListsEveryValueWithItsWorking) {
  const std::string rec = WriteRecord(0.60);
  ASSERT_TRUE(WriteFileAtomically(
      dir_ + "/r.assess.json", std::string(R"({"class":"5P","isr":1,"alf":20,"burden_va":10})")));
  ProgramResult r = Kova({"record", "explain", rec, "--json", "--test", "1"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const JsonValue j = Json(r);
  EXPECT_EQ(j.Find("program_version")->AsString(), "3.0");
  const JsonValue& items = *j.Find("tests")->At(0).Find("items");
  std::string quantities;
  for (const JsonValue& item : items.Items()) {
    quantities += item.Find("quantity")->AsString() + ";";
    ASSERT_NE(item.Find("rule"), nullptr);
    ASSERT_NE(item.Find("extrapolated"), nullptr);
  }
  for (const char* q : {"IEC 10/50 knee point", "winding resistance at 75 degC", "ratio error",
                        "accuracy-limit e.m.f. E_ALF", "composite error (indirect method)"}) {
    EXPECT_NE(quantities.find(q), std::string::npos) << q << " in " << quantities;
  }
  r = Kova({"record", "explain", rec, "--test", "9"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("no test 9"), std::string::npos) << r.err;
}

TEST_F(AssessCli, CtsatExportAndComparisonWithAKeptReference) {
  const std::string rec = WriteRecord(0.60);
  ProgramResult r = Kova({"record", "export", "--format", "ctsat", rec});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::string csv;
  ASSERT_TRUE(ReadFileText(dir_ + "/r.ctsat.csv", csv));
  EXPECT_EQ(csv.substr(0, csv.find('\r')),
            "Test,Tap,S,Vs (V rms at 10 A),Vs extrapolated,N (turns ratio),N source,"
            "Rw at 75 degC (ohm)");
  EXPECT_NE(csv.find(",6.000,372.77,no,400.4000,measured,2.0000"), std::string::npos) << csv;

  const std::string ref = dir_ + "/maker.csv";
  ASSERT_TRUE(WriteFileAtomically(ref, std::string("turns,400.4\nvoltmeter,rms\n"
                                                   "100,0.0037\n200,0.24\n300,2.6\n")));
  r = Kova({"record", "compare", rec, "--reference", ref, "--keep-reference"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("Reference curve, Test 1 (tap X1-X5)"), std::string::npos) << r.out;
  EXPECT_TRUE(FileExists(dir_ + "/r.reference.csv"));
  r = Kova({"record", "compare", rec});  // the kept one
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("Reference curve, Test 1 (tap X1-X5)"), std::string::npos) << r.out;
  r = Kova({"record", "explain", rec});  // its working among the test's values
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("deviation from the reference curve: "), std::string::npos) << r.out;
  ASSERT_TRUE(WriteFileAtomically(ref, std::string("turns,400\n")));
  r = Kova({"record", "compare", rec, "--reference", ref});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("not a reference curve"), std::string::npos) << r.err;
}

// The bands come from the stored settings, the options override them; a
// curve 3 % above its reference is inside the default 5 % and outside a
// stored 2 %.
TEST_F(AssessCli, ComparisonBandsFromTheSettingsWithOptionsOver) {
  const std::string rec = WriteRecord(0.60);
  std::string ref = "turns,400.4\nvoltmeter,rms\n";
  for (double amps : {0.01, 0.05, 0.1, 0.2, 0.4, 0.8, 2.0}) {
    const double volts = 20 * std::hypot(10.0, 6.0) * std::pow(amps / 0.60, 1 / 6.0) / 1.03;
    ref += std::to_string(volts) + "," + std::to_string(amps) + "\n";
  }
  ASSERT_TRUE(WriteFileAtomically(dir_ + "/r.reference.csv", ref));
  struct Case {
    const char* what;
    std::string stored;
    std::vector<std::string> options;
    const char* verdict;
  } cases[] = {
      {"default 5 %", "", {}, "Result: OK"},
      {"stored 2 %", "ReferenceBandPermille=20\n", {}, "Result: WARN, see above"},
      {"stored 2 %, option 5 %", "ReferenceBandPermille=20\n", {"--band", "5"}, "Result: OK"},
      {"stored out of range", "ReferenceBandPermille=0\n", {}, "Result: OK"},
      {"option 2.5 %", "", {"--band", "2.5"}, "Result: WARN, see above"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteFileAtomically(dir_ + "/settings.ini", "[Settings]\n" + c.stored));
    std::vector<std::string> args{"record", "compare", rec};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ProgramResult r = Kova(args);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_NE(r.out.find(c.verdict), std::string::npos) << r.out;
  }
  const ProgramResult shown = Kova({"settings", "show"});
  EXPECT_NE(shown.out.find("SisterSpanDays"), std::string::npos) << shown.out;
}

// A sister phase tested further apart than the span is left out and named.
TEST_F(AssessCli, SisterPhasesOutsideTheSpanAreLeftOut) {
  const std::string a = WriteRecord(0.60, "a.test", "03/01/26 10:00:00");
  const std::string b = WriteRecord(0.61, "b.test", "03/20/26 10:00:00");
  const std::string c = WriteRecord(0.62, "c.test", "06/01/26 10:00:00");
  struct Case {
    const char* what;
    std::string stored;
    std::vector<std::string> options;
    bool b_left_out, c_left_out;
  } cases[] = {
      {"default 30 days", "", {}, false, true},
      {"stored 10 days", "SisterSpanDays=10\n", {}, true, true},
      {"option 100 days over stored 10",
       "SisterSpanDays=10\n",
       {"--sister-span", "100"},
       false,
       false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ASSERT_TRUE(WriteFileAtomically(dir_ + "/settings.ini", "[Settings]\n" + k.stored));
    std::vector<std::string> args{"record", "compare", a, "--sister", b, "--sister", c};
    args.insert(args.end(), k.options.begin(), k.options.end());
    const ProgramResult r = Kova(args);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err.find("\"" + b + "\" was tested 19 days apart") != std::string::npos,
              k.b_left_out)
        << r.err;
    EXPECT_EQ(r.err.find("\"" + c + "\" was tested 92 days apart") != std::string::npos,
              k.c_left_out)
        << r.err;
  }
}

// With a record library, the sister phases are the library's records of
// the station and circuit, and a reference is kept for the CT so that every
// record of it finds it; named sisters still mean those records only.
TEST_F(AssessCli, SisterPhasesAndReferencesFromTheLibrary) {
  MakeFolders(dir_ + "/recs");
  const std::string a = WriteRecord(0.60, "recs/a.test", "03/01/26 10:00:00", "P1");
  const std::string b = WriteRecord(0.61, "recs/b.test", "03/20/26 10:00:00", "P2");
  const std::string c = WriteRecord(0.62, "recs/c.test", "06/01/26 10:00:00", "P3");
  const std::string a2 = WriteRecord(0.60, "a2.test", "04/01/26 10:00:00", "P1");
  // No library yet: nothing is looked for, and none is made by looking.
  ProgramResult r = Kova({"record", "compare", a});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out.find("Sister phases"), std::string::npos) << r.out;
  EXPECT_FALSE(FileExists(dir_ + "/kova-library.sqlite"));

  r = Kova({"library", "add", dir_ + "/recs"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  r = Kova({"record", "compare", a});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("Sister phases, tap"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  serial P1, LINE 4, tested 03/01/26, Test 1 (tap X1-X5): knee"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  serial P2, LINE 4, tested 03/20/26, Test 1 (tap X1-X5): knee"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("serial P3"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("\"" + c + "\" (serial number P3) was tested 92 days apart, more than 30"),
            std::string::npos)
      << r.err;
  r = Kova({"record", "compare", a, "--sister-span", "100"});
  EXPECT_NE(r.out.find("  serial P3, LINE 4, tested 06/01/26, Test 1 (tap X1-X5): knee"),
            std::string::npos)
      << r.out;
  r = Kova({"record", "compare", a, "--sister", c, "--sister-span", "100"});
  EXPECT_NE(r.out.find("  serial P3, LINE 4, tested 06/01/26, Test 1 (tap X1-X5): knee"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("serial P2"), std::string::npos) << r.out;
  r = Kova({"record", "compare", a, "--library", dir_ + "/none.sqlite"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("No library at"), std::string::npos) << r.err;

  // Imported with one record of CT P1, found by its other record.
  const std::string ref = dir_ + "/maker.csv";
  ASSERT_TRUE(WriteFileAtomically(ref, std::string("turns,400.4\nvoltmeter,rms\n"
                                                   "100,0.0037\n200,0.24\n300,2.6\n")));
  r = Kova({"record", "compare", a, "--reference", ref, "--keep-reference"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_FALSE(FileExists(dir_ + "/recs/a.reference.csv"));
  r = Kova({"record", "compare", a2});
  EXPECT_NE(r.out.find("Reference curve, Test 1 (tap X1-X5)"), std::string::npos) << r.out;
  r = Kova({"record", "explain", a2});
  EXPECT_NE(r.out.find("deviation from the reference curve: "), std::string::npos) << r.out;
  r = Kova({"record", "compare", b});  // another CT
  EXPECT_EQ(r.out.find("Reference curve"), std::string::npos) << r.out;
}

// --json: the comparisons as one object, the sister phases by their names
// and signed turns ratio errors; --test names a test the record has or
// says which it has, as every command does.
TEST_F(AssessCli, CompareAsJsonAndTheTestNamed) {
  const std::string a = WriteRecord(0.60, "a.test", "03/01/26 10:00:00", "P1");
  const std::string b = WriteRecord(0.61, "b.test", "03/02/26 10:00:00", "P2");
  const std::string c = WriteRecord(0.87, "c.test", "03/03/26 10:00:00", "P3");
  ProgramResult r = Kova({"record", "compare", a, "--sister", b, "--sister", c, "--json"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const JsonValue j = Json(r);
  EXPECT_TRUE(j.Find("reference")->IsNull());
  const JsonValue* phases = j.Find("sister_phases")->Find("phases");
  ASSERT_EQ(phases->Size(), 3u);
  struct Want {
    const char* name;
    const char* flag;
  } const want[] = {{"serial P1, LINE 4, tested 03/01/26", "OK"},
                    {"serial P2, LINE 4, tested 03/02/26", "OK"},
                    {"serial P3, LINE 4, tested 03/03/26", "WARN"}};
  for (size_t i = 0; i < 3; ++i) {
    const JsonValue& p = phases->At(i);
    EXPECT_EQ(p.Find("name")->AsString(), want[i].name);
    EXPECT_EQ(p.Find("flag")->AsString(), want[i].flag) << i;
    EXPECT_EQ(p.Find("report_number")->AsInteger(), 1);
    // 400.4 measured on 400 turns: +0.1 %, signed.
    EXPECT_NEAR(p.Find("turns_ratio_error_percent")->AsNumber(), 0.1, 1e-9);
    EXPECT_EQ(p.Find("ratio")->Find("against")->AsString(), "median");
    EXPECT_NEAR(p.Find("ratio")->Find("deviation_turns")->AsNumber(), 0, 1e-9);
  }
  EXPECT_EQ(phases->At(0).Find("knee_volts")->Find("flag")->AsString(), "OK");
  EXPECT_LT(phases->At(2).Find("knee_volts")->Find("deviation_percent")->AsNumber(), -5.0);
  EXPECT_EQ(j.Find("flag")->AsString(), "WARN");
  EXPECT_EQ(j.Find("taps")->Find("taps")->Size(), 0u);

  r = Kova({"record", "compare", a, "--sister", c, "--json"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const JsonValue pair = Json(r);
  const JsonValue& knee = *pair.Find("sister_phases")->Find("phases")->At(0).Find("knee_volts");
  EXPECT_EQ(knee.Find("against")->AsString(), "pair");
  EXPECT_GT(knee.Find("difference_percent")->AsNumber(), 5.0);

  r = Kova({"record", "compare", a, "--test", "9"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("The record has no test 9: its only test is 1"), std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// A profile kept for the CT in the record library assesses every record of
// it, and `kova library assess` gives each CT's latest verdict, from the
// library's values even when the record file is gone.
TEST_F(AssessCli, ProfilesKeptForTheCtAndTheLibrarysVerdicts) {
  MakeFolders(dir_ + "/recs");
  const std::string a = WriteRecord(0.60, "recs/a.test", "03/01/26 10:00:00", "P1");
  const std::string a2 = WriteRecord(1.40, "recs/a2.test", "04/01/26 10:00:00", "P1");
  WriteRecord(0.61, "recs/b.test", "03/20/26 10:00:00", "P2");
  const std::string profile = dir_ + "/5p20.json";
  ASSERT_TRUE(WriteFileAtomically(
      profile, std::string(R"({"class":"5P","isr":1,"alf":20,"burden_va":10})")));
  // No library yet: kept beside the record, as before.
  ProgramResult r = Kova({"record", "assess", a, "--profile", profile, "--keep-profile"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("Assessment profile kept in " + dir_ + "/recs/a.assess.json"),
            std::string::npos)
      << r.err;
  ASSERT_TRUE(std::remove((dir_ + "/recs/a.assess.json").c_str()) == 0);

  r = Kova({"library", "add", dir_ + "/recs"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  r = Kova({"record", "assess", a, "--profile", profile, "--keep-profile"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.err.find("Assessment profile kept in the record library"), std::string::npos)
      << r.err;
  EXPECT_FALSE(FileExists(dir_ + "/recs/a.assess.json"));
  // The CT's other record finds it.
  r = Kova({"record", "assess", a2, "--json"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(Json(r).Find("verdict")->AsString(), "fail");

  // Filed from another computer: the file is not here, the values are.
  ASSERT_TRUE(std::remove(a2.c_str()) == 0);
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> has, hasnt;
  } const cases[] = {
      {{"library", "assess"},
       {"Serial number  Manufacturer  Station  Circuit  Test  ", "P1 ", "NORTH", "LINE 4",
        "Test 1 (tap X1-X5)", "5P20, 10 VA, pf 0.8, Isr 1 A", "FAIL",
        "composite error 7.00 % (5.0 %)"},
       {"\nP2"}},
      {{"library", "assess", "--csv", "--station", " north", "--circuit", "line 4"},
       {"Serial number,Manufacturer,Station,Circuit,Test,Rating,Verdict,Why\r\n"
        "P1,MAKER,NORTH,LINE 4,Test 1 (tap X1-X5),\"5P20, 10 VA, pf 0.8, Isr 1 A\",FAIL,"
        "composite error 7.00 % (5.0 %)\r\n"},
       {"\nP2"}},
      {{"library", "assess", "--json"}, {"\"verdict\": \"fail\"", "\"serialnumber\": \"P1\""}, {}},
      {{"library", "assess", "--json", "--station", "SOUTH"}, {"[]"}, {"P1"}},
  };
  for (const Case& c : cases) {
    r = Kova(c.args);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    for (const std::string& s : c.has) EXPECT_NE(r.out.find(s), std::string::npos) << s << r.out;
    for (const std::string& s : c.hasnt) EXPECT_EQ(r.out.find(s), std::string::npos) << s;
  }
}

}  // namespace
}  // namespace kova
