#include "reportgen/report_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>

#include "base/file_io.h"

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

// Leaf elements below `parent` (one level of nesting), by name.
void CollectLeaves(xmlNodePtr parent, ReportValues& into) {
  for (xmlNodePtr c = parent->children; c != nullptr; c = c->next) {
    if (!IsElement(c)) continue;
    bool leaf = true;
    for (xmlNodePtr g = c->children; g != nullptr; g = g->next) leaf = leaf && !IsElement(g);
    if (leaf) into[Name(c)] = NodeText(c);
  }
}

}  // namespace

bool ReadReportXml(const char* bytes, size_t size, ReportData& data, std::string& error) {
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
  xmlNodePtr root = xmlDocGetRootElement(doc);
  for (xmlNodePtr c = root != nullptr ? root->children : nullptr; c != nullptr; c = c->next) {
    if (!IsElement(c)) continue;
    if (Name(c) == "reportinfo") CollectLeaves(c, data.record);
    if (Name(c) != "kovareport") continue;
    for (xmlNodePtr k = c->children; k != nullptr; k = k->next) {
      if (!IsElement(k)) continue;
      if (Name(k) == "reportdata") CollectLeaves(k, data.record);
      if (Name(k) == "test") {
        data.tests.emplace_back();
        CollectLeaves(k, data.tests.back());
      }
    }
  }
  xmlFreeDoc(doc);
  return true;
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
