#pragma once
// How the desktop program names its documents to the user: tab names that
// tell two files of one name apart, whether two paths are one file, and why
// files did not open.

#include <string>
#include <utility>
#include <vector>

namespace kova {

// The name each tab shows for the documents' paths, in order: the file name,
// followed by as much of its folder as tells it apart from another open file
// of the same name ("a.test (site1)", "a.test (north/site1)"). An empty path
// (an empty document) stays empty.
std::vector<std::string> DistinctTabNames(const std::vector<std::string>& paths);

// True when both paths name the same file (a link or another spelling of
// the path included).
bool SameFile(const std::string& a, const std::string& b);

// "Failed to open document." followed by one line per file with its
// reason: one message for several files.
std::string OpenFailureText(const std::vector<std::pair<std::string, std::string>>& failures);

// The files a second start of the program hands to the first: one path a
// line, at most `max_paths`; empty lines and bytes past `max_bytes` are
// dropped.
std::vector<std::string> HandedOverPaths(const std::string& bytes, size_t max_paths = 64,
                                         size_t max_bytes = 256 * 1024);

// The PDF name proposed for a record: its file's stem and ".pdf"
// ("report.pdf" for a record never saved).
std::string ProposedPdfName(const std::string& record_path);
// The PDF name proposed for a CT's history: "<serial> history.pdf", with
// characters a file name cannot hold made "_".
std::string HistoryPdfName(const std::string& serial);
// `path` with ".pdf" added when the user left it out (any letter case
// counts as given).
std::string WithPdfExtension(const std::string& path);

}  // namespace kova
