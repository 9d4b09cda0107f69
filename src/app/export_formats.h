#pragma once
// Every export format of a record, in one registry: the command line's
// `--format` lists it, the desktop's chosen-records export writes any of
// it, and the automatic export takes from it the formats a setting asks for
// after each save. A new format is one entry here.

#include <functional>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/auto_export.h"
#include "records/test_record.h"

namespace kova {

// What a format's write needs beyond the record and the target.
struct ExportJob {
  const AppSettings* settings = nullptr;     // InstallDir, AppLogo, the generator's limits
  const ExportServices* services = nullptr;  // workbook writer, generator runner, cancel
  // Draws the plot pictures as "<base> - Test Summary.bmp" ... and fills the
  // record's picture paths; false when one cannot be made or saved, with
  // the picture and the reason in `why`.
  std::function<bool(TestRecord&, const std::string& base_path, std::string* why)> draw_pictures;
  // Told what an export had to change to be written (a text cut to a
  // workbook cell's limit), naming the place; may be empty.
  std::function<void(const std::string&)> note;
};

using ExportWriteFn = bool (*)(TestRecord& rec, const std::string& path, const ExportJob& job,
                               std::string& why);

struct ExportFormat {
  const char* name;       // the command line's `--format`: "txt"
  const char* extension;  // ".txt"
  // The folder beside the record file that takes the export when no folder
  // is chosen ("Xml"); nullptr: beside the record file itself.
  const char* folder;
  // The setting that asks for it after every save; nullptr: not automatic.
  int AppSettings::*auto_setting;
  bool needs_pictures;   // the plot pictures are drawn first (in a private folder)
  bool needs_generator;  // made by the report generator from the XML
  ExportWriteFn write;
  // The automatic export's warning when this step fails.
  const char* auto_failure_text;
};

const std::vector<ExportFormat>& ExportFormats();

// The entry of `name`, or nullptr.
const ExportFormat* FindExportFormat(const std::string& name);

// Every name, in registry order.
std::vector<std::string> ExportFormatNames();

// The formats the automatic export can make: those with a setting.
std::vector<const ExportFormat*> AutomaticExportFormats();

// Where the export of `record_path` goes: `<folder>/<stem><extension>` when a
// folder is chosen, else the format's folder beside the record (created
// when missing) or the record's own folder.
std::string ExportTarget(const ExportFormat& format, const std::string& record_path,
                         const std::string& folder);

// Draws the pictures in a private folder when the format needs them, then
// writes; `why` says what failed.
bool WriteExport(const ExportFormat& format, const TestRecord& rec, const std::string& path,
                 const ExportJob& job, std::string& why);

}  // namespace kova
