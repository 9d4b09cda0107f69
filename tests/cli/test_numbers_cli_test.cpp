// A test of a record has one number wherever the program names it: the one
// the printed report heads the test's pages with, the tap beside it. The
// record stores its tests in another order than the report's tap order, so
// a view that counts them in its own order gives itself away.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "base/json.h"
#include "base/path.h"
#include "records/tap_names.h"
#include "report/calc_details_page.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

using Numbers = std::map<std::string, int>;  // tap name -> number shown

// "TEST # n: tap" of every test page the printer would print.
Numbers PrintedHeadings(const std::string& path) {
  ReportDocument doc;
  EXPECT_TRUE(doc.OpenFiles({path}));
  Numbers shown;
  const std::regex heading(R"(TEST # (\d+)\s*: (X\d-X\d))");
  for (int i = 0; i < doc.pagecount(); ++i) {
    if (doc.pages()[static_cast<size_t>(i)].kind != kTestPage) continue;
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, doc.Record(0), true, &doc);
    painter.DrawPage({0, 0, 1700, 2200}, i);
    for (const DrawOp& op : s.TextsContaining("TEST # ")) {
      std::smatch m;
      if (std::regex_search(op.text, m, heading)) shown[m[2]] = std::stoi(m[1]);
    }
  }
  return shown;
}

// Every "Test n (tap X1-X5)" of a text; a tap named with two numbers fails.
Numbers Labelled(const std::string& text) {
  Numbers shown;
  const std::regex label(R"(Test (\d+) \(tap (X\d-X\d)\))");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), label);
       it != std::sregex_iterator(); ++it) {
    const std::string tap = (*it)[2];
    const int number = std::stoi((*it)[1]);
    EXPECT_TRUE(shown.emplace(tap, number).first->second == number)
        << tap << " is named test " << shown[tap] << " and test " << number;
  }
  return shown;
}

// The numbers a JSON list of tests gives beside their taps.
Numbers FromJson(const std::string& text, const char* list, const char* number,
                 const char* tap_member) {
  JsonValue j;
  std::string error;
  EXPECT_TRUE(JsonValue::Parse(text, j, error)) << error;
  Numbers shown;
  const JsonValue* tests = j.Find(list);
  if (tests == nullptr) return shown;
  for (const JsonValue& t : tests->Items()) {
    const JsonValue* n = t.Find(number);
    const JsonValue* tap = t.Find(tap_member);
    if (n == nullptr || tap == nullptr) continue;
    shown[tap->IsString() ? tap->AsString() : TapNameFromCode(static_cast<int>(tap->AsInteger()))] =
        static_cast<int>(n->AsInteger());
  }
  return shown;
}

// The lines of `text` that start with `prefix`.
std::string LinesStarting(const std::string& text, const std::string& prefix) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end == std::string::npos ? end : end - at + 1);
    if (line.rfind(prefix, 0) == 0) out += line;
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return out;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

class TestNumbersCli : public KovaCliTest {
 protected:
  std::string Out(const std::vector<std::string>& args) {
    const ProgramResult r = Kova(args);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    return r.out;
  }
};

TEST_F(TestNumbersCli, EveryViewNumbersATestAsThePrintedReport) {
  // Stored X1-X5, X1-X4, X1-X3; the tap order lists them the other way round.
  auto rec = MakeSampleRecord(2, 3, 5);
  Reencode(*rec);
  const std::string path = PathJoin(dir_, "r.test");
  ASSERT_TRUE(rec->WriteRecordFile(path));
  ASSERT_TRUE(WriteFileAtomically(
      PathJoin(dir_, "r.assess.json"),
      std::string(R"({"class":"5P","isr":5,"alf":20,"burden_va":10,"test":2})")));
  const std::string ref = PathJoin(dir_, "maker.csv");
  ASSERT_TRUE(WriteFileAtomically(
      ref, std::string("turns,120\nvoltmeter,rms\n50,0.002\n100,0.01\n200,0.2\n300,3\n")));

  const Numbers printed = PrintedHeadings(path);
  const Numbers expected = {{"X1-X5", 1}, {"X1-X4", 2}, {"X1-X3", 3}};
  ASSERT_EQ(printed, expected) << "the test pages keep the stored order";

  TestRecord read;
  ASSERT_TRUE(ReadRecordFile(read, path, RecordDefaults{}, nullptr));
  ASSERT_EQ(Kova({"record", "export", "--format", "pdf", path, "-o", dir_}).exit_code, 0);
  const ProgramResult pdf = RunProgram("/usr/bin/pdftotext", {PathJoin(dir_, "r.pdf"), "-"});
  ASSERT_EQ(pdf.exit_code, 0) << pdf.err;

  const Numbers assessed = {{"X1-X4", 2}};
  struct View {
    const char* what;
    Numbers shown;
    const Numbers& want;
  } views[] = {
      {"details pages", Labelled(Joined(CalculationDetailsLines(read))), printed},
      {"record show", Labelled(Out({"record", "show", path})), printed},
      {"record show --json",
       FromJson(Out({"record", "show", path, "--json"}), "taps", "report_number", "nTapConnection"),
       printed},
      {"record explain", Labelled(Out({"record", "explain", path})), printed},
      {"record explain --json",
       FromJson(Out({"record", "explain", path, "--json"}), "tests", "test", "tap"), printed},
      {"record compare, taps", Labelled(Out({"record", "compare", path})), printed},
      {"record compare, reference",
       Labelled(LinesStarting(Out({"record", "compare", path, "--reference", ref, "--test", "2"}),
                              "Reference curve")),
       assessed},
      {"record assess", Labelled(Out({"record", "assess", path})), assessed},
      {"generator PDF", Labelled(pdf.out), printed},
  };
  for (const View& v : views) {
    SCOPED_TRACE(v.what);
    EXPECT_EQ(v.shown, v.want);
  }
  // The PDF names each test on its page and again in its working.
  for (const auto& [tap, number] : printed) {
    const std::string label = "Test " + std::to_string(number) + " (tap " + tap + ")";
    size_t count = 0;
    for (size_t at = pdf.out.find(label); at != std::string::npos;
         at = pdf.out.find(label, at + 1)) {
      ++count;
    }
    EXPECT_GE(count, 2u) << label;
  }

  // The library names the test of each row the same way.
  ASSERT_EQ(Kova({"library", "add", path}).exit_code, 0);
  const std::string serial = read.serialnumber;
  EXPECT_EQ(Labelled(Out({"library", "history", serial})), printed);
  EXPECT_EQ(
      FromJson(Out({"library", "history", serial, "--json"}), "tests", "report_number", "tap"),
      printed);
}

}  // namespace
}  // namespace kova
