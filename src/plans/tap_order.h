#pragma once
// The tap order list of the plan editor and Edit Test: ten tap names in the
// order the report shows the taps, moved one place at a time.

#include <string>

namespace kova {

constexpr int kTapOrderRows = 10;
using TapOrderNames = std::string[kTapOrderRows];

// The names of `taporder` in turn; past its last name the last one repeats,
// and an empty order is the default one.
void LoadTapOrder(const std::string& taporder, TapOrderNames& names);
// The ten names joined by ",", as plans and records keep them.
std::string JoinTapOrder(const TapOrderNames& names);
// Moves the name at `index` by `step` places; returns its new index (the old
// one when the move would leave the list).
int MoveTapOrder(TapOrderNames& names, int index, int step);

}  // namespace kova
