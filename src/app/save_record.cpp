#include "app/save_record.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/file_io.h"
#include "base/format.h"
#include "base/native_path.h"
#include "base/path.h"

namespace kova {

bool SaveRecordAndExport(TestRecord& rec, const std::string& path, RecordExporter* exporter,
                         std::string* why) {
  if (!rec.WriteRecordFile(path, why)) return false;
  if (exporter) exporter->ExportAfterSave(rec, path);
  return true;
}

namespace {

std::string ProblemOfErrno(int error) {
  switch (error) {
    case EROFS:
      return "the disk is read-only";
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return "the disk is full";
    case EACCES:
    case EPERM:
      return "the folder is read-only";
    default:
      return "the file could not be written";
  }
}

}  // namespace

std::string WriteProblemText(const std::string& path, size_t size) {
  std::string folder = FolderOf(path);
  if (folder.empty()) folder = ".";
  if (!FolderExists(folder)) return "the folder does not exist";
  if (FolderExists(path)) return "a folder has that name";
  // The failed write left nothing to ask: a fresh file of the same size in
  // the same folder shows what stands in the way. It goes again at once.
  static unsigned counter = 0;
  const std::string probe = PathJoin(folder, Format(".kova-probe-%u.tmp", ++counter));
  errno = 0;
#ifdef _WIN32
  std::FILE* f = ::_wfopen(NativePath(probe).c_str(), L"wbx");
#else
  std::FILE* f = std::fopen(probe.c_str(), "wbx");
#endif
  if (f == nullptr) return ProblemOfErrno(errno);
  const std::vector<char> bytes(size, '\0');
  errno = 0;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  written = std::fflush(f) == 0 && written;
  const int error = errno;
  std::fclose(f);
  std::error_code ec;
  std::filesystem::remove(NativePath(probe), ec);
  if (!written) return ProblemOfErrno(error);
  return "the file could not be written";
}

}  // namespace kova
