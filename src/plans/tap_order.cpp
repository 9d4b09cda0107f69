#include "plans/tap_order.h"

#include <utility>

#include "records/tap_names.h"

namespace kova {

void LoadTapOrder(const std::string& taporder, TapOrderNames& names) {
  const std::string order = taporder.empty() ? DefaultTapOrder() : taporder;
  for (int k = 0; k < kTapOrderRows; ++k) names[k] = TapNameFromCode(TapOrderCode(order, k + 1));
}

std::string JoinTapOrder(const TapOrderNames& names) {
  std::string joined;
  for (int k = 0; k < kTapOrderRows; ++k) joined += (k ? "," : "") + names[k];
  return joined;
}

int MoveTapOrder(TapOrderNames& names, int index, int step) {
  const int to = index + step;
  if (index < 0 || index >= kTapOrderRows || to < 0 || to >= kTapOrderRows) return index;
  std::swap(names[index], names[to]);
  return to;
}

}  // namespace kova
