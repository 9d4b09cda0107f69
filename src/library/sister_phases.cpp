#include "library/sister_phases.h"

#include <cstdlib>
#include <map>

#include "base/civil_date.h"
#include "library/record_entry.h"

namespace kova {

namespace {

bool Digits(const std::string& s, size_t at, size_t n, int& out) {
  out = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

// -1 when the text is not "YYYY-MM-DD...".
int64_t DayOf(const std::string& date) {
  int y = 0, m = 0, d = 0;
  if (!Digits(date, 0, 4, y) || date.size() < 10 || date[4] != '-' || !Digits(date, 5, 2, m) ||
      date[7] != '-' || !Digits(date, 8, 2, d) || m < 1 || m > 12 || d < 1 || d > 31)
    return -1;
  return DaysFromCivil(y, m, d);
}

}  // namespace

int LibraryDaysApart(const std::string& a, const std::string& b) {
  const int64_t da = DayOf(a), db = DayOf(b);
  if (da < 0 || db < 0) return -1;
  return static_cast<int>(std::llabs(da - db));
}

SisterChoice ChooseSisters(const std::vector<CtTestRow>& rows, const std::string& test_date,
                           int span_days) {
  const bool dated = DayOf(test_date) >= 0;
  // Per CT key: the best candidate so far, and whether any of its dates read.
  std::map<std::string, SisterCandidate> best;
  std::map<std::string, SisterCandidate> undated;
  for (const CtTestRow& row : rows) {
    SisterCandidate c{row.ct, row.test, LibraryDaysApart(test_date, row.test.test_date)};
    const std::string& key = row.ct.key;
    if (dated && c.days_apart < 0) {
      undated.emplace(key, c);
      continue;
    }
    auto it = best.find(key);
    if (it == best.end()) {
      best.emplace(key, c);
      continue;
    }
    const SisterCandidate& so_far = it->second;
    // Undated: the latest test whose date reads, one that does not only
    // when the CT has no other. Of one record's tests of the tap (the rows
    // come in test order), the last: a retest stands for the first try.
    const bool same_record =
        !c.test.content_hash.empty() && c.test.content_hash == so_far.test.content_hash;
    const bool better = same_record || (dated ? c.days_apart < so_far.days_apart
                                              : DayOf(c.test.test_date) >= 0 &&
                                                    (DayOf(so_far.test.test_date) < 0 ||
                                                     c.test.test_date > so_far.test.test_date));
    if (better) it->second = c;
  }
  SisterChoice out;
  for (auto& [key, c] : best) {
    if (dated && c.days_apart > span_days) {
      out.too_far.push_back(c);
    } else {
      out.chosen.push_back(c);
    }
  }
  for (auto& [key, c] : undated)
    if (best.count(key) == 0) out.undated.push_back(c);
  return out;
}

StoreOutcome FindSisterCandidates(RecordReader& store, const TestRecord& rec, int test,
                                  int span_days, SisterChoice& out, std::string& why) {
  out = {};
  RecordEntry entry;
  EntryFromRecord(rec, entry);
  if (test < 1 || test > static_cast<int>(entry.tests.size())) {
    why = "The record has no test " + std::to_string(test);
    return {};
  }
  if (NormalizeIdentityText(rec.station).empty() && NormalizeIdentityText(rec.circuit).empty()) {
    why = "The record names no station and no circuit";
    return {};
  }
  const TestRow& row = entry.tests[static_cast<size_t>(test - 1)];
  std::vector<CtTestRow> rows;
  const StoreOutcome outcome = store.CircuitTests(rec.station, rec.circuit, row.tap,
                                                  row.nameplate_ratio, entry.ct.key, rows);
  if (outcome.ok()) out = ChooseSisters(rows, entry.test_date, span_days);
  return outcome;
}

}  // namespace kova
