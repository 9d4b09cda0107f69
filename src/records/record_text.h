#pragma once
// The instrument's record text: a hex dump of the binary record, then GRAPH
// sections of "Amps"/"Volts" lines, then BURDEN TABLE sections, ended by
// "DONE". Parsing lives in TestRecord::RecordTextParser; these are its parts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

// Converts pairs of hex digits (either case). Fails, writing nothing, on an
// odd count, on a character that is not a hex digit, or when the bytes would
// not fit in `capacity`.
bool HexToBytes(const std::string& text, uint8_t* dest, size_t capacity, size_t& count);

// Lower-case hex of the bytes, no separators.
std::string BytesToHex(const uint8_t* data, size_t size);

// Splits text into lines as the record text parser sees them: up to each
// line feed, carriage returns and line feeds removed; a final fragment
// without a line feed is not a line.
std::vector<std::string> SplitRecordLines(const std::string& text);

// Reads up to three decimal numbers separated by white space, as a graph
// line holds them once "Amps," and "Volts," are blanked. Returns how many
// were read; stops at the first that cannot be read. Non-finite numbers are
// not read. Independent of the C locale.
int ScanNumbers(const std::string& text, double* out, int max_count);

}  // namespace kova
