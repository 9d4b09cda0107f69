#pragma once
// The automatic export after a record file is stored or a single record is
// opened: the XML document, the PDF report made by the report generator
// from it, the workbook and the plot pictures, each into its folder beside
// the record file, as the settings ask. Exports that are newer than the
// record file (and, for the PDF, than the template) are not made again
// unless forced.

#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "app/app_settings.h"
#include "assess/comparisons.h"
#include "base/prompter.h"
#include "export/process_runner.h"
#include "export/workbook_writer.h"
#include "records/test_record.h"
#include "report/record_context.h"

namespace kova {

constexpr const char* kReportTemplateName = "kovareport.mrt";
constexpr const char* kReportSchemaName = "kovatest.xsd";
constexpr const char* kAutoExportWaitText = "Performing Auto Export, please wait.";

// What the export needs from the platform.
struct ExportServices {
  Prompter* prompter = nullptr;
  ProcessRunner* runner = nullptr;
  // A fresh, empty workbook for each export.
  std::function<std::unique_ptr<WorkbookWriter>()> new_workbook;
  // Renders and stores the plot pictures into `folder` (empty: the "Xml"
  // folder beside the record file), filling `imagefile` and each test's
  // `testimagefile`; false when a picture cannot be made or saved, with the
  // picture and the reason in `why`.
  std::function<bool(TestRecord&, const std::string& folder, std::string* why)> export_images;
  std::time_t now = 0;      // report date of the XML; 0 means the current time
  ComparisonBands bands{};  // of the comparisons in the report's calculation details
  // The record's profile, kept reference and bands as gathered when it was
  // opened, for the report generator's input; null: what is kept beside
  // the record file, with `bands`.
  const RecordContext* record = nullptr;
  // Stops the report generator when the user cancels; may be null.
  const CancelToken* cancel = nullptr;
  // The wait window's Cancel: cancels `cancel`. Null: no Cancel is offered.
  std::function<void()> stop = nullptr;
};

// Which exports a run makes, after the up-to-date checks.
struct ExportFlags {
  bool xml_or_pdf = false;
  bool pdf = false;
  bool excel = false;
  bool Any() const { return xml_or_pdf || pdf || excel; }
};

// The settings' wishes, reduced by the up-to-date checks unless `force`.
ExportFlags DecideExports(const TestRecord& rec, bool force, const AppSettings& settings);

// The entry point: decides, runs the exports under the wait dialog, and
// deletes the XML when "AutoExportXml" is off. With all three settings off it
// does nothing at all. Returns false when a warning was shown.
bool AutoExport(TestRecord& rec, bool force, const AppSettings& settings,
                const ExportServices& services);

// Pictures, XML, PDF and workbook; false (after its warning) when the
// pictures or the report failed.
bool ExportAfterTest(TestRecord& rec, bool pdf, const AppSettings& settings,
                     const ExportServices& services);

// Runs the report generator on TEMPLATE SCHEMA XML PDF (the first two below
// InstallDir, the PDF made in a private folder), within the time limit of
// the settings, and writes the PDF to `pdf_path` only when the generator
// returned 0 and the PDF it made is whole. Shows "Unable to generate
// report" or "Error generating report, error=%d" where the generator failed
// that way; `why` names the reason in every case of failure.
bool GenerateReport(const std::string& template_name, const std::string& schema_name,
                    const std::string& xml_path, const std::string& pdf_path,
                    const AppSettings& settings, const ExportServices& services, std::string& why);

// "<text>\n\"<file>\": <why>": a failed step's message, naming its file (a
// system name, put in as text) and the reason.
std::string StepFailureText(const std::string& text, const std::string& file,
                            const std::string& why);

}  // namespace kova
