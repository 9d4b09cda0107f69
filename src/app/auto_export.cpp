#include "app/auto_export.h"

#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/excel_export.h"
#include "export/export_path.h"
#include "export/export_xml.h"
#include "export/file_times.h"

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

void DeletePictures(const TestRecord& rec) {
  for (int t = 0; t < rec.UsableTests(); ++t) DeleteFileQuietly(rec.taps[t].testimagefile);
  DeleteFileQuietly(rec.imagefile);
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
  if (settings.AutoExportXml == 0) DeleteFileQuietly(XmlPath(rec));
  return ok;
}

bool ExportAfterTest(TestRecord& rec, bool pdf, const AppSettings& settings,
                     const ExportServices& services) {
  const std::string xml = XmlPath(rec);
  const std::string pdf_path = PdfPath(rec);
  if (!services.export_images || !services.export_images(rec)) {
    Warn(services, "Unable to export images");
    return false;
  }
  if (pdf || settings.AutoExportXml != 0) {
    XmlExportContext ctx;
    ctx.install_dir = settings.InstallDir;
    ctx.report_logo = settings.AppLogo;
    ctx.now = services.now;
    // Not checked: a missing XML makes the generator fail with its own code.
    ExportXml(rec, xml, ctx);
  }
  if (pdf &&
      !GenerateReport(kReportTemplateName, kReportSchemaName, xml, pdf_path, settings, services)) {
    // The XML and the pictures stay for a look at what went wrong.
    Warn(services, "Unable to generate report for test");
    return false;
  }
  bool ok = true;
  if (settings.AutoExportExcel != 0) {
    const std::string excel = ExcelPath(rec);
    std::unique_ptr<WorkbookWriter> wb = services.new_workbook ? services.new_workbook() : nullptr;
    if (!wb || !ExportExcel(rec, excel, settings.InstallDir, *wb)) {
      Warn(services, Format("Unable to write the workbook %s", excel.c_str()));
      ok = false;
    }
  }
  // The pictures stay as part of the XML export only.
  if (settings.AutoExportXml == 0) DeletePictures(rec);
  return ok;
}

bool GenerateReport(const std::string& template_name, const std::string& schema_name,
                    const std::string& xml_path, const std::string& pdf_path,
                    const AppSettings& settings, const ExportServices& services) {
  const std::vector<std::string> args = {PathJoin(settings.InstallDir, template_name),
                                         PathJoin(settings.InstallDir, schema_name), xml_path,
                                         pdf_path};
  int code = 0;
  Prompter* prompter = services.prompter;
  ProcessLimits limits;
  limits.cancel = services.cancel;
  const ProcessOutcome outcome =
      services.runner->Run(settings.ReportGeneratorPath(), args, limits, code);
  switch (outcome) {
    case ProcessOutcome::kNotStarted:
      prompter->Message(kWarningCaption, "Unable to generate report", Buttons::Ok);
      return false;
    case ProcessOutcome::kNoExitCode:
    case ProcessOutcome::kTimedOut:
    case ProcessOutcome::kCancelled:
      return false;
    case ProcessOutcome::kExited:
      break;
  }
  if (code != 0) {
    prompter->Message(kWarningCaption, Format("Error generating report, error=%d", code),
                      Buttons::Ok);
    return false;
  }
  return true;
}

}  // namespace kova
