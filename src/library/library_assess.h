#pragma once
// Every CT the library keeps a profile for, its latest test assessed: a
// station's verdicts in one table. The values the library holds are enough
// for almost every record, so records filed from another computer are
// assessed here too; only a test whose curve the library lacks needs its
// record file, read when this computer can reach it.

#include <functional>
#include <string>
#include <vector>

#include "assess/iec_assessment.h"
#include "base/json.h"
#include "library/record_store.h"

namespace kova {

struct LibraryAssessFilter {
  std::string station, circuit;  // empty: any; letter case and spaces ignored
};

// Reads the record file at `path`; false when it cannot.
using RecordFileReader = std::function<bool(const std::string& path, TestRecord& rec)>;

struct CtVerdict {
  CtInfo ct;
  std::string test;    // "Test 1 (tap X1-X5)"; empty when none was chosen
  std::string rating;  // the profile's rating line; empty for a profile that is no profile
  std::string test_date, path;
  Verdict verdict = Verdict::kNotAssessed;
  std::string why;  // the failed or missing checks, or what stopped the assessment
};

// "PASS", "FAIL", "NOT ASSESSED": the words of the table.
const char* VerdictCell(Verdict v);

// Assesses the CTs, ordered by station, circuit and serial number.
StoreOutcome AssessLibrary(RecordReader& store, const LibraryAssessFilter& filter,
                           const RecordFileReader& read, std::vector<CtVerdict>& out);
// One CT, from what the store gave for it.
CtVerdict AssessProfiledCt(const ProfiledCt& ct, const RecordFileReader& read);

const std::vector<std::string>& VerdictColumns();
std::vector<std::string> VerdictCells(const CtVerdict& v);  // Windows-1252
// RFC 4180 text, UTF-8, a header line first; JSON with the same fields.
std::string VerdictsCsv(const std::vector<CtVerdict>& verdicts);
JsonValue VerdictsJson(const std::vector<CtVerdict>& verdicts);
// Aligned text lines for a terminal, the header first (Windows-1252).
std::vector<std::string> VerdictTableLines(const std::vector<CtVerdict>& verdicts);

}  // namespace kova
