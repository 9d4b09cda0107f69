#pragma once
// The four current ratio error (burden calculation) values of one tap, and
// the rules of the dialog that edits them.

#include <string>

namespace kova {

struct RatioErrorValues {
  int bDoBurdenTest = 0;
  double fBurdenVA = 0;
  double fCosPhi = 0;
  double fSecCurrent = 0;
  bool operator==(const RatioErrorValues& o) const {
    return bDoBurdenTest == o.bDoBurdenTest && fBurdenVA == o.fBurdenVA && fCosPhi == o.fCosPhi &&
           fSecCurrent == o.fSecCurrent;
  }
};

// The four values of a plan's or a record's tap entry (both name them alike).
template <typename Tap>
RatioErrorValues RatioErrorOf(const Tap& tap) {
  return {tap.bDoBurdenTest, tap.fBurdenVA, tap.fCosPhi, tap.fSecCurrent};
}

// "Current Ratio Error Calculation": a check box and three number fields.
struct RatioErrorModel {
  bool run = false;
  std::string burden_va, cos_phi, sec_current;

  void Load(const RatioErrorValues& values);
  // Checking fills 30 VA, 0.5 and 1.0 A; unchecking sets all three to 0.
  void ClickRun(bool checked);
  // The fields must be numbers that the plan image can hold (the hints
  // [0-500 VA] and so on are not enforced); false with a message otherwise.
  bool Store(RatioErrorValues& out, std::string& error) const;
};

// "Test Note": the record keeps Windows line ends, the editor plain ones.
std::string NoteForEditor(const std::string& stored);
std::string NoteForRecord(const std::string& edited);

}  // namespace kova
