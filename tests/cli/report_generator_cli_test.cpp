// hmReportExport run as the automatic export runs it: TEMPLATE SCHEMA XML
// PDF, with its documented exit codes and the reason on stderr.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
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

}  // namespace
}  // namespace kova
