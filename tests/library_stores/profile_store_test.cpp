// Assessment profiles kept per CT in the record library, on SQLite and
// PostgreSQL: kept, read and replaced; found by every record of the CT; a
// library of the previous schema upgraded in place; and the library's
// verdict table, which agrees with the assessment of the record file.

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/read_record.h"
#include "assess/profile_json.h"
#include "library/library_assess.h"
#include "library/library_import.h"
#include "library/library_references.h"
#include "library_support/library_records.h"
#include "report/record_context.h"
#include "store_fixture.h"

namespace kova {
namespace {

constexpr const char* k5P = R"({"class":"5P","isr":1,"alf":20,"burden_va":10})";
constexpr const char* kPx = R"({"class":"PX","isr":1,"kx":20,"rb":5,"ie_max":0.03})";

std::unique_ptr<TestRecord> Read(const std::string& path) {
  auto rec = std::make_unique<TestRecord>();
  EXPECT_TRUE(ReadRecordFile(*rec, path, RecordDefaults())) << path;
  return rec;
}

AssessmentProfile Profile(const char* json) {
  AssessmentProfile p;
  std::string why;
  EXPECT_TRUE(ParseAssessmentProfile(json, p, why)) << why;
  return p;
}

TEST_P(StoreTest, AProfileIsKeptReadAndReplacedPerCt) {
  struct Step {
    const char* ct_key;
    const char* keep;  // null: only read
    const char* a_reads;
    const char* b_reads;  // null: none kept
  } const steps[] = {
      {"A", nullptr, nullptr, nullptr},
      {"A", k5P, k5P, nullptr},
      {"B", kPx, k5P, kPx},
      {"A", kPx, kPx, kPx},  // replaced, not added
  };
  for (const Step& s : steps) {
    if (s.keep) {
      ASSERT_TRUE(store_->KeepProfile(s.ct_key, s.keep).ok());
    }
    const char* const expected[] = {s.a_reads, s.b_reads};
    const char* const keys[] = {"A", "B"};
    for (int i = 0; i < 2; ++i) {
      std::string text;
      bool found = true;
      ASSERT_TRUE(store_->FindProfile(keys[i], text, found).ok());
      EXPECT_EQ(found, expected[i] != nullptr) << keys[i];
      EXPECT_EQ(text, expected[i] ? expected[i] : "") << keys[i];
    }
  }
}

TEST_P(StoreTest, EveryRecordOfTheCtFindsItsProfileAndTheReportUsesIt) {
  LibraryRecordSet set;
  set.cts = 2;
  const std::vector<std::string> paths = WriteLibraryRecords(folder_ + "/records", set);
  ASSERT_EQ(paths.size(), 4u);  // CT 0's two tests, then CT 1's
  ASSERT_TRUE(ImportRecordFiles(*store_, {folder_ + "/records"}, {}).store.ok());
  LibraryReferences library(*store_);
  std::string where, why;
  ASSERT_TRUE(library.KeepProfile(*Read(paths[0]), Profile(kPx), where, why)) << why;
  EXPECT_EQ(where, kReferenceInLibrary);
  EXPECT_FALSE(std::filesystem::exists(ProfilePathBeside(paths[0])));

  auto no_serial = Read(paths[2]);
  no_serial->serialnumber = "  ";
  struct Case {
    const TestRecord* rec;
    ProfileLoad load;
    const char* where;
  } const cases[] = {
      {Read(paths[1]).release(), ProfileLoad::kLoaded, kReferenceInLibrary},
      {Read(paths[3]).release(), ProfileLoad::kMissing, ""},  // another CT
      {no_serial.release(), ProfileLoad::kMissing, ""},       // no CT: beside the file
  };
  for (const Case& c : cases) {
    std::unique_ptr<const TestRecord> owned(c.rec);
    const RecordContext context = GatherRecordContext(*c.rec, library, ComparisonBands{});
    EXPECT_EQ(context.profile.load, c.load) << c.rec->fullpath << context.profile.why;
    if (c.load == ProfileLoad::kLoaded) {
      EXPECT_EQ(context.profile.where, c.where);
      EXPECT_EQ(context.profile.profile.iec_class, IecClass::kPX);
    }
  }
}

TEST_P(StoreTest, ALibraryOfThePreviousSchemaKeepsProfilesAfterItsUpgrade) {
  const std::string location = NewLocation();
  ASSERT_TRUE(OpenStore(location));
  {
    // Version 4 is the current schema without the profiles' table (and
    // without the fleet's columns, which its upgrade finds already there).
    auto db = Connect(location);
    ASSERT_TRUE(db->Exec("DROP TABLE ct_profiles"));
    ASSERT_TRUE(db->Exec("UPDATE library_meta SET value = '4' WHERE name = 'schema_version'"));
  }
  auto store = OpenStore(location);
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->KeepProfile("K", k5P).ok());
  std::string text;
  bool found = false;
  ASSERT_TRUE(store->FindProfile("K", text, found).ok());
  EXPECT_TRUE(found);
  auto db = Connect(location);
  std::vector<SqlRow> rows;
  ASSERT_TRUE(db->Exec("SELECT value FROM library_meta", {}, &rows));
  EXPECT_EQ(SqlInt(rows.at(0).at(0)), kLibrarySchemaVersion);
}

// Six CTs on three stations and two circuits (CT n: STATION n % 3,
// FEEDER n % 2), each tested twice; profiles kept for all but CT 5.
TEST_P(StoreTest, TheVerdictTableTakesEachCtsLatestTestAndItsFilters) {
  LibraryRecordSet set;
  set.cts = 6;
  set.stations = 3;
  set.circuits = 2;
  const std::vector<std::string> paths = WriteLibraryRecords(folder_ + "/records", set);
  ASSERT_TRUE(ImportRecordFiles(*store_, {folder_ + "/records"}, {}).store.ok());
  for (int n = 0; n < 5; ++n) {
    const auto rec = Read(paths[static_cast<size_t>(n * 2)]);
    ASSERT_TRUE(
        store_->KeepProfile(CtKey(rec->manufacturer, rec->serialnumber), n % 2 ? k5P : kPx).ok());
  }
  struct Case {
    LibraryAssessFilter filter;
    std::vector<std::string> serials;  // in station, circuit, serial order
  } const cases[] = {
      {{}, {"SN00000", "SN00003", "SN00004", "SN00001", "SN00002"}},
      {{" station 1", ""}, {"SN00004", "SN00001"}},
      {{"STATION 1", "feeder 1"}, {"SN00001"}},
      {{"", "FEEDER 0"}, {"SN00000", "SN00004", "SN00002"}},
      {{"STATION 9", ""}, {}},
  };
  for (const Case& c : cases) {
    std::vector<CtVerdict> verdicts;
    ASSERT_TRUE(AssessLibrary(*store_, c.filter, nullptr, verdicts).ok());
    std::vector<std::string> serials;
    for (const CtVerdict& v : verdicts) serials.push_back(v.ct.serialnumber);
    EXPECT_EQ(serials, c.serials) << c.filter.station << "/" << c.filter.circuit;
  }

  // Each verdict is the one the latest record file gets, read from the
  // library's values alone (no reader is given).
  std::vector<CtVerdict> verdicts;
  ASSERT_TRUE(AssessLibrary(*store_, {}, nullptr, verdicts).ok());
  for (const CtVerdict& v : verdicts) {
    const int n = std::stoi(v.ct.serialnumber.substr(2));
    const auto latest = Read(paths[static_cast<size_t>(n * 2 + 1)]);
    EXPECT_EQ(v.path, paths[static_cast<size_t>(n * 2 + 1)]);
    const AssessmentResult r = AssessRecord(*latest, Profile(n % 2 ? k5P : kPx));
    EXPECT_EQ(v.verdict, r.verdict) << v.ct.serialnumber << ": " << v.why;
    EXPECT_EQ(v.test, r.label) << v.ct.serialnumber;
    EXPECT_EQ(v.rating, n % 2 ? "5P20, 10 VA, pf 0.8, Isr 1 A" : "PX, Kx 20, Rb 5 ohm, Ie <= 30 mA")
        << v.ct.serialnumber;
  }
}

}  // namespace
}  // namespace kova
