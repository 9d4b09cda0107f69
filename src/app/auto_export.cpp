#include "app/auto_export.h"

#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "base/private_folder.h"
#include "export/excel_export.h"
#include "export/export_images.h"
#include "export/export_path.h"
#include "export/export_xml.h"
#include "export/file_times.h"
#include "export/whole_pdf.h"

namespace kova {
namespace {

void Warn(const ExportServices& services, const std::string& text) {
  services.prompter->Message(kWarningCaption, text, Buttons::Ok, Icon::Warning);
}

std::string XmlPath(const TestRecord& rec) { return ExportPath(rec.fullpath, ".xml", kXmlFolder); }
std::string PdfPath(const TestRecord& rec) { return ExportPath(rec.fullpath, ".pdf", kPdfFolder); }
std::string ExcelPath(const TestRecord& rec) {
  return ExportPath(rec.fullpath, ".xlsx", kExcelFolder);
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
    services.prompter->RunWaiting(kAutoExportWaitText, [&] {
      if (f.xml_or_pdf || f.pdf || settings.AutoExportExcel != 0) {
        ok = ExportAfterTest(rec, f.pdf, settings, services);
      }
      return ok;
    });
  }
  // With "AutoExportXml" off the XML export is removed, its pictures in the
  // "Xml" folder with it (the PDF's and workbook's own pictures were never
  // there).
  if (settings.AutoExportXml == 0) {
    DeleteFileQuietly(XmlPath(rec));
    for (const std::string& name : ImageNames(XmlPath(rec), rec.UsableTests())) {
      DeleteFileQuietly(name);
    }
  }
  return ok;
}

std::string StepFailureText(const std::string& text, const std::string& file,
                            const std::string& why) {
  return text + "\n\"" + file + "\": " + why;
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
  if (!services.export_images || !services.export_images(rec, picture_folder)) {
    Warn(services, "Unable to export images");
    return false;
  }
  bool ok = true;
  // Each step runs whatever the others did; each failure is its own message.
  if (pdf || keep_xml) {
    XmlExportContext ctx;
    ctx.install_dir = settings.InstallDir;
    ctx.report_logo = settings.AppLogo;
    ctx.now = services.now;
    ctx.bands = services.bands;
    const std::string text = BuildXmlExport(rec, ctx);
    std::string why;
    const std::string xml = XmlPath(rec);
    if (keep_xml && !WriteFileAtomically(xml, text, &why)) {
      Warn(services, StepFailureText("Unable to write the XML document", xml, why));
      ok = false;
    }
    if (pdf) {
      const std::string generator_xml = work.File("report.xml");
      const std::string pdf_path = PdfPath(rec);
      if (!WriteFileAtomically(generator_xml, text, &why) ||
          !GenerateReport(kReportTemplateName, kReportSchemaName, generator_xml, pdf_path, settings,
                          services, why)) {
        Warn(services, StepFailureText("Unable to generate report for test", pdf_path, why));
        ok = false;
      }
    }
  }
  if (settings.AutoExportExcel != 0) {
    const std::string excel = ExcelPath(rec);
    std::unique_ptr<WorkbookWriter> wb = services.new_workbook ? services.new_workbook() : nullptr;
    if (!wb || !ExportExcel(rec, excel, settings.InstallDir, *wb)) {
      const std::string why = wb ? wb->Problem() : std::string("no workbook writer");
      Warn(services, StepFailureText("Unable to write the workbook", excel,
                                     why.empty() ? std::string("the workbook failed") : why));
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
      why = "the report generator \"" + settings.ReportGeneratorPath() + "\" could not be started";
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
