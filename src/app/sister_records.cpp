#include "app/sister_records.h"

#include <algorithm>

#include "analysis/read_record.h"
#include "app/comparison_settings.h"
#include "base/codepage.h"
#include "base/path.h"
#include "library/sister_phases.h"

namespace kova {

namespace {

std::string Named(const SisterCandidate& c) {
  return "\"" + SystemNameToCp1252(c.test.path) + "\" (serial number " + c.ct.serialnumber + ")";
}

}  // namespace

StoreOutcome LoadSisterRecords(RecordReader& store, const TestRecord& rec, int test, int span_days,
                               const RecordDefaults& defaults, SisterRecords& out) {
  out = {};
  SisterChoice choice;
  const StoreOutcome outcome = FindSisterCandidates(store, rec, test, span_days, choice, out.why);
  if (!outcome.ok()) return outcome;
  for (const SisterCandidate& c : choice.too_far) {
    out.notes.push_back("Not compared: " + Named(c) + " was tested " +
                        std::to_string(c.days_apart) + " days apart, more than " +
                        std::to_string(span_days));
  }
  for (const SisterCandidate& c : choice.undated) {
    out.notes.push_back("Not compared: " + Named(c) + " has no test date that reads");
  }
  for (const SisterCandidate& c : choice.chosen) {
    auto sister = std::make_unique<TestRecord>();
    std::string why;
    if (!ReadRecordFile(*sister, c.test.path, defaults, &why)) {
      // The library remembers a file that has since gone or changed.
      out.notes.push_back("Not compared: " + Named(c) + " cannot be read: " + why);
      continue;
    }
    out.records.push_back(std::move(sister));
    out.names.push_back(FileNameOf(c.test.path));
    out.tests.push_back(c.test.tap_index + 1);
  }
  return outcome;
}

bool ReadNamedSisters(const TestRecord& rec, const std::vector<std::string>& paths, int span_days,
                      const RecordDefaults& defaults, SisterRecords& out) {
  out = {};
  for (const std::string& path : paths) {
    auto sister = std::make_unique<TestRecord>();
    std::string why;
    if (!ReadRecordFile(*sister, path, defaults, &why)) {
      out.why = "Cannot read record file \"" + SystemNameToCp1252(path) + "\": " + why;
      return false;
    }
    const int apart =
        TestDaysApart(rec.testdatetime, sister->testdatetime, defaults.dateformat != 0);
    if (apart > span_days) {
      out.notes.push_back("Not compared: \"" + SystemNameToCp1252(path) + "\" was tested " +
                          std::to_string(apart) + " days apart, more than " +
                          std::to_string(span_days));
      continue;
    }
    out.records.push_back(std::move(sister));
    out.names.push_back(FileNameOf(path));
    out.tests.push_back(0);
  }
  return true;
}

SisterComparison CompareWithSisters(const TestRecord& rec, const std::string& name, int test,
                                    const SisterRecords& sisters, const ComparisonBands& bands) {
  const int t = std::max(1, std::min(test, kMaxTaps));
  // The comparison's lines are text: the file names go in as such.
  std::vector<SisterMember> members{{&rec, SystemNameToCp1252(name), t}};
  for (size_t i = 0; i < sisters.records.size(); ++i) {
    members.push_back({sisters.records[i].get(), SystemNameToCp1252(sisters.names[i]),
                       i < sisters.tests.size() ? sisters.tests[i] : 0});
  }
  return CompareSisters(members, rec.taps[t - 1].nTapConnection, bands);
}

}  // namespace kova
