#include "app/record_document.h"

#include "app/test_browser.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"

namespace kova {

namespace {

bool HasExtension(const std::string& path) {
  return FileNameOf(path).find('.') != std::string::npos;
}

// ".test", or the extension of the file the document came from, so a
// download saved under a new name stays one.
std::string DefaultExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  if (IsRunTestPath(path) || dot == std::string::npos || dot + 1 == name.size()) return ".test";
  return name.substr(dot);
}

}  // namespace

std::string OverwriteQuestion(const std::string& path) {
  return Format("%s %s?\r\n%s", kOverwriteQuestion, SystemNameToCp1252(FileNameOf(path)).c_str(),
                kOverwriteNoMeans);
}

namespace {

// A record file is a few kilobytes; the failure's reason is looked for
// with a write of this size.
constexpr size_t kTypicalRecordBytes = 16 * 1024;

}  // namespace

RecordDocument::RecordDocument(Services services) : services_(std::move(services)) {
  report_.SetRecordDefaults(services_.defaults);
  report_.SetComparisonBands(services_.bands);
  report_.SetReferenceKeeper(services_.references);
  report_.ShowCalculationDetails(services_.calculation_details);
}

RecordDocument::~RecordDocument() = default;

bool RecordDocument::Open(const std::string& path, std::string* why) {
  if (!report_.OpenFiles({path}, nullptr, why)) return false;
  if (services_.export_opened) services_.export_opened(report_.MutableRecord(0), report_.context());
  path_ = path;
  modified_ = false;
  if (services_.file_used) services_.file_used(path);
  return true;
}

bool RecordDocument::OpenOverlay(const std::vector<std::string>& paths, std::string* failed,
                                 std::string* why) {
  if (paths.size() < 2 || paths.size() > static_cast<size_t>(kMaxOverlay)) {
    report_.Clear();
    return false;
  }
  // No automatic export for an overlay.
  if (!report_.OpenFiles(paths, failed, why)) return false;
  path_ = paths[0];
  modified_ = false;
  if (services_.file_used) services_.file_used(paths[0]);
  return true;
}

bool RecordDocument::ChooseSaveName(std::string& path) {
  Prompter& prompter = *services_.prompter;
  const std::string folder = services_.record_folder ? services_.record_folder() : std::string();
  for (;;) {
    std::string chosen;
    if (!prompter.ChooseSaveFile("Save As", folder, RecordFileFilter(), chosen) || chosen.empty())
      return false;
    if (!HasExtension(chosen)) chosen += DefaultExtension(path_);
    if (!FileExists(chosen)) {
      path = chosen;
      return true;
    }
    const Answer a = prompter.Message(kDeviceCaption, OverwriteQuestion(chosen),
                                      Buttons::YesNoCancel, Icon::Question);
    if (a == Answer::Yes) {
      path = chosen;
      return true;
    }
    if (a != Answer::No) return false;
  }
}

bool RecordDocument::Save(const std::string& requested) {
  if (!loaded()) return false;
  std::string path = requested;
  if (IsRunTestPath(path) && !ChooseSaveName(path)) return false;
  if (!SaveRecordAndExport(report_.MutableRecord(0), path, services_.exporter)) {
    const std::string why = WriteProblemText(path, kTypicalRecordBytes);
    services_.prompter->Message(
        kWarningCaption, Format(kUnableToSave, SystemNameToCp1252(path).c_str(), why.c_str()),
        Buttons::Ok, Icon::Warning);
    return false;
  }
  path_ = path;
  modified_ = false;
  if (services_.file_used) services_.file_used(path);
  return true;
}

bool RecordDocument::SaveAs() {
  if (!loaded()) return false;
  std::string path;
  if (!ChooseSaveName(path)) return false;
  return Save(path);
}

bool RecordDocument::ConfirmClose() {
  if (!loaded()) return true;
  std::string question;
  if (IsRunTestPath(path_)) {
    // The measurement lives only in the scratch file the next run replaces.
    question = std::string(kRunTestNotSaved) + "\r\n" + kSaveUnderANameQuestion;
  } else if (modified_) {
    question = Format(kSaveChangesQuestion, SystemNameToCp1252(FileNameOf(path_)).c_str());
  } else {
    return true;
  }
  const Answer a =
      services_.prompter->Message(kDeviceCaption, question, Buttons::YesNoCancel, Icon::Question);
  if (a == Answer::No) return true;
  if (a != Answer::Yes) return false;
  return Save(path_);
}

bool RecordDocument::Unload() {
  if (!ConfirmClose()) return false;
  report_.Clear();
  path_.clear();
  modified_ = false;
  return true;
}

void RecordDocument::EditRecord(const std::function<bool(TestRecord&)>& edit) {
  if (!loaded()) return;
  const auto before = std::make_unique<TestRecord>(report_.Record(0));
  if (edit(report_.MutableRecord(0)))
    modified_ = true;
  else
    report_.MutableRecord(0) = *before;
  report_.BuildPageList();
}

void RecordDocument::RebuildPages() { report_.GatherKept(); }
bool RecordDocument::PageUp() { return report_.PreviousPage(); }
bool RecordDocument::PageDown() { return report_.NextPage(); }
bool RecordDocument::FirstPage() { return report_.FirstPage(); }
bool RecordDocument::LastPage() { return report_.LastPage(); }

}  // namespace kova
