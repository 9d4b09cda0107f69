// Record files of any content, as far as the reader accepts them, through the
// class calculation, the text export and the summary: no text may ever hold
// "nan" or "inf", and every line of the export ends in CR LF.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "analysis/compute_derived.h"
#include "export/record_summary.h"
#include "export/text_export.h"
#include "records/test_record.h"

namespace {

bool HasNonFiniteText(const std::string& text) {
  // Only the derived and formatted parts matter; the stored header texts
  // may hold any bytes, so look for what printf writes for non-finite values.
  for (const char* bad : {"nan", "inf", "NAN", "INF"}) {
    for (size_t at = text.find(bad); at != std::string::npos; at = text.find(bad, at + 1)) {
      const bool word_start = at == 0 || text[at - 1] == ' ' || text[at - 1] == '\t' ||
                              text[at - 1] == '-' || text[at - 1] == '=' || text[at - 1] == '(';
      if (word_start) return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto rec = std::make_unique<kova::TestRecord>();
  if (!rec->DecodeRecordBytes(data, size, "fuzz.test", kova::RecordDefaults())) return 0;
  // Header texts come from the input: blank them so that only the program's
  // own numbers are checked.
  rec->company = rec->station = rec->circuit = rec->manufacturer = rec->model = "";
  rec->serialnumber = rec->operatorname = rec->comment = rec->testnote = "";
  for (kova::TapTest& tap : rec->taps) tap.szTestNote.clear();
  for (int usage : {0, 2}) {
    rec->classsettings.ctusage = usage;
    ComputeDerived(*rec);
    const std::string text = kova::BuildTextExport(*rec);
    if (HasNonFiniteText(text) || HasNonFiniteText(kova::RecordSummaryText(*rec)) ||
        HasNonFiniteText(rec->calctext)) {
      std::abort();
    }
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) std::abort();
    }
    for (int t = 0; t < rec->UsableTests(); ++t) {
      if (HasNonFiniteText(rec->taps[t].taptrace)) std::abort();
    }
  }
  return 0;
}
