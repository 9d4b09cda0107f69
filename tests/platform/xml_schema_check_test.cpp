// The two schemas the program ships, judged by the generator's own check
// and by xmllint alike: every golden XML document and every sections
// document the program writes validates; a document with an element more
// or one less, or of the other kind, is refused.

#include "platform/xml_schema_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/export_xml.h"
#include "export/xml_report_sections.h"
#include "support/files.h"
#include "support/record_fixtures.h"
#ifndef _WIN32
#include "support/run_program.h"
#endif

namespace kova {
namespace {

std::string Source(const std::string& name) { return std::string(KOVA_SOURCE_DIR) + "/" + name; }

// A golden document with its report date placeholder filled in.
std::string Golden(const std::string& name) {
  std::string text = Slurp(Source("tests/golden/" + name));
  const size_t at = text.find("<DATE>");
  if (at != std::string::npos) text.replace(at, 6, "Dec 10, 2026 02:05 PM");
  return text;
}

std::string Inserted(std::string text, const std::string& before, const std::string& what) {
  const size_t at = text.find(before);
  return at == std::string::npos ? "<missing " + before + ">" : text.insert(at, what);
}

std::string Removed(std::string text, const std::string& element) {
  const size_t at = text.find("<" + element + ">");
  const std::string close = "</" + element + ">";
  const size_t end = text.find(close, at);
  if (at == std::string::npos || end == std::string::npos) return "<missing " + element + ">";
  return text.erase(at, end + close.size() - at);
}

TEST(XmlSchemaCheck, ShippedSchemasDescribeExactlyTheirDocuments) {
  const std::string xsd = Source("data/kovatest.xsd"),
                    sections_xsd = Source("data/kovasections.xsd");
  auto metering = MakeSampleRecord(2, 3, 6);
  metering->classsettings.ctusage = 2;
  metering->taps[0].burdentable = "B-0.1 VA/COS 0.3\r\n";
  metering->taps[0].taptrace = "trace";
  auto relaying = MakeSampleRecord(1, 2, 6);
  relaying->classdone = 1;
  XmlExportContext ctx;
  ctx.now = 1;
  const std::string xml = Golden("model1-3taps.xml");
  const std::string sections = BuildReportSectionsBeside(*metering, {});
  struct Case {
    const char* what;
    std::string doc;
    const std::string& schema;
    bool valid;
  };
  const Case cases[] = {
      {"golden model 1", xml, xsd, true},
      {"golden model 2", Golden("model2-metering.xml"), xsd, true},
      {"golden model 3", Golden("model3-2taps.xml"), xsd, true},
      {"golden model 4", Golden("model4-5taps.xml"), xsd, true},
      {"a written metering record", BuildXmlExport(*metering, ctx), xsd, true},
      {"a classification after the report data",
       Inserted(xml, "<test>", "<classification><ctusage>0</ctusage></classification>"), xsd,
       false},
      {"a ratio error table in a test", Inserted(xml, "</test>", "<ratioerrortable/>"), xsd, false},
      {"details after the tests",
       Inserted(xml, "</kovareport>", "<calculationdetails></calculationdetails>"), xsd, false},
      {"an element more in the header", Inserted(xml, "</reportinfo>", "<extra>x</extra>"), xsd,
       false},
      {"an element less in a test", Removed(xml, "tapstr"), xsd, false},
      {"sections as written, metering", sections, sections_xsd, true},
      {"sections as written, relaying", BuildReportSectionsBeside(*relaying, {}), sections_xsd, true},
      {"sections with an element more", Inserted(sections, "</testsection>", "<extra>x</extra>"),
       sections_xsd, false},
      {"sections without the file name", Removed(sections, "filename"), sections_xsd, false},
      {"the XML document as sections", xml, sections_xsd, false},
      {"sections as the XML document", sections, xsd, false},
  };
  const std::string dir = TempFolder("schemas");
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.what);
    std::string message;
    const std::string path = PathJoin(dir, Format("d%d.xml", static_cast<int>(i)));
    ASSERT_TRUE(WriteFileAtomically(path, c.doc));
    EXPECT_EQ(CheckXmlAgainstSchema(path, c.schema, message),
              c.valid ? XmlCheck::kValid : XmlCheck::kInvalid)
        << message;
#ifndef _WIN32
    const ProgramResult r = RunProgram("/usr/bin/xmllint", {"--noout", "--schema", c.schema, path});
    EXPECT_EQ(r.exit_code == 0, c.valid) << r.err;
#endif
  }
}

}  // namespace
}  // namespace kova
