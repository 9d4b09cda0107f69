#include "platform/auto_exporter.h"

#include <memory>

#include "base/path.h"
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
  // The plot pictures go into the "Xml" folder beside the record file.
  services_.export_images = [](TestRecord& rec) {
    QtPictureCanvasFactory canvases;
    return ExportImages(rec, canvases, ImageBasePath(rec.fullpath, ""));
  };
}

void AutoExporter::ExportAfterSave(const TestRecord& rec, const std::string& path) {
  // The export fills in picture paths; the caller's record stays as saved.
  TestRecord copy = rec;
  copy.fullpath = path;
  Export(copy, false);
}

bool AutoExporter::Export(TestRecord& rec, bool force) {
  return AutoExport(rec, force, settings_, services_);
}

ChosenExportKind WorkbookExportKind(const AppSettings& settings) {
  ChosenExportKind kind;
  kind.extension = ".xlsx";
  const std::string install_dir = settings.InstallDir;
  kind.write = [install_dir](const TestRecord& rec, const std::string& out) {
    // Only the pictures drawn here are removed afterwards.
    TestRecord copy = rec;
    copy.imagefile.clear();
    for (int t = 0; t < copy.UsableTests(); ++t) copy.taps[t].testimagefile.clear();
    QtPictureCanvasFactory canvases;
    bool ok = ExportImages(copy, canvases, ImageBasePath(out, FolderOf(out)));
    if (ok) {
      XlsxWorkbookWriter wb;
      ok = ExportExcel(copy, out, install_dir, wb);
    }
    for (int t = 0; t < copy.UsableTests(); ++t) DeleteFileQuietly(copy.taps[t].testimagefile);
    DeleteFileQuietly(copy.imagefile);
    return ok;
  };
  return kind;
}

}  // namespace kova
