#include "app/record_document.h"

#include "app/test_browser.h"
#include "base/file_io.h"
#include "base/path.h"

namespace kova {

namespace {

bool HasExtension(const std::string& path) {
  return FileNameOf(path).find('.') != std::string::npos;
}

}  // namespace

RecordDocument::RecordDocument(Services services) : services_(std::move(services)) {
  report_.SetRecordDefaults(services_.defaults);
  report_.SetComparisonBands(services_.bands);
}

RecordDocument::~RecordDocument() = default;

bool RecordDocument::Open(const std::string& path) {
  if (!report_.OpenFiles({path})) return false;
  if (services_.export_opened) services_.export_opened(report_.MutableRecord(0));
  path_ = path;
  if (services_.file_used) services_.file_used(path);
  return true;
}

bool RecordDocument::OpenOverlay(const std::vector<std::string>& paths) {
  if (paths.size() < 2 || paths.size() > static_cast<size_t>(kMaxOverlay)) {
    report_.Clear();
    return false;
  }
  // No automatic export for an overlay.
  if (!report_.OpenFiles(paths)) return false;
  path_ = paths[0];
  if (services_.file_used) services_.file_used(paths[0]);
  return true;
}

bool RecordDocument::ChooseSaveName(std::string& path) {
  Prompter& prompter = *services_.prompter;
  const std::string folder = services_.record_folder ? services_.record_folder() : std::string();
  for (;;) {
    std::string chosen;
    if (!prompter.ChooseSaveFile("Save As", folder, kTestFileFilter, chosen) || chosen.empty())
      return false;
    if (!HasExtension(chosen)) chosen += ".test";
    if (!FileExists(chosen)) {
      path = chosen;
      return true;
    }
    const Answer a =
        prompter.Message(kDeviceCaption, kOverwriteQuestion, Buttons::YesNoCancel, Icon::Question);
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
  const bool ok = SaveRecordAndExport(report_.MutableRecord(0), path, services_.exporter);
  if (!ok) return false;
  path_ = path;
  if (services_.file_used) services_.file_used(path);
  return true;
}

bool RecordDocument::SaveAs() {
  if (!loaded()) return false;
  std::string path;
  if (!ChooseSaveName(path)) return false;
  return Save(path);
}

void RecordDocument::PrepareClose() {
  if (loaded() && IsRunTestPath(path_)) Save(path_);
}

void RecordDocument::Unload() {
  if (loaded() && IsRunTestPath(path_)) Save(path_);
  report_.Clear();
}

void RecordDocument::RebuildPages() { report_.BuildPageList(); }
bool RecordDocument::PageUp() { return report_.PreviousPage(); }
bool RecordDocument::PageDown() { return report_.NextPage(); }
bool RecordDocument::FirstPage() { return report_.FirstPage(); }
bool RecordDocument::LastPage() { return report_.LastPage(); }

}  // namespace kova
