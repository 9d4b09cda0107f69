#include "app/chosen_exports.h"

#include <memory>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "base/path.h"
#include "export/text_export.h"

namespace kova {

ChosenExportKind TextExportKind() {
  return {".txt",
          [](const TestRecord& rec, const std::string& path) { return ExportText(rec, path); }};
}

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
    if (kind.write(*rec, target))
      ++out.written;
    else
      out.failed.push_back(target);
  }
  StoreText(store, SettingId::kExportDir, folder);
  store.Flush();
  if (!out.failed.empty()) {
    std::string text = "Unable to write:";
    for (const std::string& f : out.failed) text += "\n" + f;
    prompter.Message(kWarningCaption, text, Buttons::Ok, Icon::Warning);
  }
  return out;
}

}  // namespace kova
