// kova library report from the outside: the CT history report as a PDF,
// ".pdf" added when left out, and the refusals.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_io.h"
#include "library_support/library_records.h"
#include "support/cli_fixture.h"

namespace kova {
namespace {
namespace fs = std::filesystem;

class LibraryReportCliTest : public KovaCliTest {};

TEST_F(LibraryReportCliTest, WritesTheHistoryReportAndRefusesWhatItMust) {
  // A library file named like a PDF: the one output that would be its input.
  const std::string library = dir_ + "/library.pdf";
  WriteLibraryRecords(dir_ + "/records", {2, 8, 0, ""});
  ASSERT_EQ(Kova({"library", "add", dir_ + "/records", "--library", library}).exit_code, 0);

  const ProgramResult made = Kova({"library", "report", "sn00001", "--tap", "x1-x5", "-o",
                                   dir_ + "/out", "--library", library});
  ASSERT_EQ(made.exit_code, 0) << made.err;
  EXPECT_EQ(made.out, dir_ + "/out.pdf\n");
  const std::string text =
      RunProgram("/usr/bin/pdftotext", {"-layout", dir_ + "/out.pdf", "-"}).out;
  for (const char* want :
       {"CT history: KOVA SIM SN00001", "Tap X1-X5: 8 tests, baseline", "(baseline)",
        "Knee voltage [V]", "Excitation current [A]", "Page 2 of 2", "Printed "})
    EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
  EXPECT_EQ(text.find("X2-X5"), std::string::npos) << "only the tap asked for";

  const struct {
    std::vector<std::string> args;
    const char* error;
  } refused[] = {
      {{"SN09999", "-o", dir_ + "/a.pdf"}, "No CT with serial number \"SN09999\" in the library"},
      {{"SN00001", "--manufacturer", "Other", "-o", dir_ + "/a.pdf"},
       "No CT of manufacturer \"Other\" with serial number \"SN00001\""},
      {{"SN00001", "--tap", "X9-X9", "-o", dir_ + "/a.pdf"}, "No test of tap X9-X9 for this CT"},
      {{"SN00001", "-o", dir_ + "/out.pdf"}, "exists; give --overwrite"},
      {{"SN00001", "-o", library, "--overwrite"}, "is also an input"},
  };
  for (const auto& r : refused) {
    std::vector<std::string> args = {"library", "report", "--library", library};
    args.insert(args.end(), r.args.begin(), r.args.end());
    const ProgramResult got = Kova(args);
    EXPECT_EQ(got.exit_code, 1) << r.error;
    EXPECT_NE(got.err.find(r.error), std::string::npos) << got.err;
  }
  EXPECT_FALSE(fs::exists(dir_ + "/a.pdf"));
  std::string head;
  ASSERT_TRUE(ReadFileText(library, head, 16u << 20));
  EXPECT_EQ(head.rfind("SQLite format 3", 0), 0u) << "the library is left as it was";
  const ProgramResult again = Kova({"library", "report", "SN00001", "-o", dir_ + "/out.pdf",
                                    "--overwrite", "--library", library});
  EXPECT_EQ(again.exit_code, 0) << again.err;
}

}  // namespace
}  // namespace kova
