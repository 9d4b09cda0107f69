// hmReportExport TEMPLATE SCHEMA XML PDF
//
// The report generator: checks the record's XML document against the
// schema, fills the report template with it and writes the PDF. Exit codes:
//   0  the PDF was written
//   1  wrong arguments
//   2  the XML document or the schema cannot be read, or the document is
//      not valid against the schema
//   3  the template cannot be read or is not understood
//   4  the PDF cannot be written
// The reason goes to stderr.

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "platform/xml_schema_check.h"
#include "reportgen/pdf_report.h"
#include "reportgen/report_template.h"

namespace kova {
namespace {

enum ExitCode { kOk = 0, kBadArguments = 1, kBadXml = 2, kBadTemplate = 3, kPdfNotWritable = 4 };

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

bool LoadReport(const std::string& path, ReportData& data, std::string& error) {
  xmlDocPtr doc =
      xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) {
    error = "cannot read the XML document";
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

int Fail(int code, const std::string& why) {
  std::fprintf(stderr, "hmReportExport: %s\n", why.c_str());
  return code;
}

int Run(int argc, char** argv) {
  if (argc != 5) {
    return Fail(kBadArguments, "usage: hmReportExport TEMPLATE SCHEMA XML PDF");
  }
  const std::string templ = argv[1], schema = argv[2], xml = argv[3], pdf = argv[4];
  std::string message;
  switch (CheckXmlAgainstSchema(xml, schema, message)) {
    case XmlCheck::kValid:
      break;
    case XmlCheck::kSchemaUnreadable:
      return Fail(kBadXml, "cannot read the schema \"" + schema + "\": " + message);
    case XmlCheck::kDocumentUnreadable:
      return Fail(kBadXml, "cannot read the XML document \"" + xml + "\": " + message);
    case XmlCheck::kInvalid:
      return Fail(kBadXml, "the XML document \"" + xml + "\" is not valid: " + message);
  }
  std::string text;
  if (!ReadFileText(templ, text, 1u << 20)) {
    return Fail(kBadTemplate, "cannot read the template \"" + templ + "\"");
  }
  ReportTemplate t;
  if (!ParseReportTemplate(text, t, message)) {
    return Fail(kBadTemplate, "template \"" + templ + "\": " + message);
  }
  ReportData data;
  if (!LoadReport(xml, data, message)) return Fail(kBadXml, message);
  if (!WritePdfReport(t, data, pdf, message)) {
    return Fail(kPdfNotWritable, "cannot write \"" + pdf + "\": " + message);
  }
  return kOk;
}

}  // namespace
}  // namespace kova

int main(int argc, char** argv) {
  // Fonts and painting need a GUI application; no window is ever shown.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  LIBXML_TEST_VERSION
  const int code = kova::Run(argc, argv);
  xmlCleanupParser();
  return code;
}
