// The exports as a user gets them from kova: the workbook read back from its
// zip parts, the PDF's text through pdftotext, and the automatic export's
// files in the folders beside the record.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/export_formats.h"
#include "base/file_io.h"
#include "base/path.h"
#include "export/export_images.h"
#include "records/encode.h"
#include "records/test_record.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"
#include "support/xlsx_contents.h"

namespace kova {
namespace {

struct RecordCase {
  const char* name;
  int model, tests, ctusage;
  bool pass_fail;
  const char* taporder;
  int first_block, data_rows, blocks;
};

// Relaying (data in storage order), metering on a 64-point instrument, and
// pass/fail with a tap order that leaves one test out.
const RecordCase kRecords[] = {
    {"relaying", 1, 2, 1, false, "", 17, 32, 2},
    {"metering", 2, 3, 2, false, "", 17, 64, 3},
    {"passfail", 4, 3, 1, true, "X1-X4,X1-X5", 22, 32, 2},
};

class ExportFilesCli : public KovaCliTest {
 protected:
  std::string WriteRecord(const RecordCase& c) {
    auto rec = MakeSampleRecord(c.model, c.tests, 5);
    rec->classsettings.ctusage = c.ctusage;
    rec->passfail.pfenable = c.pass_fail ? 1 : 0;
    rec->taporder = c.taporder;
    rec->taps[0].fTestPhase = 0.25;
    Reencode(*rec);
    const std::string path = PathJoin(dir_, std::string(c.name) + ".test");
    EXPECT_TRUE(rec->WriteRecordFile(path));
    return path;
  }
  void Settings(const std::string& lines) {
    ASSERT_TRUE(WriteFileAtomically(dir_ + "/settings.ini", "[Settings]\n" + lines));
  }
  std::string PdfText(const std::string& pdf) {
    const ProgramResult r = RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    return r.out;
  }
};

TEST_F(ExportFilesCli, WorkbookCellsAndPictureAnchorsReadBackFromTheFile) {
  for (const RecordCase& c : kRecords) {
    SCOPED_TRACE(c.name);
    const std::string record = WriteRecord(c);
    const ProgramResult r = Kova({"record", "export", "--format", "xlsx", record, "-o", dir_});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const XlsxContents x = ReadXlsx(PathJoin(dir_, std::string(c.name) + ".xlsx"));
    ASSERT_TRUE(x.read);
    EXPECT_TRUE(x.AllCellsText());
    EXPECT_TRUE(x.number_cells.empty());
    EXPECT_EQ(x.At(1, 1), "FILENAME");
    EXPECT_EQ(x.At(1, 2), std::string(c.name) + ".test");
    EXPECT_EQ(x.At(4, 2), std::to_string(c.tests));
    EXPECT_EQ(x.At(15, 2), c.pass_fail ? "Enabled" : "Disabled");
    EXPECT_EQ(x.At(16, 1), c.pass_fail ? "CT Type" : "");

    // Test blocks: number, picture beside the notes row, data point rows.
    std::set<CellPos> expected;
    int blocks = 0;
    for (int t = x.RowOf("TEST #"); t > 0; t = x.RowOf("TEST #", 1, t + 1), ++blocks) {
      if (blocks == 0) {
        EXPECT_EQ(t, c.first_block);
      }
      EXPECT_EQ(x.At(t, 2), std::to_string(blocks + 1));
      expected.insert({t + 1, 6});
      EXPECT_EQ(x.At(t + 17, 1), "DATA POINTS");
      EXPECT_EQ(x.At(t + 17 + c.data_rows, 1), std::to_string(c.data_rows));
      EXPECT_EQ(x.At(t + 17 + c.data_rows + 1, 1), "");
      EXPECT_EQ(x.At(t + 17 + c.data_rows + 2, 1), "GRAPH POINTS");
    }
    EXPECT_EQ(blocks, c.blocks);

    // Summary (and pass/fail) rows: a swatch in column 2 of every test's
    // row; the degree sign arrives as UTF-8.
    const int note = x.RowOf("NOTE PAD:");
    ASSERT_GT(note, 0);
    bool degree = false;
    for (const auto& [pos, text] : x.cells) {
      if (pos.first <= note || pos.second != 1) continue;
      if (text.size() <= 2 && text.find_first_not_of("0123456789") == std::string::npos) {
        expected.insert({pos.first, 2});
      }
    }
    for (const auto& [pos, text] : x.cells) degree |= text.find("\xC2\xB0") != std::string::npos;
    EXPECT_TRUE(degree);
    EXPECT_EQ(x.RowOf("PASS / FAIL REPORT") > note, c.pass_fail);
    // Every expected anchor, plus the summary picture.
    for (const CellPos& p : expected)
      EXPECT_EQ(x.pictures.count(p), 1u) << p.first << "," << p.second;
    EXPECT_EQ(x.pictures.size(), expected.size() + 1);
    for (const std::string& m : x.media) EXPECT_EQ(m.substr(m.size() - 4), ".png") << m;
    // The pictures drawn for the workbook are gone again.
    EXPECT_FALSE(FileExists(PathJoin(dir_, std::string(c.name) + " - Test1.bmp")));
  }
}

TEST_F(ExportFilesCli, PdfThroughTheGeneratorHasTheRecordsText) {
  const std::string record = WriteRecord(kRecords[2]);
  const ProgramResult r =
      Kova({"record", "export", "--format", "pdf", record, "-o", dir_ + "/out"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::string text = PdfText(dir_ + "/out/passfail.pdf");
  for (const char* expected : {"KOVA CT Test Report", "passfail.test", "Test 1 (tap ",
                               "Test 2 (tap ", "Summary", "Pass / Fail Report", "\xC2\xB0"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
  // Only the PDF stays: the XML and pictures it was made from are removed.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ + "/out"),
                          std::filesystem::directory_iterator()),
            1);

  // Without the generator in InstallDir the export fails with the warning.
  Settings("InstallDir=" + dir_ + "/empty\n");
  const ProgramResult missing = Kova({"record", "export", "--format", "pdf", record});
  EXPECT_NE(missing.exit_code, 0);
  EXPECT_NE(missing.err.find("Unable to generate report"), std::string::npos) << missing.err;
}

TEST_F(ExportFilesCli, AutoExportWritesEachFolderAndSkipsWhatIsUpToDate) {
  const std::string record = WriteRecord(kRecords[0]);
  Settings("AutoExportXml=1\nAutoExportPdf=1\nAutoExportExcel=1\n");
  const ProgramResult first = Kova({"record", "autoexport", record});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  const std::string xml = dir_ + "/Xml/relaying.xml", pdf = dir_ + "/pdf/relaying.pdf",
                    xlsx = dir_ + "/Excel/relaying.xlsx";
  for (const std::string& f : {xml, pdf, xlsx, dir_ + "/Xml/relaying - Test Summary.bmp",
                               dir_ + "/Xml/relaying - Test2.bmp"}) {
    EXPECT_TRUE(FileExists(f)) << f;
  }
  EXPECT_NE(PdfText(pdf).find("relaying.test"), std::string::npos);

  // With the record older than its exports nothing is made again, unless forced.
  namespace fs = std::filesystem;
  fs::last_write_time(record, fs::last_write_time(record) - std::chrono::seconds(10));
  ASSERT_TRUE(WriteFileAtomically(xlsx, std::string("kept")));
  ASSERT_EQ(Kova({"record", "autoexport", record}).exit_code, 0);
  std::string kept;
  EXPECT_TRUE(ReadFileText(xlsx, kept));
  EXPECT_EQ(kept, "kept");
  ASSERT_EQ(Kova({"record", "autoexport", record, "--force"}).exit_code, 0);
  EXPECT_TRUE(ReadXlsx(xlsx).read);

  // XML off: the XML and the pictures are removed after the PDF is made.
  Settings("AutoExportXml=0\nAutoExportPdf=1\nAutoExportExcel=0\n");
  ASSERT_EQ(Kova({"record", "autoexport", record, "--force"}).exit_code, 0);
  EXPECT_FALSE(FileExists(xml));
  EXPECT_FALSE(FileExists(dir_ + "/Xml/relaying - Test1.bmp"));
  EXPECT_TRUE(FileExists(pdf));
}

// A warning names the file as the user typed it, letters outside ASCII
// included, and the rest of the message stays whole.
TEST_F(ExportFilesCli, AutoExportWarningNamesTheFileAsTyped) {
  const std::string folder = dir_ + "/Pr\303\274fung";
  ASSERT_TRUE(MakeFolders(folder + "/Excel/Trafo \303\204.xlsx"));  // where the workbook goes
  auto rec = MakeSampleRecord(1, 2, 5);
  const std::string record = folder + "/Trafo \303\204.test";
  ASSERT_TRUE(rec->WriteRecordFile(record));
  Settings("AutoExportXml=0\nAutoExportPdf=0\nAutoExportExcel=1\n");
  const ProgramResult r = Kova({"record", "autoexport", "--force", record});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(
      r.err.find("Unable to write the workbook\n\"" + folder + "/Excel/Trafo \303\204.xlsx\": "),
      std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("\303\203"), std::string::npos) << r.err;  // no "Ã": converted twice
}

// Every record file the tool writes is followed by the automatic export: the
// XML lands in the "Xml" folder beside the new record, and nothing is made
// while the export settings are off.
TEST_F(ExportFilesCli, WrittenRecordsAreFollowedByTheAutomaticExport) {
  auto rec = MakeSampleRecord(1, 2, 5);
  const std::string text = dir_ + "/in.txt", source = dir_ + "/source.test";
  ASSERT_TRUE(WriteFileAtomically(text, BuildRecordText(*rec)));
  ASSERT_TRUE(rec->WriteRecordFile(source));
  struct Case {
    std::vector<std::string> args;
    const char* stem;
  };
  const Case cases[] = {
      {{"record", "from-text", text, "-o", dir_ + "/fromtext.test"}, "fromtext"},
      {{"record", "convert", source, "-o", dir_ + "/converted.test"}, "converted"},
  };
  Settings("AutoExportXml=0\nAutoExportPdf=0\nAutoExportExcel=0\n");
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--overwrite");
    ASSERT_EQ(Kova(args).exit_code, 0) << c.stem;
    EXPECT_FALSE(FileExists(dir_ + "/Xml/" + c.stem + ".xml")) << c.stem;
  }
  Settings("AutoExportXml=1\nAutoExportPdf=0\nAutoExportExcel=0\n");
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--overwrite");
    const ProgramResult r = Kova(args);
    ASSERT_EQ(r.exit_code, 0) << c.stem << r.err;
    std::string xml;
    ASSERT_TRUE(ReadFileText(dir_ + "/Xml/" + c.stem + ".xml", xml)) << c.stem;
    EXPECT_NE(xml.find(std::string(c.stem) + ".test"), std::string::npos) << c.stem;
    EXPECT_FALSE(FileExists(dir_ + "/Excel/" + c.stem + ".xlsx")) << c.stem;
  }
}

// The command line offers every format of the export registry, names them
// all in its help, writes each where the registry says, and refuses others.
TEST_F(ExportFilesCli, EveryRegistryFormatIsOfferedAndWritten) {
  const std::string record = WriteRecord(kRecords[0]);
  std::string list;
  for (const std::string& name : ExportFormatNames()) list += (list.empty() ? "" : ", ") + name;
  const ProgramResult help = Kova({"record", "export", "--help"});
  EXPECT_NE(help.out.find("Export format: " + list), std::string::npos) << help.out;
  for (const ExportFormat& f : ExportFormats()) {
    SCOPED_TRACE(f.name);
    const std::string out = dir_ + "/out-" + f.name;
    const ProgramResult r = Kova({"record", "export", "--format", f.name, record, "-o", out});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string target = ExportTarget(f, record, out);
    // The pictures are named after their base: the summary comes first.
    EXPECT_TRUE(FileExists(std::string(f.name) == "images" ? ImageNames(target, 1)[0] : target))
        << target;
  }
  EXPECT_NE(Kova({"record", "export", "--format", "doc", record}).exit_code, 0);
}

}  // namespace
}  // namespace kova
