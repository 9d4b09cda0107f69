#include "records/tap_names.h"

namespace kova {
namespace {
const char* const kNames[kTapCodes] = {"X1-X2", "X1-X3", "X1-X4", "X1-X5", "X2-X3",
                                       "X2-X4", "X2-X5", "X3-X4", "X3-X5", "X4-X5"};
const int kPositions[kTapCodes] = {3, 2, 1, 0, 6, 5, 4, 8, 7, 9};
}  // namespace

std::string TapNameFromCode(int code) {
  if (code < 1 || code > kTapCodes) return std::string();
  return kNames[code - 1];
}

int TapCodeFromName(const std::string& name) {
  for (int i = 0; i < kTapCodes; ++i) {
    if (name == kNames[i]) return i + 1;
  }
  return 1;
}

int TapPosition(int code) {
  if (code < 1 || code > kTapCodes) return 0;
  return kPositions[code - 1];
}

std::string DefaultTapOrder() {
  std::string order;
  for (int i = 0; i < kTapCodes; ++i) {
    if (i) order += ',';
    order += kNames[i];
  }
  return order;
}

int TapOrderCode(const std::string& taporder, int k) {
  std::string remaining = taporder;
  std::string entry;
  for (int i = 0; i < k; ++i) {
    const size_t comma = remaining.find(',');
    if (!remaining.empty() && comma != std::string::npos) {
      entry = remaining.substr(0, comma);
      remaining = remaining.substr(comma + 1);
    } else {
      entry = remaining;
    }
  }
  return TapCodeFromName(entry);
}

}  // namespace kova
