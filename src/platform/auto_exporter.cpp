#include "platform/auto_exporter.h"

#include <memory>

#include "base/path.h"
#include "base/private_folder.h"
#include "export/excel_export.h"
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
  services_.export_images = [](TestRecord& rec, const std::string& folder) {
    QtPictureCanvasFactory canvases;
    return ExportImages(rec, canvases, ImageBasePath(rec.fullpath, folder));
  };
}

void AutoExporter::ExportAfterSave(const TestRecord& rec, const std::string& path) {
  // The export fills in picture paths; the caller's record stays as saved.
  TestRecord copy = rec;
  copy.fullpath = path;
  Export(copy, false);
}

bool AutoExporter::Export(TestRecord& rec, bool force) {
  cancel_.Reset();
  return AutoExport(rec, force, settings_, services_);
}

ChosenExportKind WorkbookExportKind(const AppSettings& settings) {
  ChosenExportKind kind;
  kind.extension = ".xlsx";
  const std::string install_dir = settings.InstallDir;
  kind.write = [install_dir](const TestRecord& rec, const std::string& out) {
    // The pictures are drawn in a private folder removed afterwards.
    PrivateFolder work("pictures");
    if (!work.valid()) return false;
    TestRecord copy = rec;
    QtPictureCanvasFactory canvases;
    if (!ExportImages(copy, canvases, ImageBasePath(out, work.path()))) return false;
    XlsxWorkbookWriter wb;
    return ExportExcel(copy, out, install_dir, wb);
  };
  return kind;
}

}  // namespace kova
