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
  for (auto& r : records_) r = std::make_unique<TestRecord>();
}

RecordDocument::~RecordDocument() = default;

void RecordDocument::Reset() {
  loaded_ = false;
  overlaycount_ = 0;
  currentpage_ = 0;
  pagecount_ = 0;
  for (auto& r : records_) r->ResetRecord();
}

int RecordDocument::RecordCount() const {
  if (!loaded_) return 0;
  return overlaycount_ >= 2 ? overlaycount_ : 1;
}

bool RecordDocument::Open(const std::string& path) {
  Reset();
  loaded_ = records_[0]->ReadRecordFile(path);
  if (!loaded_) return false;
  if (services_.export_opened) services_.export_opened(*records_[0]);
  path_ = path;
  RebuildPages();
  if (services_.file_used) services_.file_used(path);
  return true;
}

bool RecordDocument::OpenOverlay(const std::vector<std::string>& paths) {
  Reset();
  if (paths.size() < 2 || paths.size() > static_cast<size_t>(kMaxOverlay)) return false;
  bool ok = true;
  for (size_t i = 0; i < paths.size() && ok; ++i) ok = records_[i]->ReadRecordFile(paths[i]);
  if (!ok) {
    Reset();
    return false;
  }
  overlaycount_ = static_cast<int>(paths.size());
  loaded_ = true;
  path_ = paths[0];
  RebuildPages();
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
  if (!loaded_) return false;
  std::string path = requested;
  if (IsRunTestPath(path) && !ChooseSaveName(path)) return false;
  const bool ok = services_.write_record ? services_.write_record(*records_[0], path)
                                         : records_[0]->WriteRecordFile(path);
  if (!ok) return false;
  path_ = path;
  if (services_.file_used) services_.file_used(path);
  return true;
}

bool RecordDocument::SaveAs() {
  if (!loaded_) return false;
  std::string path;
  if (!ChooseSaveName(path)) return false;
  return Save(path);
}

void RecordDocument::PrepareClose() {
  if (loaded_ && IsRunTestPath(path_)) Save(path_);
}

void RecordDocument::Unload() {
  if (loaded_ && IsRunTestPath(path_)) Save(path_);
  Reset();
}

void RecordDocument::RebuildPages() {
  pagecount_ = loaded_ && services_.count_pages ? services_.count_pages(*this) : 0;
  if (currentpage_ >= pagecount_) currentpage_ = pagecount_ > 0 ? pagecount_ - 1 : 0;
}

bool RecordDocument::PageUp() {
  if (!loaded_ || currentpage_ <= 0) return false;
  --currentpage_;
  return true;
}

bool RecordDocument::PageDown() {
  if (!loaded_ || currentpage_ >= pagecount_ - 1) return false;
  ++currentpage_;
  return true;
}

bool RecordDocument::FirstPage() {
  if (!loaded_ || currentpage_ == 0) return false;
  currentpage_ = 0;
  return true;
}

bool RecordDocument::LastPage() {
  if (!loaded_ || pagecount_ == 0 || currentpage_ == pagecount_ - 1) return false;
  currentpage_ = pagecount_ - 1;
  return true;
}

}  // namespace kova
