// hmReportExport TEMPLATE SCHEMA XML PDF
//
// The report generator: checks the record's XML document against the
// schema, fills the report template with it and writes the PDF. Exit codes:
//   0  the PDF was written
//   1  wrong arguments
//   2  the XML document or the schema cannot be read, or the document is
//      not valid against the schema
//   3  the template cannot be read or is not understood
//   4  the PDF cannot be written, or it is one of the inputs
// The reason goes to stderr.

#include <libxml/parser.h>

#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <string>

#include "app/output_rule.h"
#include "base/file_io.h"
#include "platform/large_buffer_heap.h"
#include "platform/qt_quiet_messages.h"
#include "platform/write_limits.h"
#include "platform/xml_schema_check.h"
#include "reportgen/pdf_report.h"
#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"

namespace kova {
namespace {

enum ExitCode { kOk = 0, kBadArguments = 1, kBadXml = 2, kBadTemplate = 3, kPdfNotWritable = 4 };

int Fail(int code, const std::string& why) {
  std::fprintf(stderr, "hmReportExport: %s\n", why.c_str());
  return code;
}

int Run(int argc, char** argv) {
  if (argc != 5) {
    return Fail(kBadArguments, "usage: hmReportExport TEMPLATE SCHEMA XML PDF");
  }
  const std::string templ = argv[1], schema = argv[2], xml = argv[3], pdf = argv[4];
  // The PDF never replaces one of the files it is made from.
  if (CheckOutputFile(pdf, {templ, schema, xml}, true) == OutputCheck::kIsInput) {
    return Fail(kPdfNotWritable, "\"" + pdf + "\" is also an input; choose another output");
  }
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
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileText(templ, text, 1u << 20, &problem)) {
    return Fail(kBadTemplate,
                "cannot read the template \"" + templ + "\": " + FileProblemText(problem));
  }
  ReportTemplate t;
  if (!ParseReportTemplate(text, t, message)) {
    return Fail(kBadTemplate, "template \"" + templ + "\": " + message);
  }
  ReportData data;
  if (!LoadReportXml(xml, data, message)) return Fail(kBadXml, message);
  if (!WritePdfReport(t, data, pdf, message)) {
    return Fail(kPdfNotWritable, "cannot write \"" + pdf + "\": " + message);
  }
  return kOk;
}

}  // namespace
}  // namespace kova

int main(int argc, char** argv) {
  // Fonts and painting need a GUI application; no window is ever shown, so
  // no display is needed: the platform a cron job or SSH session inherits
  // (empty, wayland, xcb without a display) would abort it.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  kova::KeepLargeBuffersInHeap();
  kova::FailWritesPastTheFileSizeLimit();
  kova::QuietQtRuntimeFolderMessages();
  QGuiApplication app(argc, argv);
  LIBXML_TEST_VERSION
  const int code = kova::Run(argc, argv);
  xmlCleanupParser();
  return code;
}
