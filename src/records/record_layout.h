#pragma once
// Offsets of the instrument's binary record: one header shared by all models
// and three test-block layouts.

#include <cstddef>

namespace kova {

namespace hdr {
constexpr size_t kNumTests = 4;
constexpr size_t kDateTime = 5;  // six BCD bytes
constexpr size_t kCompany = 12;
constexpr size_t kStation = 32;
constexpr size_t kCircuit = 52;
constexpr size_t kManufacturer = 72;
constexpr size_t kModel = 92;
constexpr size_t kSerialNumber = 112;
constexpr size_t kComment = 132;
constexpr size_t kOperatorName = 152;
constexpr size_t kKneeType = 172;
constexpr size_t kTextWidth = 20;
}  // namespace hdr

// Model 2 record-level burden and insulation results.
namespace b200 {
constexpr size_t kBurdenReqCur = 7296;
constexpr size_t kBurdenMeasCur = 7298;
constexpr size_t kBurdenTestVtg = 7300;
constexpr size_t kBurdenZ = 7304;
constexpr size_t kBurdenPhase = 7308;
constexpr size_t kBurdenCosPhi = 7310;
constexpr size_t kBurdenMeasVA = 7312;
constexpr size_t kMeggerReqV = 7318;
constexpr size_t kMeggerMeasV = 7320;
constexpr size_t kMeggerL = 7322;
constexpr size_t kMeggerOhms = 7326;
}  // namespace b200

struct RecordLayout {
  size_t base;     // offset of test block 0
  size_t stride;   // size of one test block
  int datapoints;  // data points per block
  size_t length;   // bytes of the whole binary record
  int maxtests;    // test blocks that fit (and that the taps can hold)
  size_t fixed;    // block offset of the fields after the data points
  size_t note;     // block offset of szTestNote
};

// Layout of a model code (deviceversion); a code other than 2, 3 and 4 uses
// model 1's, as the 32-point rule of the analysis does.
const RecordLayout& LayoutFor(int deviceversion);

// Model 1/3 fields, as offsets within the fixed part that starts at 128 (the
// model 2 block has the same fields from 512).
namespace fix {
constexpr size_t kKneeVtg10 = 0;
constexpr size_t kKneeCur10 = 2;
constexpr size_t kKneeVtg30 = 4;
constexpr size_t kKneeCur30 = 6;
constexpr size_t kKneeVtg45 = 8;
constexpr size_t kKneeCur45 = 10;
constexpr size_t kTestRatioCur = 12;
constexpr size_t kTestRatioVtg = 14;
constexpr size_t kTestRatio = 16;
constexpr size_t kTestPhase = 20;
constexpr size_t kNamePlateNum = 22;
constexpr size_t kNamePlateDen = 24;
constexpr size_t kWindingRes = 26;
constexpr size_t kTapConnection = 30;
constexpr size_t kTestType = 31;
constexpr size_t kVoltageRange = 32;
constexpr size_t kCurrentRange = 33;
constexpr size_t kBurdenVA = 34;
constexpr size_t kCosPhi = 36;
constexpr size_t kSecCurrent = 37;
}  // namespace fix

// Model 4 block offsets.
namespace m4 {
constexpr size_t kWindingRes = 624;
constexpr size_t kTestRatio = 628;
constexpr size_t kKneeVtg10 = 632;
constexpr size_t kKneeCur10 = 636;
constexpr size_t kKneeVtg30 = 640;
constexpr size_t kKneeCur30 = 644;
constexpr size_t kKneeVtg45 = 648;
constexpr size_t kKneeCur45 = 652;
constexpr size_t kTestRatioCur = 656;
constexpr size_t kTestRatioVtg = 660;
constexpr size_t kTestPhase = 664;
constexpr size_t kNamePlateNum = 668;
constexpr size_t kNamePlateDen = 670;
constexpr size_t kTapConnection = 672;
constexpr size_t kTestType = 673;
constexpr size_t kVoltageRange = 674;
constexpr size_t kCurrentRange = 675;
constexpr size_t kTestNote = 676;
constexpr size_t kBurdenVA = 696;
constexpr size_t kCosPhi = 698;
constexpr size_t kSecCurrent = 699;
}  // namespace m4

}  // namespace kova
