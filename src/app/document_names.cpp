#include "app/document_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "base/codepage.h"
#include "base/native_path.h"
#include "base/path.h"

namespace kova {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The folder's last `depth` names, joined with '/'; the whole folder when
// it has fewer (`whole` then).
std::string FolderTail(const std::string& path, size_t depth, bool& whole) {
  std::string folder = FolderOf(path);
  while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
  std::vector<std::string> parts;
  size_t end = folder.size();
  while (parts.size() < depth && end > 0) {
    size_t start = end;
    while (start > 0 && !IsSeparator(folder[start - 1])) --start;
    if (start == end) break;  // the root
    parts.insert(parts.begin(), folder.substr(start, end - start));
    end = start > 0 ? start - 1 : 0;
  }
  whole = parts.size() < depth;
  if (whole) return folder;
  std::string tail;
  for (const std::string& p : parts) tail += (tail.empty() ? "" : "/") + p;
  return tail;
}

}  // namespace

std::vector<std::string> DistinctTabNames(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const std::string& p : paths) names.push_back(FileNameOf(p));
  for (size_t i = 0; i < paths.size(); ++i) {
    if (paths[i].empty()) continue;
    // The fewest folder names that no other same-named file shares.
    for (size_t depth = 1;; ++depth) {
      bool whole = false;
      const std::string tail = FolderTail(paths[i], depth, whole);
      bool clash = false, same_name = false;
      for (size_t j = 0; j < paths.size(); ++j) {
        if (j == i || paths[j].empty() || FileNameOf(paths[j]) != names[i] || paths[j] == paths[i])
          continue;
        same_name = true;
        bool other_whole = false;
        if (FolderTail(paths[j], depth, other_whole) == tail) clash = true;
      }
      if (!same_name) break;
      if (!clash || whole) {
        names[i] += " (" + tail + ")";
        break;
      }
    }
  }
  return names;
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code ec;
  const bool same = std::filesystem::equivalent(NativePath(a), NativePath(b), ec);
  return !ec && same;
}

std::string OpenFailureText(const std::vector<std::pair<std::string, std::string>>& failures) {
  std::string text = "Failed to open document.";
  for (const auto& f : failures) text += "\r\n" + SystemNameToCp1252(f.first) + ": " + f.second;
  return text;
}

std::vector<std::string> HandedOverPaths(const std::string& bytes, size_t max_paths,
                                         size_t max_bytes) {
  std::vector<std::string> paths;
  const std::string text = bytes.substr(0, std::min(bytes.size(), max_bytes));
  size_t start = 0;
  while (start < text.size() && paths.size() < max_paths) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) paths.push_back(line);
    start = end + 1;
  }
  return paths;
}

}  // namespace kova

namespace kova {

std::string ProposedPdfName(const std::string& record_path) {
  const std::string stem = StemOf(FileNameOf(record_path));
  return (stem.empty() ? std::string("report") : stem) + ".pdf";
}

std::string HistoryPdfName(const std::string& serial) {
  std::string name = serial.empty() ? std::string("CT") : serial;
  for (char& c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || std::string("/\\:*?\"<>|").find(c) != std::string::npos) c = '_';
  }
  if (name.front() == '.') name.front() = '_';  // no hidden file, no ".."
  return name + " history.pdf";
}

std::string WithPdfExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  if (name.size() > 4) {
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (tail == ".pdf") return path;
  }
  return path + ".pdf";
}

}  // namespace kova
