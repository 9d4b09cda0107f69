#include "app/chosen_exports.h"

#include <memory>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "app/export_formats.h"
#include "base/codepage.h"
#include "base/path.h"

namespace kova {

ChosenExportKind ChosenExportKindOf(const ExportFormat& format, const ExportJob& job) {
  ChosenExportKind kind;
  kind.format = &format;
  kind.extension = format.extension;
  kind.write = [&format, job](const TestRecord& rec, const std::string& path) {
    std::string why;
    return WriteExport(format, rec, path, job, why);
  };
  return kind;
}

ChosenExportKind TextExportKind() { return ChosenExportKindOf(*FindExportFormat("txt"), {}); }

ChosenExportOutcome ExportChosenRecords(const std::vector<std::string>& files,
                                        const ChosenExportKind& kind,
                                        const RecordDefaults& defaults, Prompter& prompter,
                                        SettingsStore& store) {
  ChosenExportOutcome out;
  const std::string start = LoadText(store, SettingId::kExportDir);
  std::string folder;
  if (!prompter.ChooseFolder(kExportFolderTitle, start, folder) || folder.empty()) return out;
  out.ran = true;
  auto rec = std::make_unique<TestRecord>();
  for (const std::string& file : files) {
    if (!ReadRecordFile(*rec, file, defaults)) {
      ++out.unreadable;
      continue;
    }
    const std::string target = PathJoin(folder, StemOf(FileNameOf(file)) + kind.extension);
    if (kind.write(*rec, target)) {
      ++out.written;
      if (rec->fileend.Early()) {
        out.damaged.push_back(SystemNameToCp1252(FileNameOf(file)) + ": " +
                              DamagedRecordBanner(rec->fileend));
      }
    } else {
      out.failed.push_back(target);
    }
  }
  StoreText(store, SettingId::kExportDir, folder);
  store.Flush();
  if (!out.failed.empty()) {
    std::string text = "Unable to write:";
    for (const std::string& f : out.failed) text += "\n" + SystemNameToCp1252(f);
    prompter.Message(kWarningCaption, text, Buttons::Ok, Icon::Warning);
  }
  return out;
}

}  // namespace kova
