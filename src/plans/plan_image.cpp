// The plan image: the instrument's own byte layout of a plan, and its hex
// text on the link.

#include <array>
#include <cmath>
#include <cstring>
#include <utility>

#include "base/fixed_text.h"
#include "base/le_bytes.h"
#include "plans/test_plan.h"
#include "records/record_text.h"
#include "records/tap_names.h"
#include "records/test_record.h"

namespace kova {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kKneeTypeOffset = 121;
constexpr size_t kBurdenCurrentOffset = 122;
constexpr size_t kInsulationVoltageOffset = 123;
constexpr size_t kTextOffsets[6] = {1, 21, 41, 61, 81, 101};

// The six header texts in image order.
template <typename Plan>
std::array<decltype(&std::declval<Plan&>().company), 6> HeaderTexts(Plan& p) {
  return {&p.company, &p.station, &p.circuit, &p.manufacturer, &p.model, &p.comment};
}

// A value in the image's units, cut to an integer toward zero and then to 32
// bits (the caller keeps the 8 or 16 it stores). Products such as 12.34 * 100
// land a hair below the whole number they stand for; those are taken as that
// number, so a decoded image encodes back to the same bytes.
uint32_t ImageUnits(double value, double scale) {
  const double x = value * scale;
  if (!std::isfinite(x)) return 0;
  const double nearest = std::round(x);
  const double whole = std::fabs(x - nearest) < 1e-6 ? nearest : std::trunc(x);
  constexpr double kWrap = 4294967296.0;
  double m = std::fmod(whole, kWrap);
  if (m < 0) m += kWrap;
  return static_cast<uint32_t>(m);
}

int ClampedTapCount(int numtests) {
  if (numtests < 0) return 0;
  return numtests > kMaxPlanTaps ? kMaxPlanTaps : numtests;
}

}  // namespace

size_t PlanImageSize(int devicetype) {
  return devicetype == kPlanKova7100BC ? kPlanImageCapacity : 512;
}

size_t PlanTapBlockSize(int devicetype) {
  if (devicetype == kPlanKova7100BC) return 64;
  if (devicetype == kPlanKova7KA) return 36;
  return 32;
}

bool PlanTapBlocksPlausible(const uint8_t* image, size_t size, int devicetype) {
  if (image == nullptr || size < PlanImageSize(devicetype)) return false;
  const int count = image[0];
  if (count > kMaxPlanTaps) return false;
  const size_t block = PlanTapBlockSize(devicetype);
  for (int i = 0; i < count; ++i) {
    const size_t at = kHeaderSize + block * static_cast<size_t>(i);
    if (image[at + 4] > 9 || image[at + 5] > 0x1F) return false;
    for (size_t k = 8; k < 8 + kPlanHeaderTextChars; ++k) {
      if (image[at + k] != 0 && image[at + k] < 0x20) return false;
    }
  }
  return true;
}

kvTestPlan::kvTestPlan() : taporder(DefaultTapOrder()) {
  passfail.pfcustomdeviation = 1;
  classsettings.tempcelsius = 25.0;
  classsettings.ratedcurrent = 5.0;
}

void kvTestPlan::EncodeImage(uint8_t* target) const {
  const size_t size = ImageSize();
  std::memset(target, 0, size);
  // A plan never holds more than ten entries; a count outside 0..10 (only
  // reachable by a caller's mistake) is written as the entries encoded.
  const int count = ClampedTapCount(numtests);
  WriteU8(target, size, 0, static_cast<uint32_t>(count));
  for (int i = 0; i < 6; ++i) {
    PadText(*HeaderTexts(*this)[i], target + kTextOffsets[i], kPlanHeaderTextChars);
  }
  WriteU8(target, size, kKneeTypeOffset, static_cast<uint32_t>(kneetype));
  if (devicetype == kPlanKova7100BC) {
    WriteU8(target, size, kBurdenCurrentOffset, static_cast<uint32_t>(burdencurrent));
    WriteU8(target, size, kInsulationVoltageOffset, static_cast<uint32_t>(insulationvoltage));
  }
  const size_t block = PlanTapBlockSize(devicetype);
  for (int i = 0; i < count; ++i) {
    const PlanTap& tap = taps[i];
    const size_t at = kHeaderSize + block * static_cast<size_t>(i);
    WriteU16LE(target, size, at + 0, ImageUnits(tap.nNamePlateNum, 1));
    WriteU16LE(target, size, at + 2, ImageUnits(tap.fNamePlateDen, 10));
    WriteU8(target, size, at + 4, static_cast<uint32_t>(tap.tapid));
    WriteU8(target, size, at + 5, static_cast<uint32_t>(tap.uTestType));
    WriteU8(target, size, at + 6, ImageUnits(tap.fVoltageRange, 0.1));
    WriteU8(target, size, at + 7, ImageUnits(tap.fCurrentRange, 10));
    PadText(tap.szTestNote, target + at + 8, kPlanHeaderTextChars);
    // The instrument runs the ratio error calculation only on a tap that
    // measures both winding resistance and excitation.
    const int both = kResistanceTest | kExcitationTest;
    if (tap.bDoBurdenTest != 0 && (tap.uTestType & both) == both) {
      WriteU16LE(target, size, at + 28, ImageUnits(tap.fBurdenVA, 100));
      WriteU8(target, size, at + 30, ImageUnits(tap.fCosPhi, 100));
      WriteU8(target, size, at + 31, ImageUnits(tap.fSecCurrent, 10));
    }
  }
}

bool kvTestPlan::DecodeImage(const uint8_t* source, size_t size) {
  if (source == nullptr || size < ImageSize()) return false;
  const int count = source[0];
  if (count > kMaxPlanTaps) return false;
  numtests = count;
  for (int i = 0; i < 6; ++i) {
    *HeaderTexts(*this)[i] = FixedText(source + kTextOffsets[i], kPlanHeaderTextChars);
  }
  kneetype = source[kKneeTypeOffset];
  if (devicetype == kPlanKova7100BC) {
    burdencurrent = source[kBurdenCurrentOffset];
    insulationvoltage = source[kInsulationVoltageOffset];
  }
  const size_t block = PlanTapBlockSize(devicetype);
  for (int i = 0; i < count; ++i) {
    PlanTap& tap = taps[i];
    const size_t at = kHeaderSize + block * static_cast<size_t>(i);
    uint32_t u = 0;
    ReadU16LE(source, size, at + 0, u);
    tap.nNamePlateNum = u;
    ReadU16LE(source, size, at + 2, u);
    tap.fNamePlateDen = u / 10.0;
    tap.tapid = source[at + 4];
    tap.uTestType = source[at + 5];
    tap.fVoltageRange = source[at + 6] * 10.0;
    tap.fCurrentRange = source[at + 7] / 10.0;
    tap.szTestNote = FixedText(source + at + 8, kPlanHeaderTextChars);
    ReadU16LE(source, size, at + 28, u);
    tap.fBurdenVA = u / 100.0;
    tap.fCosPhi = source[at + 30] / 100.0;
    tap.fSecCurrent = source[at + 31] / 10.0;
    tap.bDoBurdenTest = (tap.fBurdenVA != 0 || tap.fCosPhi != 0 || tap.fSecCurrent != 0) ? 1 : 0;
  }
  return true;
}

std::string kvTestPlan::ImageLinkText() const { return BytesToHex(image, ImageSize()); }

bool PlanImageFromHexLines(const std::string& text, uint8_t* image, size_t& count) {
  std::string digits;
  digits.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n' && c != ' ') digits.push_back(c);
  }
  std::memset(image, 0, kPlanImageCapacity);
  return HexToBytes(digits, image, kPlanImageCapacity, count);
}

}  // namespace kova
