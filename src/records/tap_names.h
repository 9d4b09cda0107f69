#pragma once
// Tap codes 1..10 name the ten terminal pairs X1-X2 .. X4-X5 of a
// multi-ratio CT. A record and a plan keep a tap order: the names in the
// order the report lists them.

#include <string>

namespace kova {

constexpr int kTapCodes = 10;

// "X1-X2" .. "X4-X5"; empty for a code outside 1..10.
std::string TapNameFromCode(int code);
// Exact match of one of the ten names, else 1.
int TapCodeFromName(const std::string& name);
// Position in the per-tap tables; 0 for a code outside 1..10.
int TapPosition(int code);
// The ten names in code order, joined by ",".
std::string DefaultTapOrder();
// Code of the k-th entry (k from 1) of a tap order text; past the last entry
// the last one is repeated; an empty text gives 1.
int TapOrderCode(const std::string& taporder, int k);

}  // namespace kova
