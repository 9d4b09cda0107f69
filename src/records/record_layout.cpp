#include "records/record_layout.h"

namespace kova {

namespace {
// Model 1's 8192 bytes hold 37 blocks, but a record holds at most 20 taps.
constexpr RecordLayout kModel1{174, 212, 32, 8192, 20, 128, 192};
constexpr RecordLayout kModel2{256, 704, 64, 8192, 10, 512, 684};
constexpr RecordLayout kModel3{174, 212, 32, 2340, 10, 128, 192};
constexpr RecordLayout kModel4{176, 728, 52, 7520, 10, 0, 676};
}  // namespace

const RecordLayout& LayoutFor(int deviceversion) {
  switch (deviceversion) {
    case 2:
      return kModel2;
    case 3:
      return kModel3;
    case 4:
      return kModel4;
    default:
      return kModel1;
  }
}

}  // namespace kova
