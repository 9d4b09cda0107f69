#include "reportgen/report_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>

#include "base/file_io.h"
#include "records/test_label.h"
#include "records/test_record.h"

namespace kova {
namespace {

std::string NodeText(xmlNodePtr node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

bool IsElement(xmlNodePtr n) { return n != nullptr && n->type == XML_ELEMENT_NODE; }

std::string Name(xmlNodePtr n) { return reinterpret_cast<const char*>(n->name); }

bool HasChildElements(xmlNodePtr n) {
  for (xmlNodePtr c = n->children; c != nullptr; c = c->next) {
    if (IsElement(c)) return true;
  }
  return false;
}

// The element at `depth` (the root is at 1) with everything below it;
// false when an element deeper than kMaxReportDepth would hold elements.
bool Collect(xmlNodePtr element, int depth, ReportNode& into) {
  into.name = Name(element);
  if (!HasChildElements(element)) {
    into.text = NodeText(element);
    return true;
  }
  if (depth >= kMaxReportDepth) return false;
  for (xmlNodePtr c = element->children; c != nullptr; c = c->next) {
    if (!IsElement(c)) continue;
    into.children.emplace_back();
    if (!Collect(c, depth + 1, into.children.back())) return false;
  }
  return true;
}

// The children of `parent` (at depth - 1) appended to `into`'s.
bool CollectChildren(xmlNodePtr parent, int depth, ReportNode& into) {
  for (xmlNodePtr c = parent->children; c != nullptr; c = c->next) {
    if (!IsElement(c)) continue;
    into.children.emplace_back();
    if (!Collect(c, depth, into.children.back())) return false;
  }
  return true;
}

// "reportnum": the number the printed report heads the test's pages with,
// from the test's place in the record ("testorder", from 0), so the PDF
// numbers a test as the printed report and its calculation details do.
void AddReportNumber(ReportNode& test) {
  const ReportNode* order = test.Child("testorder");
  if (order == nullptr || order->text.empty() || order->text.size() > 2) return;
  int index = 0;
  for (char c : order->text) {
    if (c < '0' || c > '9') return;
    index = index * 10 + (c - '0');
  }
  if (index >= kMaxTaps) return;
  test.children.push_back({"reportnum", std::to_string(ReportTestNumber(index)), {}});
}

bool CollectDocument(xmlNodePtr root, ReportData& data) {
  data.record.name = "record";
  for (xmlNodePtr c = root != nullptr ? root->children : nullptr; c != nullptr; c = c->next) {
    if (!IsElement(c)) continue;
    if (Name(c) == "reportinfo" && !CollectChildren(c, 3, data.record)) return false;
    if (Name(c) != "kovareport") continue;
    for (xmlNodePtr k = c->children; k != nullptr; k = k->next) {
      if (!IsElement(k)) continue;
      bool ok = true;
      if (Name(k) == "reportdata") {
        ok = CollectChildren(k, 4, data.record);
      } else if (Name(k) == "test") {
        data.tests.emplace_back();
        ok = Collect(k, 3, data.tests.back());
        if (ok) AddReportNumber(data.tests.back());
      } else {
        data.record.children.emplace_back();
        ok = Collect(k, 3, data.record.children.back());
      }
      if (!ok) return false;
    }
  }
  return true;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> steps;
  size_t start = 0;
  for (;;) {
    const size_t slash = path.find('/', start);
    steps.push_back(path.substr(start, slash == std::string::npos ? slash : slash - start));
    if (slash == std::string::npos) return steps;
    start = slash + 1;
  }
}

}  // namespace

const ReportNode* ReportNode::Child(const std::string& child_name) const {
  for (const ReportNode& c : children) {
    if (c.name == child_name) return &c;
  }
  return nullptr;
}

const ReportNode* ReportNode::Find(const std::string& path) const {
  const ReportNode* at = this;
  for (const std::string& step : SplitPath(path)) {
    at = at->Child(step);
    if (at == nullptr) return nullptr;
  }
  return at;
}

std::vector<const ReportNode*> ReportNode::FindAll(const std::string& path) const {
  std::vector<const ReportNode*> found;
  const size_t slash = path.rfind('/');
  const ReportNode* parent = slash == std::string::npos ? this : Find(path.substr(0, slash));
  if (parent == nullptr) return found;
  const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  for (const ReportNode& c : parent->children) {
    if (c.name == last) found.push_back(&c);
  }
  return found;
}

namespace {

// Parses `bytes` (no network, no entity expansion, no document type) and
// hands the root element to `collect`; false with `error` otherwise.
template <typename Collect>
bool ReadDocument(const char* bytes, size_t size, std::string& error, Collect collect) {
  if (size > static_cast<size_t>(INT_MAX)) {
    error = "the XML document is too large";
    return false;
  }
  xmlDocPtr doc = xmlReadMemory(bytes, static_cast<int>(size), "report.xml", nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) {
    error = "cannot read the XML document";
    return false;
  }
  // The program's documents have no DTD; one in a document could declare
  // entities that expand to any size when the texts are read.
  if (doc->intSubset != nullptr || doc->extSubset != nullptr) {
    xmlFreeDoc(doc);
    error = "the XML document has a document type declaration";
    return false;
  }
  const bool ok = collect(xmlDocGetRootElement(doc));
  xmlFreeDoc(doc);
  if (!ok) {
    error = "the XML document nests elements more than " + std::to_string(kMaxReportDepth) +
            " levels deep";
    return false;
  }
  return true;
}

}  // namespace

bool ReadReportXml(const char* bytes, size_t size, ReportData& data, std::string& error) {
  return ReadDocument(bytes, size, error,
                      [&](xmlNodePtr root) { return CollectDocument(root, data); });
}

bool ReadXmlTree(const char* bytes, size_t size, ReportNode& root, std::string& error) {
  return ReadDocument(bytes, size, error, [&](xmlNodePtr element) {
    return element != nullptr && Collect(element, 1, root);
  });
}

bool LoadReportXml(const std::string& path, ReportData& data, std::string& error) {
  std::string bytes;
  // The schema check has read the file already; this bound only guards memory.
  if (!ReadFileText(path, bytes, 256u << 20)) {
    error = "cannot read the XML document";
    return false;
  }
  return ReadReportXml(bytes.data(), bytes.size(), data, error);
}

}  // namespace kova
