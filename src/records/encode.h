#pragma once
// The inverse of the decoder: builds the instrument's binary record, record
// text and raw instrument file from a record's named fields. The simulated
// instrument and the tests make their records with it.

#include <cstdint>
#include <string>
#include <vector>

#include "records/test_record.h"

namespace kova {

// Writes the header and the test blocks of rec.deviceversion's layout into
// `raw` (kRawRecordSize bytes; bytes the layout does not use are left as
// they are). Values are scaled and rounded to the nearest step, and clamped
// to what their field can hold. `dayfirst`: testdatetime is "DD/MM/YY ..."
// (the decoder's order under the day-first date preference).
void EncodeRawRecord(const TestRecord& rec, uint8_t* raw, bool dayfirst);

// The six date bytes of a "MM/DD/YY hh:mm:ss" text (fields read as the hex
// digits the decoder prints); with `dayfirst` the first two fields swap.
// Fields that cannot be read give 0.
void EncodeDateTime(const std::string& text, bool dayfirst, uint8_t out[6]);

struct RecordTextOptions {
  int hex_line_bytes = 32;  // binary bytes per hex line
  int graph_digits = 17;    // significant digits of graph point numbers
  bool upper_case_hex = true;
};

// The record text as the instrument sends it: hex lines of the layout's
// bytes of rawrecord, one "GRAPH" section per test with its non-empty graph
// points, one "BURDEN TABLE" section per test when any test has a table,
// and "DONE". Lines end in CR LF.
std::string BuildRecordText(const TestRecord& rec, const RecordTextOptions& options = {});
// The text from the graph section on (the tail of a raw instrument file).
std::string BuildRecordTextTail(const TestRecord& rec, const RecordTextOptions& options = {});

// The model text of a raw instrument file for a model code.
std::string RawFileModelText(int deviceversion);
// A raw instrument file: model text, the binary record at 256, the text tail.
std::vector<uint8_t> BuildRawInstrumentFile(const TestRecord& rec,
                                            const RecordTextOptions& options = {});

}  // namespace kova
