#pragma once
// The record's XML document as the report generator uses it: a tree of its
// elements, the record's part (header, report data and every record-level
// section such as the classification) and each test with everything below
// it (its data points, graph points, ...).

#include <cstddef>
#include <string>
#include <vector>

namespace kova {

// One element: its text (UTF-8) when it holds no elements, else its child
// elements in document order.
struct ReportNode {
  std::string name;
  std::string text;
  std::vector<ReportNode> children;

  // The first child of that name, or null.
  const ReportNode* Child(const std::string& child_name) const;
  // The element a path "a/b/c" names below this one (first match at each
  // step), or null.
  const ReportNode* Find(const std::string& path) const;
  // Every element a path names: the last step's every match below the
  // first match of the steps before it.
  std::vector<const ReportNode*> FindAll(const std::string& path) const;
  // True when the element has a text or elements of its own.
  bool HasContent() const { return !text.empty() || !children.empty(); }
};

// Elements nested deeper than this below the root make the document unread.
constexpr int kMaxReportDepth = 16;

struct ReportData {
  // The leaves of reportinfo and the elements of reportdata, then every
  // element of kovareport that is not a test, as children of one node.
  ReportNode record;
  std::vector<ReportNode> tests;  // each test's own elements
};

// Reads the document from memory (no network, no entity expansion); false
// with `error` when it is not well-formed XML or nests too deeply.
bool ReadReportXml(const char* bytes, size_t size, ReportData& data, std::string& error);

// Any document of ours as one tree, its root element at depth 1, read with
// the same care and the same depth bound.
bool ReadXmlTree(const char* bytes, size_t size, ReportNode& root, std::string& error);

// The same from a file.
bool LoadReportXml(const std::string& path, ReportData& data, std::string& error);

}  // namespace kova
