#include "app/auto_export.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/export_path.h"
#include "support/export_fakes.h"
#include "support/files.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {
namespace fs = std::filesystem;

void Age(const std::string& path, int seconds_from_record, const std::string& record) {
  fs::last_write_time(path,
                      fs::last_write_time(record) + std::chrono::seconds(seconds_from_record));
}

constexpr int kNoExports = -100;  // no earlier exports on disk
constexpr int kNoTemplate = 99;   // no report template installed

// The settings and the files on disk a run starts from, and what it leaves.
struct Row {
  const char* what;
  int xml, pdf, excel;  // the three automatic-export settings
  bool force;
  int exports_age;   // kNoExports, or the earlier exports' age against the record, seconds
  int template_age;  // the report template's age against the record; < 0 older; or kNoTemplate
  ProcessOutcome outcome;
  int code;
  bool images_ok;
  // Expected
  bool waited;
  int generator_runs;
  bool xml_after, pdf_written, xlsx_written, pictures_after;
  std::vector<std::string> messages;
  std::string written = kWholePdf;  // what the generator writes; empty: nothing
};

TEST(AutoExport, DecisionTable) {
  const auto N = ProcessOutcome::kNotStarted;
  const auto E = ProcessOutcome::kExited;
  const auto T = ProcessOutcome::kTimedOut;
  const int none = kNoExports, absent = kNoTemplate;
  const std::vector<std::string> ok;
  const std::vector<std::string> code3 = {"Error generating report, error=3",
                                          "Unable to generate report for test"};
  const std::vector<std::string> code4 = {"Error generating report, error=4",
                                          "Unable to generate report for test"};
  const std::vector<std::string> no_generator = {"Unable to generate report",
                                                 "Unable to generate report for test"};
  const std::vector<std::string> no_pdf = {"Unable to generate report for test"};
  const std::vector<std::string> no_images = {"Unable to export images"};
  const std::string cut_pdf = "%PDF-1.4\n1 0 obj\n<<";
  // The pictures stay only with the XML export: for the PDF and the
  // workbook alone they are drawn in a private folder. A failed PDF does not
  // stop the workbook.
  // clang-format off
  const Row rows[] = {
  //  what                        xml pdf xls force exports template  run  code images | waited runs xml_after pdf   xlsx   pictures messages      written
      {"all off",                   0,  0,  0, false,    5,    -10,    E,    0, true,    false,  0,  true,     false, false, false,   ok},
      {"xml",                       1,  0,  0, false, none,    -10,    E,    0, true,    true,   0,  true,     false, false, true,    ok},
      {"pdf",                       0,  1,  0, false, none,    -10,    E,    0, true,    true,   1,  false,    true,  false, false,   ok},
      {"pdf, code 3",               0,  1,  1, false, none,    -10,    E,    3, true,    true,   1,  false,    false, true,  false,   code3},
      {"pdf, no generator",         0,  1,  0, false, none,    -10,    N,    0, true,    true,   1,  false,    false, false, false,   no_generator},
      // Exit 0 is not success without a whole PDF; the workbook is still made.
      {"pdf, exits 0 writing nothing", 0, 1, 1, false, none,   -10,    E,    0, true,    true,   1,  false,    false, true,  false,   no_pdf,       ""},
      {"pdf, exits 0 with a cut PDF",  0, 1, 0, false, none,   -10,    E,    0, true,    true,   1,  false,    false, false, false,   no_pdf,       cut_pdf},
      {"pdf, timed out",            0,  1,  0, false, none,    -10,    T,    0, true,    true,   1,  false,    false, false, false,   no_pdf},
      {"excel",                     0,  0,  1, false, none,    -10,    E,    0, true,    true,   0,  false,    false, true,  false,   ok},
      {"all up to date",            1,  1,  1, false,    2,    -10,    E,    0, true,    false,  0,  true,     false, false, false,   ok},
      {"same second",               1,  1,  1, false,    0,    -10,    E,    0, true,    true,   1,  true,     true,  true,  true,    ok},
      {"forced",                    1,  1,  1, true,     2,    -10,    E,    0, true,    true,   1,  true,     true,  true,  true,    ok},
      {"no template",               0,  1,  0, false,    2, absent,    E,    4, true,    true,   1,  false,    false, false, false,   code4},
      {"images fail",               1,  1,  1, false, none,    -10,    E,    0, false,   true,   0,  false,    false, false, false,   no_images},
      // A changed template makes the PDF (and the XML it is built from) out
      // of date, though the record is older; a run rewrites the workbook too.
      {"template newer, pdf",       0,  1,  0, false,    2,      5,    E,    0, true,    true,   1,  false,    true,  false, false,   ok},
      {"template newer, all",       1,  1,  1, false,    2,      5,    E,    0, true,    true,   1,  true,     true,  true,  true,    ok},
      {"template same second",      0,  1,  0, false,    2,      2,    E,    0, true,    true,   1,  false,    true,  false, false,   ok},
      {"template newer, xml only",  1,  0,  0, false,    2,      5,    E,    0, true,    false,  0,  true,     false, false, false,   ok},
      {"template newer, excel",     0,  0,  1, false,    2,      5,    E,    0, true,    false,  0,  false,    false, false, false,   ok},
  };
  // clang-format on
  int n = 0;
  for (const Row& r : rows) {
    const std::string dir = TempFolder(Format("auto%d", n++));
    const std::string install = PathJoin(dir, "install/");
    MakeFolders(install);
    auto rec = MakeSampleRecord(1, 2);
    rec->fullpath = PathJoin(dir, "T1.test");
    ASSERT_TRUE(WriteFileAtomically(rec->fullpath, "record"));
    const std::string templ = PathJoin(install, kReportTemplateName);
    if (r.template_age != kNoTemplate) WriteFileAtomically(templ, "[header]");
    const std::string xml = PathJoin(PathJoin(dir, "Xml"), "T1.xml"),
                      pdf = PathJoin(PathJoin(dir, "pdf"), "T1.pdf"),
                      xlsx = PathJoin(PathJoin(dir, "Excel"), "T1.xlsx");
    if (r.exports_age != kNoExports) {
      for (const std::string& f : {xml, pdf, xlsx}) {
        MakeFolders(FolderOf(f));
        WriteFileAtomically(f, "old");
        Age(f, r.exports_age, rec->fullpath);
      }
    }
    if (r.template_age != kNoTemplate) Age(templ, r.template_age, rec->fullpath);
    AppSettings settings;
    settings.InstallDir = install;
    settings.AutoExportXml = r.xml;
    settings.AutoExportPdf = r.pdf;
    settings.AutoExportExcel = r.excel;
    ScriptedPrompter prompter;
    FakeGenerator generator;
    generator.outcome = r.outcome;
    generator.code = r.code;
    generator.written = r.written;
    ExportServices services;
    services.prompter = &prompter;
    services.runner = &generator;
    services.new_workbook = [] { return std::make_unique<FakeWorkbook>(); };
    services.export_images = [&](TestRecord& rec2, const std::string& folder, std::string*) {
      if (!r.images_ok) return false;
      const std::string into = folder.empty() ? PathJoin(dir, "Xml") : folder;
      MakeFolders(into);
      rec2.imagefile = PathJoin(into, "T1 - Test Summary.bmp");
      WriteFileAtomically(rec2.imagefile, "BM");
      for (int t = 0; t < rec2.numtests; ++t) {
        rec2.taps[t].testimagefile = PathJoin(into, Format("T1 - Test%d.bmp", t + 1));
        WriteFileAtomically(rec2.taps[t].testimagefile, "BM");
      }
      return true;
    };
    const bool ok = AutoExport(*rec, r.force, settings, services);
    SCOPED_TRACE(r.what);
    EXPECT_EQ(ok, r.messages.empty());
    EXPECT_EQ(!prompter.waits().empty(), r.waited);
    EXPECT_EQ(generator.runs, r.generator_runs);
    EXPECT_EQ(FileExists(xml), r.xml_after);
    std::string text;
    EXPECT_EQ(ReadFileText(pdf, text) && text == kWholePdf, r.pdf_written);
    EXPECT_EQ(ReadFileText(xlsx, text) && text == "PK", r.xlsx_written);
    EXPECT_EQ(FileExists(PathJoin(PathJoin(dir, "Xml"), "T1 - Test2.bmp")), r.pictures_after);
    // Each message begins with the program's text; a failed step's names
    // its file on the next line.
    std::vector<std::string> shown;
    for (const auto& m : prompter.messages()) shown.push_back(m.text.substr(0, m.text.find('\n')));
    EXPECT_EQ(shown, r.messages);
    for (const auto& m : prompter.messages()) {
      if (m.text.rfind("Unable to generate report for test", 0) == 0) {
        EXPECT_NE(m.text.find("\"" + pdf + "\": "), std::string::npos) << m.text;
      }
    }
    if (generator.runs > 0) {
      EXPECT_EQ(generator.program, settings.ReportGeneratorPath());
      // The generator reads an XML and writes a PDF of a private folder,
      // never the user's files.
      ASSERT_EQ(generator.args.size(), 4u);
      EXPECT_EQ(generator.args[0], templ);
      EXPECT_EQ(generator.args[1], PathJoin(install, kReportSchemaName));
      EXPECT_NE(generator.args[2], xml);
      EXPECT_NE(FolderOf(generator.args[3]), FolderOf(pdf));
      EXPECT_FALSE(FolderExists(FolderOf(generator.args[3])));  // removed afterwards
      EXPECT_EQ(generator.limits_seen.time_limit_ms, 60000u);
    }
  }
}

TEST(AutoExport, PdfUpToDateStillRendersAndDeletesPicturesWithoutXml) {
  // Only the PDF wanted and up to date: the XML was deleted after the last
  // run, so the wait dialog opens, the pictures are made and removed, and
  // neither document is written.
  const std::string dir = TempFolder("pdf-up-to-date");
  auto rec = MakeSampleRecord(1, 1);
  rec->fullpath = PathJoin(dir, "T1.test");
  WriteFileAtomically(rec->fullpath, "record");
  AppSettings settings;
  settings.InstallDir = PathJoin(dir, "install/");
  MakeFolders(settings.InstallDir);
  const std::string templ = PathJoin(settings.InstallDir, kReportTemplateName);
  WriteFileAtomically(templ, "t");
  Age(templ, -10, rec->fullpath);
  const std::string pdf = ExportPath(rec->fullpath, ".pdf", "pdf");
  WriteFileAtomically(pdf, "old");
  Age(pdf, 5, rec->fullpath);
  settings.AutoExportPdf = 1;
  ScriptedPrompter prompter;
  FakeGenerator generator;
  int rendered = 0;
  ExportServices services{&prompter, &generator, nullptr,
                          [&](TestRecord& r, const std::string& folder, std::string*) {
                            ++rendered;
                            r.imagefile = PathJoin(folder, "T1 - Test Summary.bmp");
                            return WriteFileAtomically(r.imagefile, "BM");
                          }};
  EXPECT_TRUE(AutoExport(*rec, false, settings, services));
  EXPECT_EQ(rendered, 1);
  EXPECT_EQ(generator.runs, 0);
  EXPECT_FALSE(FileExists(rec->imagefile));
  EXPECT_FALSE(FileExists(PathJoin(PathJoin(dir, "Xml"), "T1.xml")));
  std::string text;
  EXPECT_TRUE(ReadFileText(pdf, text) && text == "old");
}

// Pictures an images export left in the "Xml" folder are the user's: a
// run that keeps no XML removes only the XML file, whether or not anything
// was out of date.
TEST(AutoExport, KeepsPicturesItDidNotMake) {
  struct Case {
    const char* what;
    int xml, pdf, excel;
    int workbook_age;  // against the record; > 0 up to date
    bool ran;
  } const cases[] = {
      {"workbook only, up to date", 0, 0, 1, 5, false},
      {"workbook only, out of date", 0, 0, 1, -5, true},
      {"pdf only", 0, 1, 0, -5, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string dir = TempFolder(Format("keep-pictures-%d", n++));
    auto rec = MakeSampleRecord(1, 2);
    rec->fullpath = PathJoin(dir, "r.test");
    ASSERT_TRUE(WriteFileAtomically(rec->fullpath, "record"));
    const std::string xml_folder = PathJoin(dir, "Xml");
    ASSERT_TRUE(FakePictures(*rec, PathJoin(xml_folder, "r.bmp")));
    const std::string xml = PathJoin(xml_folder, "r.xml");
    ASSERT_TRUE(WriteFileAtomically(xml, "old"));
    const std::string xlsx = ExportPath(rec->fullpath, ".xlsx", "Excel");
    ASSERT_TRUE(WriteFileAtomically(xlsx, "old"));
    Age(xlsx, c.workbook_age, rec->fullpath);
    AppSettings settings;
    settings.InstallDir = PathJoin(dir, "install/");
    settings.AutoExportXml = c.xml;
    settings.AutoExportPdf = c.pdf;
    settings.AutoExportExcel = c.excel;
    ScriptedPrompter prompter;
    FakeGenerator generator;
    ExportServices services;
    services.prompter = &prompter;
    services.runner = &generator;
    services.new_workbook = [] { return std::make_unique<FakeWorkbook>(); };
    services.export_images = [](TestRecord& r, const std::string& folder, std::string*) {
      return FakePictures(r, PathJoin(folder, "r.bmp"));
    };
    EXPECT_TRUE(AutoExport(*rec, false, settings, services));
    EXPECT_EQ(!prompter.waits().empty(), c.ran);
    EXPECT_FALSE(FileExists(xml));
    EXPECT_EQ(FilesIn(xml_folder),
              (std::vector<std::string>{"r - Test Summary.bmp", "r - Test1.bmp", "r - Test2.bmp"}));
  }
}

// References kept for a CT by its serial number, as the record library does.
// An export folder that cannot be made (here a file of its name is in the
// way) is named with the reason, on each path a run writes by: the kept
// pictures, a step written in place and a step moved in after the report.
TEST(AutoExport, FolderThatCannotBeMadeIsNamed) {
  struct Case {
    const char* blocked;  // the export folder planted as a file
    int xml, pdf, excel;
    const char* message;  // the failure's first line
    bool pdf_written;
  } const cases[] = {
      {"Xml", 1, 0, 0, "Unable to export images", false},
      {"Excel", 0, 0, 1, "Unable to write the workbook", false},
      {"Excel", 0, 1, 1, "Unable to write the workbook", true},
      {"pdf", 0, 1, 0, "Unable to generate report for test", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.blocked) + Format(" %d%d%d", c.xml, c.pdf, c.excel));
    const std::string dir = TempFolder(Format("blocked-%d", n++));
    auto rec = MakeSampleRecord(1, 1);
    rec->fullpath = PathJoin(dir, "r.test");
    ASSERT_TRUE(WriteFileAtomically(rec->fullpath, "record"));
    const std::string blocked = PathJoin(dir, c.blocked);
    ASSERT_TRUE(WriteFileAtomically(blocked, "a file, not a folder"));
    AppSettings settings;
    settings.InstallDir = PathJoin(dir, "install/");
    MakeFolders(settings.InstallDir);
    ASSERT_TRUE(WriteFileAtomically(PathJoin(settings.InstallDir, kReportTemplateName), "t"));
    settings.AutoExportXml = c.xml;
    settings.AutoExportPdf = c.pdf;
    settings.AutoExportExcel = c.excel;
    ScriptedPrompter prompter;
    FakeGenerator generator;
    ExportServices services;
    services.prompter = &prompter;
    services.runner = &generator;
    services.new_workbook = [] { return std::make_unique<FakeWorkbook>(); };
    services.export_images = [](TestRecord& r, const std::string& folder, std::string*) {
      return FakePictures(r, PathJoin(folder, "r.bmp"));
    };
    EXPECT_FALSE(AutoExport(*rec, true, settings, services));
    ASSERT_EQ(prompter.messages().size(), 1u);
    const std::string& text = prompter.messages()[0].text;
    EXPECT_EQ(text.substr(0, text.find('\n')), c.message);
    EXPECT_NE(text.find("the folder \"" + blocked + "\" cannot be made: \"" + blocked +
                        "\" is a file, not a folder"),
              std::string::npos)
        << text;
    std::string left;
    EXPECT_TRUE(ReadFileText(blocked, left) && left == "a file, not a folder");
    EXPECT_EQ(FileExists(PathJoin(PathJoin(dir, "pdf"), "r.pdf")), c.pdf_written);
  }
}

class LibraryLike : public ReferenceKeeper {
 public:
  KeptReference Find(const TestRecord& rec) override {
    if (rec.serialnumber != "CT-1") return {};
    return ReferenceFromText("turns,800\nvoltmeter,rms\n200,0.05\n400,0.5\n800,5\n",
                             "the record library");
  }
  bool Keep(const TestRecord&, const ReferenceCurve&, std::string&, std::string&) override {
    return false;
  }
};

// The report generator's input carries the reference kept for the record's
// CT when the export is given what was gathered on opening; beside the
// record file there is none.
TEST(AutoExport, ReferenceKeptInTheLibraryReachesTheReportGenerator) {
  struct ReadingGenerator : FakeGenerator {
    std::string input;  // every file of the folder the generator reads from
    ProcessOutcome Run(const std::string& prog, const std::vector<std::string>& a,
                       const ProcessLimits& limits, int& exit_code) override {
      const std::string folder = FolderOf(a[2]);
      for (const std::string& name : FilesIn(folder)) input += Slurp(PathJoin(folder, name));
      return FakeGenerator::Run(prog, a, limits, exit_code);
    }
  };
  const std::string dir = TempFolder("library-reference-pdf");
  auto rec = MakeSampleRecord(1, 2);
  rec->serialnumber = "CT-1";
  rec->fullpath = PathJoin(dir, "r.test");
  ASSERT_TRUE(WriteFileAtomically(rec->fullpath, "record"));
  LibraryLike library;
  const RecordContext gathered = GatherRecordContext(*rec, library, ComparisonBands{});
  for (const RecordContext* context : {&gathered, static_cast<const RecordContext*>(nullptr)}) {
    SCOPED_TRACE(context ? "with the record's context" : "without");
    AppSettings settings;
    settings.InstallDir = PathJoin(dir, "install/");
    settings.AutoExportPdf = 1;
    ScriptedPrompter prompter;
    ReadingGenerator generator;
    ExportServices services;
    services.prompter = &prompter;
    services.runner = &generator;
    services.export_images = [](TestRecord& r, const std::string& folder, std::string*) {
      return FakePictures(r, PathJoin(folder, "r.bmp"));
    };
    services.record = context;
    EXPECT_TRUE(AutoExport(*rec, true, settings, services));
    ASSERT_EQ(generator.runs, 1);
    EXPECT_EQ(generator.input.find("Reference curve") != std::string::npos, context != nullptr)
        << generator.input.substr(0, 400);
  }
}

// The workbook is made while the report generator runs, into a private
// folder, and put in place after the report: its own failures and a place
// it cannot take are warned of after the report's, naming its file.
TEST(AutoExport, WorkbookMadeWhileTheReportGeneratorRuns) {
  // Waits (at most 10 s) for the workbook to be saved, so it passes only if
  // the workbook does not wait for the generator.
  struct WaitingGenerator : FakeGenerator {
    std::atomic<bool>* saved = nullptr;
    bool saw_workbook = false;
    ProcessOutcome Run(const std::string& prog, const std::vector<std::string>& a,
                       const ProcessLimits& limits, int& exit_code) override {
      for (int i = 0; i < 1000 && !*saved; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      saw_workbook = *saved;
      return FakeGenerator::Run(prog, a, limits, exit_code);
    }
  };
  struct SignallingWorkbook : FakeWorkbook {
    std::atomic<bool>* saved = nullptr;
    bool fail = false;
    bool Save(const std::string& path) override {
      const bool ok = !fail && FakeWorkbook::Save(path);
      *saved = true;
      return ok;
    }
    std::string Problem() const override { return fail ? "the disk is full" : ""; }
  };
  const std::string book_failed = "Unable to write the workbook";
  const std::string report_failed = "Unable to generate report for test";
  struct Case {
    const char* what;
    int code;
    bool workbook_fails, place_taken;
    bool pdf_written, xlsx_written;
    std::vector<std::string> messages;
    std::string why;  // the workbook warning's reason
  };
  const Case cases[] = {
      {"both made", 0, false, false, true, true, {}, ""},
      {"workbook fails", 0, true, false, true, false, {book_failed}, "the disk is full"},
      {"workbook's place is a folder", 0, false, true, true, false, {book_failed}, ""},
      {"both fail, in order",
       3,
       true,
       false,
       false,
       false,
       {"Error generating report, error=3", report_failed, book_failed},
       "the disk is full"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string dir = TempFolder(Format("beside%d", n++));
    auto rec = MakeSampleRecord(1, 2);
    rec->fullpath = PathJoin(dir, "T1.test");
    ASSERT_TRUE(WriteFileAtomically(rec->fullpath, "record"));
    const std::string pdf = ExportPath(rec->fullpath, ".pdf", kPdfFolder),
                      xlsx = ExportPath(rec->fullpath, ".xlsx", kExcelFolder);
    if (c.place_taken) MakeFolders(xlsx);
    AppSettings settings;
    settings.InstallDir = PathJoin(dir, "install/");
    settings.AutoExportPdf = settings.AutoExportExcel = 1;
    std::atomic<bool> saved{false};
    ScriptedPrompter prompter;
    WaitingGenerator generator;
    generator.saved = &saved;
    generator.code = c.code;
    ExportServices services;
    services.prompter = &prompter;
    services.runner = &generator;
    services.new_workbook = [&] {
      auto wb = std::make_unique<SignallingWorkbook>();
      wb->saved = &saved;
      wb->fail = c.workbook_fails;
      return wb;
    };
    services.export_images = [](TestRecord& r, const std::string& folder, std::string*) {
      return FakePictures(r, PathJoin(folder, "T1"));
    };
    EXPECT_EQ(AutoExport(*rec, true, settings, services), c.messages.empty());
    EXPECT_TRUE(generator.saw_workbook) << "the workbook waited for the report";
    std::string text;
    EXPECT_EQ(ReadFileText(pdf, text) && text == kWholePdf, c.pdf_written);
    EXPECT_EQ(ReadFileText(xlsx, text) && text == "PK", c.xlsx_written);
    std::vector<std::string> shown;
    for (const auto& m : prompter.messages()) shown.push_back(m.text.substr(0, m.text.find('\n')));
    EXPECT_EQ(shown, c.messages);
    if (!c.messages.empty() && c.messages.back() == book_failed) {
      const std::string& last = prompter.messages().back().text;
      EXPECT_NE(last.find("\"" + xlsx + "\": " + c.why), std::string::npos) << last;
    }
  }
}

TEST(ExportPath, FoldersAndNames) {
  const std::string dir = TempFolder("export-path");
  EXPECT_EQ(ExportPath(PathJoin(dir, "T1.test"), ".xml", "Xml"),
            PathJoin(PathJoin(dir, "Xml"), "T1.xml"));
  EXPECT_TRUE(FolderExists(PathJoin(dir, "Xml")));
  EXPECT_EQ(ExportPath(PathJoin(dir, "a.b.test"), ".pdf", "pdf"),
            PathJoin(PathJoin(dir, "pdf"), "a.b.pdf"));
  EXPECT_EQ(ExportPath(PathJoin(dir, "noext"), ".xlsx", "Excel"),
            PathJoin(PathJoin(dir, "Excel"), "noext.xlsx"));
  const std::string abs = PathJoin(dir, "elsewhere");
  EXPECT_EQ(ExportPath(PathJoin(dir, "T1.test"), ".xml", abs), PathJoin(abs, "T1.xml"));
}

}  // namespace
}  // namespace kova
