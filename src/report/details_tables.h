#pragma once
// The working of every value laid out for the printed appendix: one block
// per quantity, its rule, formula and inputs named once, then a small table
// with a row per test (result, input values, the points it was read
// between, extrapolated or not). Fixed-pitch lines of at most
// kDetailsWidth characters, broken into pages so that no heading or table
// row is split from what it heads.

#include <string>
#include <vector>

#include "assess/explain.h"

namespace kova {

// Characters of one appendix line: what a portrait page holds.
constexpr int kDetailsWidth = 110;

// The tables of `e`, Windows-1252.
std::vector<std::string> WorkingTables(const RecordExplanation& e);

// `text` broken at blanks into lines of at most `width` characters, and at
// every line feed (a word longer than a line is cut).
std::vector<std::string> WrapWords(const std::string& text, int width);

// Whether `line` heads what follows it: a heading, a block's first line or
// a table's column names.
bool IsDetailsHeading(const std::string& line);

// The first line of each page of `lines`, `per_page` lines a page at most:
// a heading goes to the next page unless the lines it heads begin below it,
// and a table row stays whole.
std::vector<size_t> DetailsPageStarts(const std::vector<std::string>& lines, int per_page);

}  // namespace kova
