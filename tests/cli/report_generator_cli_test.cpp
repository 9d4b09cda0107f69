// hmReportExport run as the automatic export runs it: TEMPLATE SCHEMA XML
// PDF, with its documented exit codes and the reason on stderr; and the
// report sections document it reads beside the XML.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "export/xml_report_sections.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

class ReportGeneratorCli : public KovaCliTest {};

TEST_F(ReportGeneratorCli, ExitCodesAndReasons) {
  auto rec = MakeSampleRecord(1, 2, 2);
  const std::string record = PathJoin(dir_, "g.test");
  ASSERT_TRUE(rec->WriteRecordFile(record));
  ASSERT_EQ(Kova({"record", "export", "--format", "xml", record, "-o", dir_}).exit_code, 0);
  const std::string bin = FolderOf(BuiltProgram("kova"));
  const std::string templ = PathJoin(bin, "kovareport.mrt"), schema = PathJoin(bin, "kovatest.xsd");
  const std::string xml = PathJoin(dir_, "g.xml"), pdf = PathJoin(dir_, "g.pdf");
  const std::string not_valid = PathJoin(dir_, "other.xml"), bad_templ = PathJoin(dir_, "bad.mrt");
  ASSERT_TRUE(WriteFileAtomically(not_valid, std::string("<kovatest><x/></kovatest>")));
  ASSERT_TRUE(WriteFileAtomically(bad_templ, std::string("[header]\ntitle A\nblink\n")));

  struct Case {
    const char* what;
    std::vector<std::string> args;
    int code;
    const char* reason;
  };
  const Case cases[] = {
      {"three arguments", {templ, schema, xml}, 1, "usage"},
      {"missing XML", {templ, schema, PathJoin(dir_, "none.xml"), pdf}, 2, "cannot read"},
      {"missing schema", {templ, PathJoin(dir_, "none.xsd"), xml, pdf}, 2, "schema"},
      {"XML not valid", {templ, schema, not_valid, pdf}, 2, "not valid"},
      {"missing template", {PathJoin(dir_, "none.mrt"), schema, xml, pdf}, 3, "template"},
      {"unknown directive", {bad_templ, schema, xml, pdf}, 3, "line 3"},
      {"PDF folder missing", {templ, schema, xml, PathJoin(dir_, "no/g.pdf")}, 4, "cannot write"},
      {"report written", {templ, schema, xml, pdf}, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ProgramResult r = RunProgram(BuiltProgram("hmReportExport"), c.args, env_);
    EXPECT_EQ(r.exit_code, c.code) << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(FileExists(pdf), c.code == 0);
  }
}

// The same four arguments with and without the sections document beside
// the XML: without it (a user's own XML) the PDF has the document's pages
// only; with it the classification too; one that is malformed, of another
// record or without its schema is refused with exit code 2.
TEST_F(ReportGeneratorCli, SectionsDocumentBesideTheXml) {
  auto rec = MakeSampleRecord(1, 2, 2);
  const std::string record = PathJoin(dir_, "g.test");
  ASSERT_TRUE(rec->WriteRecordFile(record));
  ASSERT_EQ(Kova({"record", "export", "--format", "xml", record, "-o", dir_}).exit_code, 0);
  const std::string bin = FolderOf(BuiltProgram("kova"));
  const std::string templ = PathJoin(bin, "kovareport.mrt"), schema = PathJoin(bin, "kovatest.xsd");
  const std::string xml = PathJoin(dir_, "g.xml"), pdf = PathJoin(dir_, "g.pdf");
  const std::string sections = PathJoin(dir_, "g.kova-sections.xml");
  // A schema folder without the sections schema.
  const std::string lone_schema = PathJoin(dir_, "kovatest.xsd");
  std::string schema_text;
  ASSERT_TRUE(ReadFileText(schema, schema_text));
  ASSERT_TRUE(WriteFileAtomically(lone_schema, schema_text));
  rec->filename = "g.test";
  const std::string written = BuildReportSectionsBeside(*rec, {});
  auto other = MakeSampleRecord(1, 2, 2);
  other->filename = "other.test";
  struct Case {
    const char* what;
    std::string sections;  // empty: none beside the XML
    std::string schema;
    int code;
    const char* reason;
    bool classification;  // in the PDF
  };
  const Case cases[] = {
      {"none beside", "", schema, 0, "", false},
      {"as the program writes it", written, schema, 0, "", true},
      {"cut short", written.substr(0, written.size() - 20), schema, 2, "report sections", false},
      {"not valid", "<kovasections><x/></kovasections>", schema, 2, "is not valid", false},
      {"of another record", BuildReportSectionsBeside(*other, {}), schema, 2, "another record", false},
      {"its schema missing", written, lone_schema, 2, "kovasections.xsd", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::remove(sections.c_str());
    std::remove(pdf.c_str());
    if (!c.sections.empty()) {
      ASSERT_TRUE(WriteFileAtomically(sections, c.sections));
    }
    const ProgramResult r =
        RunProgram(BuiltProgram("hmReportExport"), {templ, c.schema, xml, pdf}, env_);
    EXPECT_EQ(r.exit_code, c.code) << r.err;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    ASSERT_EQ(FileExists(pdf), c.code == 0);
    if (c.code != 0) continue;
    const ProgramResult text = RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_NE(text.out.find("CT DATA POINTS"), std::string::npos);
    EXPECT_EQ(text.out.find("Classification:") != std::string::npos, c.classification);
  }
}

}  // namespace
}  // namespace kova
