// The report template language run over small documents: what each
// directive, loop, block and table hands to the drawing, recorded as text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reportgen/report_template.h"
#include "reportgen/report_xml.h"
#include "reportgen/template_walker.h"

namespace kova {
namespace {

// One line per directive; a table as "table/N h1,h2 | r1c1,r1c2 | ...".
class RecordingSink : public ReportSink {
 public:
  void Directive(const std::string& d, const std::vector<std::string>& args) override {
    std::string line = d;
    for (size_t i = 0; i < args.size(); ++i) line += (i == 0 ? " " : "|") + args[i];
    out += line + "\n";
  }
  void Table(const FilledTable& t) override {
    out += "table/" + std::to_string(t.split) + " " + Join(t.header);
    for (const FilledTable::Row& r : t.rows) {
      out += " | " + Join(r.cells) + (r.swatch.empty() ? "" : " @" + r.swatch);
    }
    out += "\n";
  }
  std::string out;

 private:
  static std::string Join(const std::vector<std::string>& cells) {
    std::string s;
    for (size_t i = 0; i < cells.size(); ++i) s += (i == 0 ? "" : ",") + cells[i];
    return s;
  }
};

// Two tests: the first with two data points and a ratio error table, the
// second with none; a classification with two rows beside the report data.
const char* const kDocument = R"(<helmarkreport>
  <reportinfo><filename>r.test</filename><reportlogo>logo.bmp</reportlogo></reportinfo>
  <kovareport>
    <reportdata><numtests>2</numtests><pfenable>0</pfenable><testnote></testnote></reportdata>
    <classification><ctusage>1</ctusage><classdone>1</classdone>
      <classrow><classrowname>C10</classrowname></classrow>
      <classrow><classrowname>C20</classrowname></classrow>
    </classification>
    <test><testnum>1</testnum><tapstr>X1-X2</tapstr><testimagecolorfile>c1.bmp</testimagecolorfile>
      <testdata>
        <datapoint><dpPoint>1</dpPoint><dpAmps>0.1</dpAmps></datapoint>
        <datapoint><dpPoint>2</dpPoint><dpAmps>0.2</dpAmps></datapoint>
        <graphpoint><gpPoint>1</gpPoint></graphpoint>
      </testdata>
      <ratioerrortable>B-0.1 0.3</ratioerrortable>
    </test>
    <test><testnum>2</testnum><tapstr>X1-X3</tapstr><testimagecolorfile>c2.bmp</testimagecolorfile>
      <testdata></testdata>
    </test>
  </kovareport>
</helmarkreport>)";

std::string Walk(const std::string& templ) {
  ReportTemplate t;
  std::string error;
  EXPECT_TRUE(ParseReportTemplate(templ, t, error)) << error;
  ReportData data;
  const std::string doc = kDocument;
  EXPECT_TRUE(ReadReportXml(doc.data(), doc.size(), data, error)) << error;
  RecordingSink sink;
  WalkReport(t, data, sink);
  return sink.out;
}

TEST(TemplateLanguage, LoopsBlocksAndTablesGiveWhatTheDrawingGets) {
  struct Case {
    const char* what;
    const char* templ;
    const char* drawn;
  };
  const Case cases[] = {
      {"placeholders: the test's own elements, then the record's",
       "[test]\ntitle {testnum} {tapstr} {filename} {unknown}.",
       "title 1 X1-X2 r.test .\ntitle 2 X1-X3 r.test .\n"},
      {"logo hands over the logo's path", "[header]\nlogo", "logo logo.bmp\n"},
      {"a loop over a test's points, a table per test; none without rows",
       "[test]\ncolumns P | A\neach testdata/datapoint\nrow {dpPoint} | {dpAmps}\nend",
       "table/1 P,A | 1,0.1 | 2,0.2\n"},
      {"the point's element first, then the test's, then the record's",
       "[test]\neach testdata/datapoint\ntext {dpPoint}/{testnum}/{numtests}\nend",
       "text 1/1/2\ntext 2/1/2\n"},
      {"a section only when its data exist",
       "[test]\nif testdata/datapoint\ntitle Points of {testnum}\nend\ntitle after",
       "title Points of 1\ntitle after\ntitle after\n"},
      {"if with a text: an empty element does not hold",
       "[notepad]\nif testnote\ntitle Note Pad\nend\nif filename\ntitle File\nend", "title File\n"},
      {"if NAME=VALUE and NAME!=VALUE, an absent element reads as empty",
       "[summary]\nif pfenable=0\ngap\nend\nif pfenable!=0\nnewpage\nend\nif absent=\ntext "
       "none\nend",
       "gap\ntext none\n"},
      {"nested loops and blocks",
       "[classification]\neach classification\nif classdone=1\neach classrow\ntext "
       "{classrowname} of {ctusage}\nend\nend\nend",
       "text C10 of 1\ntext C20 of 1\n"},
      {"row outside a loop: one row per test, with its colour",
       "[summary]\ncolumns T | swatch\nrow {testnum} | swatch",
       "table/1 T,swatch | 1,swatch @c1.bmp | 2,swatch @c2.bmp\n"},
      {"each test walks the tests from the record's level",
       "[summary]\ncolumns T\neach test\nrow {tapstr}\nend", "table/1 T | X1-X2 | X1-X3\n"},
      {"split applies to the next table only",
       "[test]\nsplit 3\ncolumns P\neach testdata/datapoint\nrow {dpPoint}\nend\ncolumns "
       "G\neach testdata/graphpoint\nrow {gpPoint}\nend",
       "table/3 P | 1 | 2\ntable/1 G | 1\n"},
      {"a table ends at the next drawing directive",
       "[test]\ncolumns P\neach testdata/datapoint\nrow {dpPoint}\nend\ntitle x\nrow {testnum}",
       "table/1 P | 1 | 2\ntitle x\ntitle x\n"},
      {"only and ifset end the enclosing block, not the section",
       "[test]\neach testdata/datapoint\nonly dpPoint=2\ntext {dpPoint}\nend\nifset "
       "ratioerrortable\nmono {ratioerrortable}",
       "text 2\nmono B-0.1 0.3\n"},
      {"a loop over nothing draws nothing", "[header]\neach nothing/here\ntitle x\nend", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Walk(c.templ), c.drawn);
  }
}

TEST(TemplateLanguage, BlocksAndArgumentsAreCheckedWhenRead) {
  struct Case {
    const char* templ;
    const char* error;  // "" when the template reads
  };
  const Case cases[] = {
      {"[test]\neach testdata/datapoint\nif dpAmps\ntext x\nend\nend", ""},
      {"[test]\neach testdata/datapoint\ntext x", "line 2: \"each\" without \"end\""},
      {"[test]\nif x\n[summary]\ngap", "line 2: \"if\" without \"end\""},
      {"[test]\nend", "line 2: \"end\" without \"each\" or \"if\""},
      {"[test]\neach a//b\nend", "line 2: \"each\" needs an element name or path"},
      {"[test]\nif =1\nend", "line 2: \"if\" needs an element name or path"},
      {"[test]\neach {x}\nend", "line 2: \"each\" needs an element name or path"},
      {"[test]\nend x", "line 2: wrong arguments for \"end\""},
      {"[test]\nsplit 0", "line 2: \"split\" needs a count from 1 to 6"},
      {"[test]\nsplit 7", "line 2: \"split\" needs a count from 1 to 6"},
      {"[test]\nsplit two", "line 2: \"split\" needs a count from 1 to 6"},
      {"[test]\nsplit 6", ""},
      {"[details]\nmono {x}", ""},
      {"[test]\neach a\neach a\neach a\neach a\neach a\neach a\neach a\neach a\neach a",
       "line 10: blocks nested too deeply"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.templ);
    ReportTemplate t;
    std::string error;
    EXPECT_EQ(ParseReportTemplate(c.templ, t, error), std::string(c.error).empty());
    EXPECT_EQ(error, c.error);
  }
}

TEST(TemplateLanguage, ConditionsReadTheirThreeForms) {
  struct Case {
    const char* text;
    const char* name;
    TemplateCondition::Kind kind;
    const char* value;
  };
  const Case cases[] = {
      {"testnote", "testnote", TemplateCondition::kHasContent, ""},
      {"pfenable=1", "pfenable", TemplateCondition::kEquals, "1"},
      {"ctusage != 2", "ctusage", TemplateCondition::kDiffers, "2"},
      {"a/b= x y", "a/b", TemplateCondition::kEquals, "x y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TemplateCondition got = ParseCondition(c.text);
    EXPECT_EQ(got.name, c.name);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.value, c.value);
  }
}

}  // namespace
}  // namespace kova
