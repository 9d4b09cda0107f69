#include "platform/auto_exporter.h"

#include <memory>

#include "app/export_formats.h"
#include "export/export_images.h"
#include "export/file_times.h"
#include "platform/qt_picture_canvas.h"
#include "platform/xlsx_workbook_writer.h"

namespace kova {

AutoExporter::AutoExporter(const AppSettings& settings, Prompter& prompter) : settings_(settings) {
  services_.prompter = &prompter;
  services_.runner = &runner_;
  services_.new_workbook = [] { return std::make_unique<XlsxWorkbookWriter>(); };
  services_.cancel = &cancel_;
  services_.stop = [this] { Cancel(); };
  // The plot pictures go into the "Xml" folder beside the record file, or
  // the export's private folder when they are not kept.
  services_.export_images = [](TestRecord& rec, const std::string& folder, std::string* why) {
    return DrawPlotPictures(rec, ImageBasePath(rec.fullpath, folder), why);
  };
}

void AutoExporter::ExportAfterSave(const TestRecord& rec, const std::string& path) {
  // The export fills in picture paths; the caller's record stays as saved.
  TestRecord copy = rec;
  copy.fullpath = path;
  Export(copy, false);
}

bool AutoExporter::Export(TestRecord& rec, bool force, const RecordContext* context) {
  cancel_.Reset();
  RecordContext gathered;
  // Only the XML document (and the PDF made from it) carries the context.
  if (context == nullptr && (settings_.AutoExportXml != 0 || settings_.AutoExportPdf != 0)) {
    BesideRecordReferences beside;
    gathered = GatherRecordContext(rec, keeper_ ? *keeper_ : beside, services_.bands);
    context = &gathered;
  }
  services_.record = context;
  const bool ok = AutoExport(rec, force, settings_, services_);
  services_.record = nullptr;
  return ok;
}

bool DrawPlotPictures(TestRecord& rec, const std::string& base_path, std::string* why) {
  QtPictureCanvasFactory canvases;
  return ExportImages(rec, canvases, base_path, why);
}

ChosenExportKind WorkbookExportKind(const AppSettings& settings) {
  auto services = std::make_shared<ExportServices>();
  services->new_workbook = [] { return std::make_unique<XlsxWorkbookWriter>(); };
  ExportJob job;
  job.settings = &settings;
  job.services = services.get();
  job.draw_pictures = DrawPlotPictures;
  ChosenExportKind kind = ChosenExportKindOf(*FindExportFormat("xlsx"), job);
  // The kind keeps the services its job points to.
  kind.write = [services, write = kind.write](const TestRecord& rec, const std::string& out) {
    return write(rec, out);
  };
  return kind;
}

}  // namespace kova
