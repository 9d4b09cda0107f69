#include "cli/library_report_command.h"

#include <iostream>

#include "analysis/read_record.h"
#include "app/document_names.h"
#include "app/library_settings.h"
#include "app/output_rule.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "library/history_report.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"
#include "platform/surface_pages_pdf.h"
#include "report/page_footer.h"

namespace kova {

bool LibraryPdfTarget(CliContext& ctx, const std::string& location_option, bool overwrite,
                      std::string& pdf) {
  // "FILE" becomes "FILE.pdf"; the library file itself is never written over.
  pdf = WithPdfExtension(pdf);
  const std::string location = ConfiguredLibraryLocation(*ctx.store, location_option);
  std::vector<std::string> inputs;
  if (ParseLibraryLocation(location).kind == LibraryLocation::Kind::kSqliteFile)
    inputs.push_back(location);
  const OutputCheck check = CheckOutputFile(pdf, inputs, overwrite);
  if (check == OutputCheck::kFine) return true;
  PrintError(OutputCheckText(check, pdf));
  return false;
}

void RunLibraryReport(CliContext& ctx, const LibraryReportOptions& r) {
  ctx.exit_code = 1;
  std::string pdf = r.pdf;
  if (!LibraryPdfTarget(ctx, r.location, r.overwrite, pdf)) return;
  const std::string location = ConfiguredLibraryLocation(*ctx.store, r.location);
  StoreOutcome outcome;
  auto store = OpenLibrary(location, outcome, LibraryUse::kRead);
  if (!store) {
    PrintError(Cp1252ToUtf8(StoreOutcomeText(outcome)));
    return;
  }
  std::vector<CtInfo> found;
  outcome = store->FindCtsBySerial(Utf8ToCp1252(r.serial), found);
  CtInfo ct;
  std::string why;
  if (outcome.ok() &&
      !ChooseCtBySerial(found, Utf8ToCp1252(r.serial), Utf8ToCp1252(r.manufacturer), ct, why)) {
    PrintError(Cp1252ToUtf8(why));
    return;
  }
  // A test whose curve the library lacks is read from its file when this
  // computer reaches it.
  const RecordFileReader read = [](const std::string& path, TestRecord& rec) {
    return FileExists(path) && ReadRecordFile(rec, path, RecordDefaults());
  };
  HistoryReport report;
  if (outcome.ok())
    outcome = GatherHistoryReport(*store, ct, Utf8ToCp1252(r.tap),
                                  LoadLibrarySettings(*ctx.store).bands, read, report, why);
  if (!outcome.ok()) {
    PrintError(Cp1252ToUtf8(StoreOutcomeText(outcome)));
    return;
  }
  if (report.taps.empty()) {
    PrintError(Cp1252ToUtf8(why.empty() ? "The library holds no test of this CT" : why));
    return;
  }
  report.printed_on = PrintedNowText(ctx.info.dateformat == kDateEU);
  const auto pages = HistoryReportPages(report);
  const SurfacePageDrawer draw = [&](Surface& s, const Rect& page, int index) {
    DrawHistoryReportPage(s, page, report, pages, index);
  };
  if (!SurfacePagesToPdf(pdf, static_cast<int>(pages.size()), false, draw,
                         "CT history " + ct.serialnumber, why)) {
    PrintError("Cannot write \"" + pdf + "\": " + why);
    return;
  }
  ctx.exit_code = 0;
  std::cout << pdf << '\n';
}

}  // namespace kova
