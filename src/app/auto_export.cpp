#include "app/auto_export.h"

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "app/export_formats.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "base/private_folder.h"
#include "export/export_path.h"
#include "export/file_times.h"
#include "export/whole_pdf.h"

namespace kova {
namespace {

// A workbook of many tests with its pictures stays far below this.
constexpr size_t kMaxStagedBytes = size_t{1} << 30;

void Warn(const ExportServices& services, const std::string& text) {
  services.prompter->Message(kWarningCaption, text, Buttons::Ok, Icon::Warning);
}

// The user pressed Cancel: the export stops after the step that was
// running, without a warning for it.
bool Cancelled(const ExportServices& services) {
  return services.cancel != nullptr && services.cancel->IsCancelled();
}

// The export of `name` in its folder beside the record file.
std::string AutoTarget(const char* name, const TestRecord& rec) {
  return ExportTarget(*FindExportFormat(name), rec.fullpath, "");
}
std::string XmlPath(const TestRecord& rec) { return AutoTarget("xml", rec); }
std::string PdfPath(const TestRecord& rec) { return AutoTarget("pdf", rec); }
std::string ExcelPath(const TestRecord& rec) { return AutoTarget("xlsx", rec); }

// One export of the automatic export.
struct Step {
  const ExportFormat* format = nullptr;
  std::string target;
  std::string staged;  // where it is made first when it runs beside the report
  bool made = false;
  std::string why;
};

// Writes `step` at its place; a failure is warned of unless the user
// cancelled.
bool RunStep(TestRecord& rec, const Step& step, const ExportJob& job,
             const ExportServices& services) {
  std::string why;
  if (MakeFolderFor(step.target, &why) && step.format->write(rec, step.target, job, why)) {
    return true;
  }
  if (!Cancelled(services)) {
    Warn(services, StepFailureText(step.format->auto_failure_text, step.target, why));
  }
  return false;
}

// A thread that is waited for when it goes out of scope, however that is.
class JoiningThread {
 public:
  template <typename Fn>
  explicit JoiningThread(Fn fn) : thread_(std::move(fn)) {}
  ~JoiningThread() { thread_.join(); }
  JoiningThread(const JoiningThread&) = delete;
  JoiningThread& operator=(const JoiningThread&) = delete;

 private:
  std::thread thread_;
};

// Puts an export made in the private folder at its place, whole or not at all.
bool MoveStaged(const std::string& staged, const std::string& target, std::string& why) {
  std::vector<uint8_t> bytes;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileBytes(staged, bytes, kMaxStagedBytes, &problem)) {
    why =
        "the export made in the temporary folder cannot be read back: " + FileProblemText(problem);
    return false;
  }
  return MakeFolderFor(target, &why) && WriteFileAtomically(target, bytes, &why);
}

}  // namespace

ExportFlags DecideExports(const TestRecord& rec, bool force, const AppSettings& settings) {
  ExportFlags f;
  f.xml_or_pdf = settings.AutoExportXml != 0 || settings.AutoExportPdf != 0;
  f.pdf = settings.AutoExportPdf != 0;
  f.excel = settings.AutoExportExcel != 0;
  if (!f.Any()) return f;
  if (!force && FileExists(rec.fullpath)) {
    const std::string xml = XmlPath(rec), pdf = PdfPath(rec), excel = ExcelPath(rec);
    const std::string templ = PathJoin(settings.InstallDir, kReportTemplateName);
    if (FileExists(pdf) && FileExists(templ) && IsStrictlyNewer(pdf, rec.fullpath) &&
        IsStrictlyNewer(pdf, templ)) {
      f.pdf = false;
    }
    if (FileExists(xml) && IsStrictlyNewer(xml, rec.fullpath)) f.xml_or_pdf = false;
    if (FileExists(excel) && IsStrictlyNewer(excel, rec.fullpath)) f.excel = false;
  }
  if (f.pdf) f.xml_or_pdf = true;  // the PDF needs a fresh XML
  return f;
}

bool AutoExport(TestRecord& rec, bool force, const AppSettings& settings,
                const ExportServices& services) {
  const ExportFlags f = DecideExports(rec, force, settings);
  if (settings.AutoExportXml == 0 && settings.AutoExportPdf == 0 && settings.AutoExportExcel == 0) {
    return true;
  }
  bool ok = true;
  if (f.Any()) {
    services.prompter->RunWaitingWithCancel(
        kAutoExportWaitText,
        [&] {
          if (f.xml_or_pdf || f.pdf || settings.AutoExportExcel != 0) {
            ok = ExportAfterTest(rec, f.pdf, settings, services);
          }
          return ok;
        },
        services.stop);
  }
  // With "AutoExportXml" off the XML export is removed. The pictures of
  // this run were drawn in a private folder and are gone with it; pictures
  // in the "Xml" folder are the user's own (an images export) and stay.
  if (settings.AutoExportXml == 0) DeleteFileQuietly(XmlPath(rec));
  return ok;
}

std::string StepFailureText(const std::string& text, const std::string& file,
                            const std::string& why) {
  return text + "\n\"" + SystemNameToCp1252(file) + "\": " + why;
}

bool ExportAfterTest(TestRecord& rec, bool pdf, const AppSettings& settings,
                     const ExportServices& services) {
  // Everything that is not an export of its own (the generator's XML and
  // PDF, pictures nobody keeps) is made in a private folder removed at the
  // end, so no file of the user's is ever overwritten or deleted.
  PrivateFolder work("export");
  if (!work.valid()) {
    Warn(services, StepFailureText("Unable to export images", rec.fullpath, work.problem()));
    return false;
  }
  const bool keep_xml = settings.AutoExportXml != 0;
  // The pictures stay only as part of the XML export.
  const std::string picture_folder = keep_xml ? std::string() : work.path();
  std::string why = "nothing draws the pictures";
  // Kept pictures go to the XML export's folder, made here so a folder that
  // cannot be made is named with its reason.
  const bool folder_made = !picture_folder.empty() || MakeFolderFor(XmlPath(rec), &why);
  if (!folder_made || !services.export_images ||
      !services.export_images(rec, picture_folder, &why)) {
    Warn(services, StepFailureText("Unable to export images", rec.fullpath, why));
    return false;
  }
  ExportJob job;
  job.settings = &settings;
  job.services = &services;
  std::vector<Step> steps;
  for (const ExportFormat* format : AutomaticExportFormats()) {
    const bool wanted = format->needs_generator ? pdf : settings.*format->auto_setting != 0;
    if (!wanted) continue;
    Step step;
    step.format = format;
    step.target = AutoTarget(format->name, rec);
    steps.push_back(step);
  }
  // Each step runs whatever the others did; each failure is its own message,
  // in the table's order. The PDF is made only when out of date (the
  // generator is slow); the XML and the workbook whenever an export runs,
  // as their settings ask.
  //
  // The report generator is a process of its own and the slowest step. The
  // steps after it need nothing of it: they are made meanwhile on a second
  // thread, into the private folder, and put in place only once the report
  // is done, so a Cancel during the report still leaves no later export
  // written.
  const auto generator = std::find_if(steps.begin(), steps.end(),
                                      [](const Step& s) { return s.format->needs_generator; });
  bool ok = true;
  for (auto it = steps.begin(); it != generator; ++it) {
    if (Cancelled(services)) return false;
    if (!RunStep(rec, *it, job, services)) ok = false;
  }
  if (generator == steps.end()) return ok;
  if (Cancelled(services)) return false;
  std::vector<Step> later(generator + 1, steps.end());
  for (size_t i = 0; i < later.size(); ++i) {
    later[i].staged = work.File(Format("staged-%zu%s", i, later[i].format->extension));
  }
  // Only reads of the record run beside each other here: the report's XML
  // and the later exports never change it.
  bool report_ok = false;
  {
    JoiningThread beside([&] {
      for (Step& step : later) step.made = step.format->write(rec, step.staged, job, step.why);
    });
    report_ok = RunStep(rec, *generator, job, services);
  }
  if (!report_ok) ok = false;
  if (Cancelled(services)) return false;
  for (Step& step : later) {
    if (step.made) step.made = MoveStaged(step.staged, step.target, step.why);
    if (!step.made) {
      Warn(services, StepFailureText(step.format->auto_failure_text, step.target, step.why));
      ok = false;
    }
  }
  return ok;
}

bool GenerateReport(const std::string& template_name, const std::string& schema_name,
                    const std::string& xml_path, const std::string& pdf_path,
                    const AppSettings& settings, const ExportServices& services, std::string& why) {
  // The generator writes into a folder of ours; its PDF reaches the target
  // only once checked whole, in one atomic write.
  PrivateFolder work("report");
  if (!work.valid()) {
    why = work.problem();
    return false;
  }
  const std::string made = work.File("report.pdf");
  const std::vector<std::string> args = {PathJoin(settings.InstallDir, template_name),
                                         PathJoin(settings.InstallDir, schema_name), xml_path,
                                         made};
  int code = 0;
  Prompter* prompter = services.prompter;
  ProcessLimits limits;
  limits.cancel = services.cancel;
  // A stored value outside 1 s to a day falls back to the default.
  const int seconds = settings.ReportTimeLimit > 0 && settings.ReportTimeLimit <= 86400
                          ? settings.ReportTimeLimit
                          : 60;
  limits.time_limit_ms = static_cast<uint32_t>(seconds) * 1000u;
  const ProcessOutcome outcome =
      services.runner->Run(settings.ReportGeneratorPath(), args, limits, code);
  switch (outcome) {
    case ProcessOutcome::kNotStarted:
      prompter->Message(kWarningCaption, "Unable to generate report", Buttons::Ok);
      why = "the report generator \"" + SystemNameToCp1252(settings.ReportGeneratorPath()) +
            "\" could not be started";
      return false;
    case ProcessOutcome::kNoExitCode:
      why = "the report generator stopped without finishing";
      return false;
    case ProcessOutcome::kTimedOut:
      why = Format("the report generator did not finish within %d s and was stopped", seconds);
      return false;
    case ProcessOutcome::kCancelled:
      why = "cancelled; the report generator was stopped";
      return false;
    case ProcessOutcome::kExited:
      break;
  }
  if (code != 0) {
    prompter->Message(kWarningCaption, Format("Error generating report, error=%d", code),
                      Buttons::Ok);
    why = Format("the report generator ended with error %d", code);
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(made, bytes, kMaxPdfBytes) || !IsWholePdf(bytes)) {
    why = "the report generator ended without writing a whole PDF";
    return false;
  }
  return WriteFileAtomically(pdf_path, bytes, &why);
}

}  // namespace kova
