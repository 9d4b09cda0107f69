// Record files of any content, as far as the reader accepts them, drawn as
// every report page on screen and on paper, alone and overlaid, and as the
// pictures' plots: nothing may crash, overflow, or print "nan" or "inf".

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "analysis/read_record.h"
#include "records/test_record.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"

namespace {

bool HasNonFiniteText(const std::string& text) {
  for (const char* bad : {"nan", "inf", "NAN", "INF"}) {
    for (size_t at = text.find(bad); at != std::string::npos; at = text.find(bad, at + 1)) {
      if (at == 0 || text[at - 1] == ' ' || text[at - 1] == '-' || text[at - 1] == ':' ||
          text[at - 1] == '/' || text[at - 1] == '=') {
        return true;
      }
    }
  }
  return false;
}

void Check(const kova::RecordingSurface& s) {
  for (const kova::DrawOp& op : s.ops()) {
    if (HasNonFiniteText(op.text)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto rec = std::make_unique<kova::TestRecord>();
  if (!kova::ReadRecordFileBytes(*rec, data, size, "fuzz.test", kova::RecordDefaults())) return 0;
  // Texts from the input may hold anything: check only the program's numbers.
  rec->company = rec->station = rec->circuit = rec->manufacturer = rec->model = "";
  rec->serialnumber = rec->operatorname = rec->comment = rec->testnote = "";
  rec->kneetypestr = rec->calctext = "";
  for (kova::TapTest& tap : rec->taps) {
    tap.szTestNote.clear();
    tap.burdentable.clear();
    tap.taptrace.clear();
    for (kova::BurdenRow& row : tap.taprows) row.rcf10.rcftext = row.rcf100.rcftext = "";
  }
  static kova::ReportDocument single, overlay;
  single.SetRecords({*rec});
  overlay.SetRecords({*rec, *rec, *rec});
  for (const kova::ReportDocument* doc : {&single, &overlay}) {
    for (int i = 0; i < doc->pagecount(); ++i) {
      for (bool printing : {false, true}) {
        kova::RecordingSurface s;
        kova::CDisplayTest page;
        page.Setup(&s, doc->Record(0), printing, doc);
        page.DrawPage({0, 0, 1600, 1200}, i);
        Check(s);
      }
    }
  }
  kova::RecordingSurface s;
  kova::CDisplayTest plots;
  plots.Setup(&s, *rec, false, nullptr);
  plots.OrderTests();
  for (int i = 0; i < plots.OrderedTestCount(); ++i) plots.DrawPlot({0, 0, 1024, 1024}, i, true);
  for (int t = 0; t < rec->UsableTests(); ++t) plots.DrawPlot({0, 0, 1024, 1024}, t, false);
  Check(s);
  return 0;
}
