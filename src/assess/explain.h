#pragma once
// Why every number is what it is: for each value the program computes for a
// test (knee points, Rct at 75 degC, ratio error, phase, class, RCF, E_ALF,
// composite error, the PX checks, the comparisons) the rule, its formula,
// each input with where it came from, the points it was read between and
// how, and whether it lies beyond the measured curve.

#include <string>
#include <vector>

#include "assess/iec_assessment.h"
#include "assess/loglog_curve.h"
#include "base/json.h"
#include "records/test_record.h"

namespace kova {

enum class Origin { kMeasured, kPlan, kSetting, kDefault, kProfile, kComputed, kConstant };
// "measured", "plan", "setting", "default", "profile", "computed", "constant".
const char* OriginWord(Origin o);

struct ExplainInput {
  std::string name;
  double value = 0;
  std::string unit;
  Origin origin = Origin::kMeasured;
};

struct Explanation {
  std::string quantity;  // what the value is
  std::string result;    // the value as shown
  std::string rule;      // in words
  std::string formula;
  std::vector<ExplainInput> inputs;
  std::vector<CurvePoint> points;  // the points it was read between
  std::string interpolation;       // "linear in log-log", "linear", "none"
  bool extrapolated = false;
};

// Comparison flags that are added to a test's working (see comparisons.h).
struct TestExplanation {
  int test = 0;  // 1-based
  std::string tap;
  std::string label;  // "Test 1 (tap X1-X5)", as the report names it
  std::vector<Explanation> items;
};

struct RecordExplanation {
  std::string program_version;
  std::vector<TestExplanation> tests;
};

// Working of one test (1-based); `assessment` adds E_ALF and the class
// checks when it belongs to this test.
TestExplanation ExplainTest(const TestRecord& rec, int test, const AssessmentResult* assessment,
                            const AssessmentProfile* profile);
// Every test of the record, or only `only_test` when it is above 0.
RecordExplanation ExplainRecord(const TestRecord& rec, int only_test,
                                const AssessmentResult* assessment,
                                const AssessmentProfile* profile);

struct ReferenceComparison;
struct TapComparison;
// Adds the working of the comparisons to their tests: the reference (when
// `ref` is given and was made) and the taps of the CT.
void AddComparisonWorking(const ReferenceComparison* ref, const std::vector<TapComparison>& taps,
                          RecordExplanation& e);

// Plain text lines (Windows-1252), one block per value.
std::vector<std::string> ExplanationLines(const RecordExplanation& e);
JsonValue ExplanationJson(const RecordExplanation& e);

// The assessment as text lines and as JSON.
std::vector<std::string> AssessmentLines(const AssessmentResult& r, const AssessmentProfile& p);
JsonValue AssessmentJson(const AssessmentResult& r, const AssessmentProfile& p);

// A value that is not a number (a damaged record can carry one) is shown as
// "N/A" like everywhere else in the report: every "nan" or "inf" word of
// the lines, with its sign, becomes "N/A".
std::vector<std::string> WithoutNonFinite(std::vector<std::string> lines);

}  // namespace kova
