#pragma once
// The instrument's test and plan directories arrive as lines: "#n" starts an
// entry, a line with "/" as its third character is the entry's date and time,
// KEY=VALUE lines fill its texts, "DONE" ends the reply. DirectoryGrammar
// applies those lines, one at a time, to a fixed table of entries.

#include <cstddef>
#include <string>

#include "device/rud_device.h"

namespace kova {

class DirectoryGrammar {
 public:
  enum class Step {
    kMore,   // the line was taken; more lines belong to the directory
    kDone,   // "DONE": the directory is complete
    kLimit,  // a "#" line beyond the capacity: the table is full
  };

  // Clears the table (every entry zero) and the count.
  DirectoryGrammar(DirectoryEntry* table, int capacity, int& count);

  Step Apply(const std::string& line);

 private:
  void ApplyKeyValue(const std::string& line);

  DirectoryEntry* table_;
  int capacity_;
  int& count_;
  int current_ = 0;
  bool seen_number_ = false;
};

// Copies a directory text into its 40-byte field: longer texts keep their
// first 39 characters so the field stays terminated.
void SetDirectoryText(char (&field)[kDirectoryTextSize], const std::string& value);

// Reads a decimal integer the way the instrument's numbers are read: leading
// blanks, an optional sign, digits up to the first other character; no digit
// gives 0, a value beyond the int range is clamped.
int ReadDecimal(const std::string& text);

}  // namespace kova
