#pragma once
// The drop-down lists of the plan editor and the edit-test dialog: the
// excitation voltage and current limits an instrument offers, how a number
// is written into a list and how a list picks the entry for a number. Also
// the number reading of the dialogs' text fields.

#include <string>
#include <vector>

namespace kova {

// A list control's entries and its selection (-1: none).
struct ChoiceList {
  std::vector<std::string> entries;
  int selected = -1;
  // The number of the selected entry; 0 when nothing is selected.
  double SelectedNumber() const;
};

// Excitation voltage entries: the KOVA-R5's or every other instrument's.
std::vector<std::string> VoltageEntries(bool kova_r5);
// "0.2" … "10": the full current list.
std::vector<std::string> FullCurrentEntries();
// The current entries allowed at a voltage; the KOVA-7KA has its own steps.
std::vector<std::string> CurrentEntriesForVoltage(double volts, bool kova_7ka);

// How a value is written when a list looks for it: voltages "%d" of the
// truncated value, currents "%.1lf", or "%d" when that text holds ".0".
std::string VoltageText(double volts);
std::string CurrentText(double amps);

// Selects the first entry that begins with `text`. When there is none:
// with `add_missing` the text is appended and selected; otherwise the entry
// whose leading whole number is nearest to the truncated `value` (the first
// on a tie, and the first entry when none is nearer than 1000).
void SelectValue(ChoiceList& list, const std::string& text, double value, bool add_missing);

// Reading the dialogs' texts, independent of the C locale. The number at the
// start of a text (leading spaces skipped), 0 when there is none.
double TextNumber(const std::string& text);
// The whole number at its start ("220.7" gives 220), 0 when there is none;
// false from the checked form when the text holds no number or the number
// does not fit an int.
long long TextWholeNumber(const std::string& text);
bool IsNumberText(const std::string& text);

}  // namespace kova
