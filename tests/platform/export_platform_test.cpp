// The platform halves of the exports: starting the report generator and
// writing real workbook files.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <chrono>
#include <set>

#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "platform/qt_process_runner.h"
#include "platform/xlsx_workbook_writer.h"
#include "support/record_fixtures.h"
#include "support/xlsx_contents.h"
#include "test_app.h"

namespace kova {
namespace {

struct RunCase {
  const char* what;
  std::string program;
  std::vector<std::string> args;
  ProcessOutcome outcome;
  int exit_code;
};

TEST(QtProcessRunner, ArgumentsArriveUnchangedAndOutcomesAreTold) {
  TestApp();
  const std::string dir = TempFolder("runner");
  const std::string seen = PathJoin(dir, "args.txt");
  // The script writes each argument it got on a line of its own.
  const std::string echo = "printf '%s\\n' \"$@\" > '" + seen + "'";
  const std::vector<std::string> tricky = {
      "C:\\Program Files\\a b.mrt", "say \"hi\"", "it's", "", "*.xml; rm -rf /", "$HOME"};
  std::vector<std::string> echo_args = {"-c", echo, "sh"};
  echo_args.insert(echo_args.end(), tricky.begin(), tricky.end());
  const RunCase cases[] = {
      {"argument list", "/bin/sh", echo_args, ProcessOutcome::kExited, 0},
      {"exit code", "/bin/sh", {"-c", "exit 3"}, ProcessOutcome::kExited, 3},
      {"missing program", PathJoin(dir, "no-such-program"), {}, ProcessOutcome::kNotStarted, -1},
      {"killed", "/bin/sh", {"-c", "kill -9 $$"}, ProcessOutcome::kNoExitCode, -1},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.what);
    QtProcessRunner runner;
    int code = -1;
    EXPECT_EQ(runner.Run(c.program, c.args, ProcessLimits{}, code), c.outcome);
    if (c.outcome == ProcessOutcome::kExited) {
      EXPECT_EQ(code, c.exit_code);
    }
  }
  std::string text;
  ASSERT_TRUE(ReadFileText(seen, text));
  std::string expected;
  for (const std::string& a : tricky) expected += a + "\n";
  EXPECT_EQ(text, expected);
}

// A cancel or the time limit ends the wait and kills the program: the
// process is gone when Run returns, and its exit code is not reported.
TEST(QtProcessRunner, CancelAndTimeLimitKillTheProgram) {
  TestApp();
  struct StopCase {
    const char* what;
    uint32_t limit_ms;
    bool cancel;
    ProcessOutcome outcome;
  };
  const StopCase cases[] = {
      {"time limit", 200, false, ProcessOutcome::kTimedOut},
      {"cancelled", 0, true, ProcessOutcome::kCancelled},
      {"within the limit", 5000, false, ProcessOutcome::kExited},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.what);
    QtProcessRunner runner;
    CancelToken token;
    ProcessLimits limits;
    limits.time_limit_ms = c.limit_ms;
    limits.cancel = &token;
    if (c.cancel) token.Cancel();
    const char* script = c.outcome == ProcessOutcome::kExited ? "exit 0" : "exec sleep 30";
    int code = -1;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runner.Run("/bin/sh", {"-c", script}, limits, code), c.outcome);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
}

TEST(XlsxWorkbookWriter, TextCellsPicturesAndTheSavedFile) {
  TestApp();
  const std::string dir = TempFolder("xlsx");
  const std::string picture = PathJoin(dir, "swatch.bmp");
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::blue);
  ASSERT_TRUE(image.save(QString::fromStdString(picture), "BMP"));
  const std::string path = PathJoin(dir, "book.xlsx");
  ASSERT_TRUE(WriteFileAtomically(path, std::string("an older file")));

  XlsxWorkbookWriter wb;
  wb.SetCellText(1, 1, "12.50");           // a number stays text
  wb.SetCellText(2, 3, "30\xB0 <a & b>");  // Windows-1252 degree sign
  wb.SetCellText(3, 1, "");                // formatted, no value
  wb.SetCellText(0, 1, "outside the sheet");
  wb.InsertPicture(18, 6, picture, 1.0);
  wb.InsertPicture(4, 2, PathJoin(dir, "missing.bmp"), 1.0);  // left out
  ASSERT_TRUE(wb.Save(path));

  const XlsxContents x = ReadXlsx(path);
  ASSERT_TRUE(x.read);
  EXPECT_EQ(x.At(1, 1), "12.50");
  EXPECT_EQ(x.At(2, 3), "30\xC2\xB0 <a & b>");
  EXPECT_EQ(x.cells.size(), 2u);
  EXPECT_TRUE(x.number_cells.empty());
  EXPECT_TRUE(x.AllCellsText());
  EXPECT_EQ(x.pictures, (std::set<CellPos>{{18, 6}}));
  EXPECT_EQ(x.media, (std::set<std::string>{"image1.png"}));

  // A folder that cannot be written: false, and nothing is left behind.
  XlsxWorkbookWriter again;
  again.SetCellText(1, 1, "x");
  EXPECT_FALSE(again.Save(PathJoin(dir, "no/such/folder/book.xlsx")));
}

}  // namespace
}  // namespace kova
