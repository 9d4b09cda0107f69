#pragma once
// The record as a plain, line-oriented text file (".txt"): the header, then
// per test its knee points, ratios, resistance, phase, data and graph
// points, burden and insulation results, and the note pad. Lines end in
// CR LF on every platform: the files are exchanged with Windows users and
// must be the same everywhere. No pass/fail marks are written.

#include <string>

#include "records/test_record.h"

namespace kova {

// The whole file's text, CR LF line ends.
std::string BuildTextExport(const TestRecord& rec);

// Writes the text export atomically; false (and nothing written) when the
// file cannot be written.
// `why` (optional) says why the file could not be written.
bool ExportText(const TestRecord& rec, const std::string& path, std::string* why = nullptr);

// Where the export of a record file goes: `folder` (or, when empty, the
// record file's own folder) and the record's name with ".txt" for its
// extension.
std::string TextExportPath(const std::string& record_path, const std::string& folder);

}  // namespace kova
