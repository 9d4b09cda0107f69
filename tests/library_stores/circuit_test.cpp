// The record library's side of the comparisons, on SQLite and PostgreSQL:
// sister phases found by station and circuit, and reference curves kept
// per CT.

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/read_record.h"
#include "app/sister_records.h"
#include "assess/reference_curve.h"
#include "library/library_import.h"
#include "library/library_references.h"
#include "library/sister_phases.h"
#include "library_support/library_records.h"
#include "store_fixture.h"

namespace kova {
namespace {

std::unique_ptr<TestRecord> Read(const std::string& path) {
  auto rec = std::make_unique<TestRecord>();
  EXPECT_TRUE(ReadRecordFile(*rec, path, RecordDefaults())) << path;
  return rec;
}

std::vector<std::string> Serials(const std::vector<SisterCandidate>& list) {
  std::vector<std::string> out;
  for (const SisterCandidate& c : list) out.push_back(c.ct.serialnumber);
  return out;
}

// Three CTs of one design on STATION 0 / FEEDER 0 (SN00000..2, first tested
// 2010-01-01, 2010-02-02 and 2010-03-03, again a year later), one of the
// same design on FEEDER 1 (SN00003) and one on "STATION 0 EAST" / FEEDER 0
// (SN00004).
class CircuitLibrary {
 public:
  explicit CircuitLibrary(const std::string& folder) {
    LibraryRecordSet set;
    set.cts = 3;
    set.tests_per_ct = 2;
    set.stations = 1;
    set.circuits = 1;
    set.one_design = true;
    paths = WriteLibraryRecords(folder, set);
    set.first_ct = 3;
    set.cts = 1;
    set.circuits = 2;
    for (const std::string& p : WriteLibraryRecords(folder, set)) paths.push_back(p);
    // A station whose name only begins like theirs is another station.
    set.first_ct = 4;
    set.circuits = 1;
    set.station_extra = " EAST";
    for (const std::string& p : WriteLibraryRecords(folder, set)) paths.push_back(p);
  }
  // CT n's test t.
  const std::string& Path(int n, int t) const { return paths.at(static_cast<size_t>(n * 2 + t)); }
  std::vector<std::string> paths;
};

TEST_P(StoreTest, SisterPhasesAreTheOtherCtsOfTheCircuitNearestInTime) {
  const CircuitLibrary lib(folder_ + "/records");
  ASSERT_TRUE(ImportRecordFiles(*store_, {folder_ + "/records"}, {}).store.ok());
  const auto sn1 = Read(lib.Path(1, 0));  // 2010-02-02

  struct Case {
    const char* what;
    std::function<void(TestRecord&)> change;
    int span;
    std::vector<std::string> chosen, too_far;
    bool asked;
  } const cases[] = {
      {"30 days: SN00002 29 days apart, SN00000 32", nullptr, 30, {"SN00002"}, {"SN00000"}, true},
      {"32 days takes both", nullptr, 32, {"SN00000", "SN00002"}, {}, true},
      {"station and circuit in other letter case",
       [](TestRecord& r) {
         r.station = "  station 0";
         r.circuit = "feeder 0 ";
       },
       30,
       {"SN00002"},
       {"SN00000"},
       true},
      {"another ratio has no sisters",
       [](TestRecord& r) { r.taps[0].nNamePlateNum += 5; },
       400,
       {},
       {},
       true},
      {"another circuit",
       [](TestRecord& r) { r.circuit = "FEEDER 1"; },
       4000,
       {"SN00003"},
       {},
       true},
      {"no station, no circuit",
       [](TestRecord& r) {
         r.station.clear();
         r.circuit.clear();
       },
       400,
       {},
       {},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestRecord rec = *sn1;
    if (c.change) c.change(rec);
    SisterChoice choice;
    std::string why;
    ASSERT_TRUE(FindSisterCandidates(*store_, rec, 1, c.span, choice, why).ok());
    EXPECT_EQ(why.empty(), c.asked) << why;
    EXPECT_EQ(Serials(choice.chosen), c.chosen);
    EXPECT_EQ(Serials(choice.too_far), c.too_far);
    // The nearest test of each CT is the first year's.
    for (const SisterCandidate& s : choice.chosen) EXPECT_EQ(s.test.test_date.substr(0, 4), "2010");
  }

  // The chosen records are read from their files; one gone since it was
  // filed is left out and named.
  SisterRecords sisters;
  ASSERT_TRUE(LoadSisterRecords(*store_, *sn1, 1, 32, RecordDefaults(), sisters).ok());
  ASSERT_EQ(sisters.records.size(), 2u);
  EXPECT_EQ(sisters.names[0], "SN00000-00.test");
  EXPECT_EQ(sisters.records[1]->serialnumber, "SN00002");
  EXPECT_EQ(sisters.tests, (std::vector<int>{1, 1}));  // each by the test the library chose
  EXPECT_TRUE(sisters.notes.empty());
  std::filesystem::remove(lib.Path(0, 0));
  ASSERT_TRUE(LoadSisterRecords(*store_, *sn1, 1, 30, RecordDefaults(), sisters).ok());
  EXPECT_EQ(sisters.names, std::vector<std::string>{"SN00002-00.test"});
  ASSERT_EQ(sisters.notes.size(), 1u);
  EXPECT_NE(sisters.notes[0].find("32 days apart, more than 30"), std::string::npos)
      << sisters.notes[0];
  ASSERT_TRUE(LoadSisterRecords(*store_, *sn1, 1, 40, RecordDefaults(), sisters).ok());
  ASSERT_EQ(sisters.notes.size(), 1u);
  EXPECT_NE(sisters.notes[0].find("SN00000-00.test\" (serial number SN00000) cannot be read"),
            std::string::npos)
      << sisters.notes[0];
}

// A reference imported with one record of a CT is found by every record of
// that CT, stays when the CT's records are pruned, and is replaced by a
// newer import; a record without a serial number keeps its own beside it.
TEST_P(StoreTest, ReferenceCurvesAreKeptPerCt) {
  const CircuitLibrary lib(folder_ + "/records");
  ASSERT_TRUE(ImportRecordFiles(*store_, {folder_ + "/records"}, {}).store.ok());
  ReferenceCurve ref;
  std::string why;
  // A tap name outside ASCII ("n°" in Windows-1252) comes back as it went in.
  ASSERT_TRUE(
      ParseReferenceCsv("tap,X1-X5 n\xB0 2\nturns,400\nvoltmeter,average\n"
                        "100,0.01\n200,0.1\n300,1\n",
                        ref, why))
      << why;
  LibraryReferences keeper(*store_);
  std::string where;
  ASSERT_TRUE(keeper.Keep(*Read(lib.Path(1, 0)), ref, where, why)) << why;
  EXPECT_EQ(where, kReferenceInLibrary);
  EXPECT_FALSE(std::filesystem::exists(ReferencePathBeside(lib.Path(1, 0))));

  const KeptReference other_year = keeper.Find(*Read(lib.Path(1, 1)));
  ASSERT_TRUE(other_year.loaded()) << other_year.why;
  EXPECT_EQ(ReferenceCsv(other_year.curve), ReferenceCsv(ref));
  EXPECT_EQ(other_year.curve.tap, "X1-X5 n\xB0 2");
  EXPECT_EQ(keeper.Find(*Read(lib.Path(0, 0))).state, KeptReference::State::kNone);

  int64_t removed = 0;
  ASSERT_TRUE(store_->Prune([](const std::string&) { return false; }, removed).ok());
  EXPECT_TRUE(keeper.Find(*Read(lib.Path(1, 1))).loaded());
  ref.turns = 800;
  ASSERT_TRUE(keeper.Keep(*Read(lib.Path(1, 1)), ref, where, why)) << why;
  EXPECT_EQ(keeper.Find(*Read(lib.Path(1, 0))).curve.turns, 800);

  auto nameless = Read(lib.Path(2, 0));
  nameless->serialnumber = " ";
  ASSERT_TRUE(keeper.Keep(*nameless, ref, where, why)) << why;
  EXPECT_EQ(where, ReferencePathBeside(lib.Path(2, 0)));
  EXPECT_TRUE(keeper.Find(*nameless).loaded());
  // A file beside a record of a CT the library keeps none for still counts.
  EXPECT_TRUE(keeper.Find(*Read(lib.Path(2, 0))).loaded());
}

}  // namespace
}  // namespace kova
