#pragma once
// "Export Test to Text File" and its siblings: the chosen record files are
// exported one by one into a folder the user picks, which is remembered as
// "ExportDir" of section "AppInfo".

#include <functional>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "base/prompter.h"
#include "records/test_record.h"

namespace kova {

constexpr const char* kExportFolderTitle = "Select Folder to Export To";

struct ExportFormat;
struct ExportJob;

// One format of the export registry, ready to write.
struct ChosenExportKind {
  const ExportFormat* format = nullptr;
  std::string extension;  // ".txt", ".xlsx", ...
  std::function<bool(const TestRecord&, const std::string&)> write;
};

// Any format of the registry; `job` is kept, and what it points to must
// outlive the kind.
ChosenExportKind ChosenExportKindOf(const ExportFormat& format, const ExportJob& job);

// The plain-text export of a record (one ".txt" file per record).
ChosenExportKind TextExportKind();

struct ChosenExportOutcome {
  bool ran = false;  // false when the folder choice was cancelled
  int written = 0;
  int unreadable = 0;
  std::vector<std::string> failed;  // output paths that could not be written
  // "<file name>: DAMAGED RECORD: ..." of each record exported from a file
  // that ended early (text); its output keeps its layout, the status says it.
  std::vector<std::string> damaged;
};

// Asks for the folder (starting at "ExportDir"), exports every readable file
// as `folder`/<name without extension><extension>, stores the folder, and
// shows one "Warning" naming the outputs that could not be written.
ChosenExportOutcome ExportChosenRecords(const std::vector<std::string>& files,
                                        const ChosenExportKind& kind,
                                        const RecordDefaults& defaults, Prompter& prompter,
                                        SettingsStore& store);

}  // namespace kova
