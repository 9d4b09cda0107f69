#include "library/library_assess.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "assess/profile_json.h"
#include "assess/profile_rating.h"
#include "base/codepage.h"
#include "base/format.h"
#include "library/history_table.h"
#include "records/test_label.h"

namespace kova {

namespace {

// The test the profile names, or the first with a curve, as the record's
// own assessment chooses it; null when there is none.
const TestRow* ChooseRow(const std::vector<TestRow>& tests, int wanted) {
  for (const TestRow& t : tests) {
    if (wanted > 0 ? t.tap_index + 1 == wanted : t.curve.size() >= 2) return &t;
  }
  return nullptr;
}

AssessedTest FromRow(const TestRow& t) {
  AssessedTest a;
  a.number = ReportTestNumber(t.tap_index);
  a.label = ReportTestLabel(t.tap_index, t.tap);
  a.curve = t.curve;
  a.rct75 = t.has_resistance ? t.rct75 : 0;
  a.knee10_volts = t.knee10_v;
  a.turns_measured = t.has_ratio && t.nameplate_ratio > 0 && std::isfinite(t.ratio_error);
  a.turns_error_percent = a.turns_measured ? t.ratio_error : 0;
  return a;
}

// What made the verdict: the failed checks, else those not made.
std::string WhyOf(const AssessmentResult& r) {
  if (!r.usable) return r.problem;
  std::string why;
  for (Verdict wanted : {Verdict::kFail, Verdict::kNotAssessed}) {
    for (const AssessCheck& c : r.checks) {
      if (c.verdict != wanted) continue;
      why += (why.empty() ? "" : "; ") + c.name + " " + c.value + " (" + c.limit + ")";
    }
    if (!why.empty()) break;
  }
  return r.verdict == Verdict::kPass ? std::string() : why;
}

bool SameText(const std::string& want, const std::string& have) {
  return want.empty() || NormalizeIdentityText(want) == NormalizeIdentityText(have);
}

std::string CsvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string out = "\"";
  for (char c : utf8) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

const char* VerdictCell(Verdict v) { return VerdictCaps(v); }

CtVerdict AssessProfiledCt(const ProfiledCt& ct, const RecordFileReader& read) {
  CtVerdict v;
  v.ct = ct.ct;
  v.test_date = ct.test_date;
  v.path = ct.path;
  AssessmentProfile profile;
  std::string why;
  if (!ParseAssessmentProfile(ct.profile, profile, why)) {
    v.why = "the profile kept for the CT is not used: " + why;
    return v;
  }
  v.rating = ProfileRatingLine(profile);
  const TestRow* row = ChooseRow(ct.tests, profile.test);
  if (row == nullptr && (profile.test > 0 || ct.tests.empty())) {
    // The library holds every test the record has.
    v.why = profile.test > 0 ? MissingTestText(profile.test, static_cast<int>(ct.tests.size()))
                             : "the record has no excitation curve";
    return v;
  }
  AssessmentResult result;
  if (row != nullptr && row->curve.size() >= 2) {
    result = AssessTest(FromRow(*row), profile);
  } else {
    // The library has no curve for it: only the record file can tell.
    TestRecord rec;
    if (ct.path.empty() || !read || !read(ct.path, rec)) {
      v.test = row ? ReportTestLabel(row->tap_index, row->tap) : std::string();
      v.why = std::string(row ? "the test has no excitation curve in the library"
                              : "the record has no excitation curve in the library") +
              "; file not reachable here";
      return v;
    }
    result = AssessRecord(rec, profile);
  }
  v.test = result.label;
  v.verdict = result.verdict;
  v.why = WhyOf(result);
  return v;
}

StoreOutcome AssessLibrary(RecordReader& store, const LibraryAssessFilter& filter,
                           const RecordFileReader& read, std::vector<CtVerdict>& out) {
  std::vector<ProfiledCt> cts;
  const StoreOutcome outcome = store.ProfiledCts(cts);
  out.clear();
  if (!outcome.ok()) return outcome;
  for (const ProfiledCt& ct : cts) {
    if (SameText(filter.station, ct.ct.station) && SameText(filter.circuit, ct.ct.circuit))
      out.push_back(AssessProfiledCt(ct, read));
  }
  const auto order = [](const CtVerdict& v) {
    return std::make_tuple(NormalizeIdentityText(v.ct.station), NormalizeIdentityText(v.ct.circuit),
                           NormalizeIdentityText(v.ct.serialnumber), v.ct.key);
  };
  std::sort(out.begin(), out.end(),
            [&](const CtVerdict& a, const CtVerdict& b) { return order(a) < order(b); });
  return {};
}

const std::vector<std::string>& VerdictColumns() {
  static const std::vector<std::string> columns{
      "Serial number", "Manufacturer", "Station", "Circuit", "Test", "Rating", "Verdict", "Why"};
  return columns;
}

std::vector<std::string> VerdictCells(const CtVerdict& v) {
  return {v.ct.serialnumber, v.ct.manufacturer,      v.ct.station, v.ct.circuit, v.test,
          v.rating,          VerdictCell(v.verdict), v.why};
}

std::string VerdictsCsv(const std::vector<CtVerdict>& verdicts) {
  std::string out;
  auto line = [&out](const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i)
      out += (i ? "," : "") + CsvField(Cp1252ToUtf8(fields[i]));
    out += "\r\n";
  };
  line(VerdictColumns());
  for (const CtVerdict& v : verdicts) line(VerdictCells(v));
  return out;
}

JsonValue VerdictsJson(const std::vector<CtVerdict>& verdicts) {
  JsonValue all = JsonValue::Array();
  for (const CtVerdict& v : verdicts) {
    JsonValue o = JsonValue::Object();
    o.Set("serialnumber", JsonValue::String(Cp1252ToUtf8(v.ct.serialnumber)));
    o.Set("manufacturer", JsonValue::String(Cp1252ToUtf8(v.ct.manufacturer)));
    o.Set("station", JsonValue::String(Cp1252ToUtf8(v.ct.station)));
    o.Set("circuit", JsonValue::String(Cp1252ToUtf8(v.ct.circuit)));
    o.Set("test", JsonValue::String(Cp1252ToUtf8(v.test)));
    o.Set("rating", JsonValue::String(Cp1252ToUtf8(v.rating)));
    o.Set("verdict", JsonValue::String(VerdictWord(v.verdict)));
    o.Set("why", JsonValue::String(Cp1252ToUtf8(v.why)));
    o.Set("test_date", JsonValue::String(v.test_date));
    o.Set("file", JsonValue::String(SystemNameToUtf8(v.path)));
    all.Push(std::move(o));
  }
  return all;
}

std::vector<std::string> VerdictTableLines(const std::vector<CtVerdict>& verdicts) {
  std::vector<std::vector<std::string>> rows{VerdictColumns()};
  for (const CtVerdict& v : verdicts) rows.push_back(VerdictCells(v));
  std::vector<size_t> width(VerdictColumns().size(), 0);
  for (const auto& r : rows)
    for (size_t i = 0; i < r.size(); ++i) width[i] = std::max(width[i], r[i].size());
  std::vector<std::string> lines;
  for (const auto& r : rows) {
    std::string line;
    for (size_t i = 0; i < r.size(); ++i) {
      line += r[i];
      if (i + 1 < r.size()) line += std::string(width[i] - r[i].size() + 2, ' ');
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace kova
