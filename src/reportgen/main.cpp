// hmReportExport TEMPLATE SCHEMA XML PDF
//
// The report generator: checks the record's XML document against the
// schema, fills the report template with it and writes the PDF.
//
// The program hands over what its PDF prints beyond the XML document (the
// classification, ratio error tables, metering traces, calculation details)
// in a sections document beside the XML: "<XML name>.kova-sections.xml",
// checked against "kovasections.xsd" beside SCHEMA. The command line stays
// the four paths other callers know; an XML document without that file
// beside it (a user's own, an older program's) makes a PDF without those
// sections.
//
// Exit codes:
//   0  the PDF was written
//   1  wrong arguments
//   2  the XML document, the sections document beside it or a schema cannot
//      be read, or a document is not valid against its schema or, for the
//      sections, does not belong to the XML document
//   3  the template cannot be read or is not understood
//   4  the PDF cannot be written, or it is one of the inputs
// The reason goes to stderr.

#include <libxml/parser.h>

#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/output_rule.h"
#include "base/file_io.h"
#include "base/native_path.h"
#include "base/path.h"
#include "base/program_version.h"
#include "export/xml_report_sections.h"
#include "platform/large_buffer_heap.h"
#include "platform/qt_quiet_messages.h"
#include "platform/write_limits.h"
#include "platform/xml_schema_check.h"
#include "reportgen/pdf_report.h"
#include "reportgen/report_sections.h"
#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"

namespace kova {
namespace {

enum ExitCode { kOk = 0, kBadArguments = 1, kBadXml = 2, kBadTemplate = 3, kPdfNotWritable = 4 };

int Fail(int code, const std::string& why) {
  std::fprintf(stderr, "hmReportExport: %s\n", why.c_str());
  return code;
}

// Anything at all at `path`, a link to nothing included: such a sections
// document is refused by its check, not passed over.
bool AnythingAt(const std::string& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(NativePath(path), ec).type() !=
             std::filesystem::file_type::not_found &&
         !ec;
}

// `xml` checked against `schema`; 0 when valid, else the exit code after
// the reason went to stderr.
int CheckDocument(const std::string& what, const std::string& xml, const std::string& schema) {
  std::string message;
  switch (CheckXmlAgainstSchema(xml, schema, message)) {
    case XmlCheck::kValid:
      return kOk;
    case XmlCheck::kSchemaUnreadable:
      return Fail(kBadXml, "cannot read the schema \"" + schema + "\": " + message);
    case XmlCheck::kDocumentUnreadable:
      return Fail(kBadXml, "cannot read the " + what + " \"" + xml + "\": " + message);
    case XmlCheck::kInvalid:
      return Fail(kBadXml, "the " + what + " \"" + xml + "\" is not valid: " + message);
  }
  return kBadXml;
}

// What `hmReportExport --help` prints; the manual page is made from it.
const char kHelp[] =
    "Usage: hmReportExport TEMPLATE SCHEMA XML PDF\n"
    "The report generator of the KOVA companion program: checks a record's XML\n"
    "document against SCHEMA, fills the report TEMPLATE with it and writes the\n"
    "report as PDF. The companion program runs it for the automatic PDF export;\n"
    "it can also be run by hand on an exported XML document.\n"
    "\n"
    "A report sections document beside XML (\"XML.kova-sections.xml\", checked\n"
    "against kovasections.xsd beside SCHEMA) adds the pages the companion\n"
    "program prints beyond the XML document. The installed template and schemas\n"
    "are in /usr/share/kova.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and end\n"
    "      --version  show the program's version and end\n"
    "\n"
    "Exit status:\n"
    "  0  the PDF was written\n"
    "  1  wrong arguments\n"
    "  2  a document or schema cannot be read or is not valid\n"
    "  3  the template cannot be read or is not understood\n"
    "  4  the PDF cannot be written, or it is one of the inputs\n";

int Run(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kHelp, stdout);
    return kOk;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s\n", kProgramVersion);
    return kOk;
  }
  if (argc != 5) {
    return Fail(kBadArguments, "usage: hmReportExport TEMPLATE SCHEMA XML PDF");
  }
  const std::string templ = argv[1], schema = argv[2], xml = argv[3], pdf = argv[4];
  const std::string sections = ReportSectionsPath(xml);
  const std::string sections_schema = FolderOf(schema) + kReportSectionsSchemaName;
  const bool have_sections = AnythingAt(sections);
  // The PDF never replaces one of the files it is made from.
  std::vector<std::string> inputs = {templ, schema, xml};
  if (have_sections) inputs.insert(inputs.end(), {sections, sections_schema});
  if (CheckOutputFile(pdf, inputs, true) == OutputCheck::kIsInput) {
    return Fail(kPdfNotWritable, "\"" + pdf + "\" is also an input; choose another output");
  }
  if (const int code = CheckDocument("XML document", xml, schema)) return code;
  if (have_sections) {
    if (const int code = CheckDocument("report sections", sections, sections_schema)) return code;
  }
  std::string message;
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
  if (have_sections && !LoadReportSections(sections, data, message)) {
    return Fail(kBadXml, message);
  }
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
