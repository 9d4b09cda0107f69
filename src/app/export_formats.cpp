#include "app/export_formats.h"

#include <memory>

#include "assess/ctsat_export.h"
#include "base/file_io.h"
#include "base/path.h"
#include "base/private_folder.h"
#include "export/excel_export.h"
#include "export/export_images.h"
#include "export/export_path.h"
#include "export/export_xml.h"
#include "export/text_export.h"
#include "export/xml_report_sections.h"

namespace kova {
namespace {

XmlExportContext XmlContext(const ExportJob& job) {
  XmlExportContext x;
  if (job.settings != nullptr) {
    x.install_dir = job.settings->InstallDir;
    x.report_logo = job.settings->AppLogo;
  }
  if (job.services != nullptr) x.now = job.services->now;
  return x;
}

bool WriteText(TestRecord& rec, const std::string& path, const ExportJob&, std::string& why) {
  return ExportText(rec, path, &why);
}

bool WriteCtsat(TestRecord& rec, const std::string& path, const ExportJob&, std::string& why) {
  return ExportCtsat(rec, path, &why);
}

bool WriteXml(TestRecord& rec, const std::string& path, const ExportJob& job, std::string& why) {
  return WriteFileAtomically(path, BuildXmlExport(rec, XmlContext(job)), &why);
}

bool WriteWorkbook(TestRecord& rec, const std::string& path, const ExportJob& job,
                   std::string& why) {
  std::unique_ptr<WorkbookWriter> wb = job.services != nullptr && job.services->new_workbook
                                           ? job.services->new_workbook()
                                           : nullptr;
  if (!wb || job.settings == nullptr) {
    why = "no workbook writer";
    return false;
  }
  const bool ok = ExportExcel(rec, path, job.settings->InstallDir, *wb);
  if (job.note) {
    for (const std::string& note : wb->Notes()) job.note(note);
  }
  if (!ok) why = wb->Problem().empty() ? std::string("the workbook failed") : wb->Problem();
  return ok;
}

// Through the report generator, from an XML document in a private folder
// and, beside it, the sections document of what the PDF prints beyond it.
bool WritePdf(TestRecord& rec, const std::string& path, const ExportJob& job, std::string& why) {
  if (job.settings == nullptr || job.services == nullptr || job.services->runner == nullptr) {
    why = "no report generator";
    return false;
  }
  PrivateFolder work("report-xml");
  if (!work.valid()) {
    why = work.problem();
    return false;
  }
  const std::string xml = work.File("report.xml");
  if (!WriteFileAtomically(xml, BuildXmlExport(rec, XmlContext(job)), &why)) return false;
  if (!WriteFileAtomically(ReportSectionsPath(xml),
                           job.services->record != nullptr
                               ? BuildReportSections(rec, *job.services->record)
                               : BuildReportSectionsBeside(rec, job.services->bands),
                           &why)) {
    return false;
  }
  return GenerateReport(kReportTemplateName, kReportSchemaName, xml, path, *job.settings,
                        *job.services, why);
}

// The pictures themselves, at `path` as their base name.
bool WritePictures(TestRecord& rec, const std::string& path, const ExportJob& job,
                   std::string& why) {
  why = "the pictures cannot be made";
  return job.draw_pictures && job.draw_pictures(rec, path, &why);
}

// clang-format off
const std::vector<ExportFormat> kFormats = {
  // In the automatic export's order: the XML, the PDF made from it, the workbook.
  // name    extension     folder beside record  automatic when                 pictures generator write           the automatic export's warning
  {"txt",    ".txt",       nullptr,              nullptr,                        false,   false,    WriteText,      nullptr},
  {"xml",    ".xml",       kXmlFolder,           &AppSettings::AutoExportXml,   false,   false,    WriteXml,       "Unable to write the XML document"},
  {"pdf",    ".pdf",       kPdfFolder,           &AppSettings::AutoExportPdf,   true,    true,     WritePdf,       "Unable to generate report for test"},
  {"xlsx",   ".xlsx",      kExcelFolder,         &AppSettings::AutoExportExcel, true,    false,    WriteWorkbook,  "Unable to write the workbook"},
  {"images", ".bmp",       kXmlFolder,           nullptr,                        false,   false,    WritePictures,  nullptr},
  {"ctsat",  ".ctsat.csv", nullptr,              nullptr,                        false,   false,    WriteCtsat,     nullptr},
};
// clang-format on

}  // namespace

const std::vector<ExportFormat>& ExportFormats() { return kFormats; }

const ExportFormat* FindExportFormat(const std::string& name) {
  for (const ExportFormat& f : kFormats) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

std::vector<std::string> ExportFormatNames() {
  std::vector<std::string> names;
  for (const ExportFormat& f : kFormats) names.push_back(f.name);
  return names;
}

std::vector<const ExportFormat*> AutomaticExportFormats() {
  std::vector<const ExportFormat*> out;
  for (const ExportFormat& f : kFormats) {
    if (f.auto_setting != nullptr) out.push_back(&f);
  }
  return out;
}

std::string ExportTarget(const ExportFormat& format, const std::string& record_path,
                         const std::string& folder) {
  const std::string name = StemOf(FileNameOf(record_path)) + format.extension;
  if (!folder.empty()) return PathJoin(folder, name);
  if (format.folder != nullptr) return ExportPath(record_path, format.extension, format.folder);
  const std::string beside = FolderOf(record_path);
  return beside.empty() ? name : PathJoin(beside, name);
}

bool WriteExport(const ExportFormat& format, const TestRecord& rec, const std::string& path,
                 const ExportJob& job, std::string& why) {
  if (!MakeFolderFor(path, &why)) return false;
  auto copy = std::make_unique<TestRecord>(rec);  // the pictures fill in their paths
  std::unique_ptr<PrivateFolder> work;
  if (format.needs_pictures) {
    work = std::make_unique<PrivateFolder>("pictures");
    if (!work->valid()) {
      why = work->problem();
      return false;
    }
    why = "the pictures cannot be made";
    if (!job.draw_pictures || !job.draw_pictures(*copy, ImageBasePath(path, work->path()), &why))
      return false;
  }
  return format.write(*copy, path, job, why);
}

}  // namespace kova
