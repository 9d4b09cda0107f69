#include "reportgen/report_sections.h"

#include <vector>

#include "base/file_io.h"

namespace kova {
namespace {

std::string TextOf(const ReportNode* node) { return node != nullptr ? node->text : std::string(); }

// The elements of the XML document's test a section must repeat to name it.
bool SameTest(const ReportNode& section, const ReportNode& test) {
  for (const char* name : {"testnum", "testorder"}) {
    const ReportNode* mine = section.Child(name);
    if (mine == nullptr || !mine->children.empty() || mine->text != TextOf(test.Child(name))) {
      return false;
    }
  }
  return true;
}

bool IsTestName(const std::string& name) { return name == "testnum" || name == "testorder"; }

}  // namespace

bool MergeReportSections(const char* bytes, size_t size, ReportData& data, std::string& error) {
  ReportNode root;
  if (!ReadXmlTree(bytes, size, root, error)) {
    error = "report sections: " + error;
    return false;
  }
  if (root.name != "kovasections") {
    error = "report sections: the root element is not kovasections";
    return false;
  }
  const ReportNode* filename = root.Child("filename");
  if (filename == nullptr || !filename->children.empty() ||
      filename->text != TextOf(data.record.Child("filename"))) {
    error = "report sections: they belong to another record (its file name differs)";
    return false;
  }
  std::vector<const ReportNode*> sections;
  std::vector<const ReportNode*> record_parts;
  for (const ReportNode& c : root.children) {
    if (c.name == "testsection") {
      sections.push_back(&c);
    } else if (&c != filename) {
      record_parts.push_back(&c);
    }
  }
  if (sections.size() != data.tests.size()) {
    error = "report sections: " + std::to_string(sections.size()) + " test sections for " +
            std::to_string(data.tests.size()) + " tests";
    return false;
  }
  for (size_t i = 0; i < sections.size(); ++i) {
    if (!SameTest(*sections[i], data.tests[i])) {
      error = "report sections: test section " + std::to_string(i + 1) +
              " names another test than the XML document";
      return false;
    }
  }
  // Checked whole; only now is the report changed.
  for (const ReportNode* part : record_parts) data.record.children.push_back(*part);
  for (size_t i = 0; i < sections.size(); ++i) {
    for (const ReportNode& c : sections[i]->children) {
      if (!IsTestName(c.name)) data.tests[i].children.push_back(c);
    }
  }
  return true;
}

bool LoadReportSections(const std::string& path, ReportData& data, std::string& error) {
  std::string bytes;
  FileProblem problem = FileProblem::kNone;
  // The schema check has read the file already; this bound only guards memory.
  if (!ReadFileText(path, bytes, 256u << 20, &problem)) {
    error = "cannot read the report sections \"" + path + "\": " + FileProblemText(problem);
    return false;
  }
  return MergeReportSections(bytes.data(), bytes.size(), data, error);
}

}  // namespace kova
