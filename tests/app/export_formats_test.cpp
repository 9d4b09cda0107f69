// The export registry: one entry per format, offered by the desktop's
// chosen-records export and, where a setting asks for it, by the automatic
// export (the command line's offer is checked from outside in
// tests/cli/export_files_cli_test.cpp).

#include "app/export_formats.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "app/chosen_exports.h"
#include "app/export_notice.h"
#include "base/file_io.h"
#include "base/path.h"
#include "export/export_images.h"
#include "support/export_fakes.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

// Where the export of `record` in `folder` shows that it was written: the
// file itself, or for the pictures the summary picture.
std::string WrittenFile(const ExportFormat& f, const std::string& record,
                        const std::string& folder) {
  const std::string target = ExportTarget(f, record, folder);
  return std::string(f.name) == "images" ? ImageNames(target, 1)[0] : target;
}

struct Fakes {
  AppSettings settings;
  ScriptedPrompter prompter;
  FakeGenerator generator;
  ExportServices services;
  ExportJob job;
  explicit Fakes(const std::string& install) {
    settings.InstallDir = install;
    services.prompter = &prompter;
    services.runner = &generator;
    services.new_workbook = [] { return std::make_unique<FakeWorkbook>(); };
    services.export_images = [](TestRecord& rec, const std::string& folder, std::string*) {
      return FakePictures(rec, ImageBasePath(rec.fullpath, folder));
    };
    job.settings = &settings;
    job.services = &services;
    job.draw_pictures = [](TestRecord& rec, const std::string& base, std::string*) {
      return FakePictures(rec, base);
    };
  }
};

std::string WriteSample(const std::string& folder) {
  auto rec = MakeSampleRecord(1, 2, 1);
  const std::string path = PathJoin(folder, "r.test");
  EXPECT_TRUE(rec->WriteRecordFile(path));
  return path;
}

TEST(ExportFormats, EveryEntryIsWholeAndFoundByItsName) {
  std::set<std::string> names, extensions;
  for (const ExportFormat& f : ExportFormats()) {
    SCOPED_TRACE(f.name);
    EXPECT_TRUE(names.insert(f.name).second) << "one entry per name";
    EXPECT_TRUE(extensions.insert(f.extension).second) << "one entry per extension";
    EXPECT_EQ(f.extension[0], '.');
    EXPECT_NE(f.write, nullptr);
    EXPECT_EQ(FindExportFormat(f.name), &f);
    EXPECT_TRUE(!f.needs_generator || f.needs_pictures) << "the PDF shows the pictures";
    EXPECT_EQ(f.auto_setting != nullptr, f.auto_failure_text != nullptr);
  }
  EXPECT_EQ(FindExportFormat("doc"), nullptr);
  EXPECT_EQ(ExportFormatNames(),
            std::vector<std::string>({"txt", "xml", "pdf", "xlsx", "images", "ctsat"}));
}

// Beside the record: the format's folder, or the record's own; with a
// chosen folder every format goes straight into it.
TEST(ExportFormats, TargetsFollowTheFormatsFolder) {
  const std::string dir = TempFolder("export-targets");
  const std::string record = PathJoin(dir, "T1.test");
  const struct {
    const char* name;
    const char* beside;
  } kCases[] = {{"txt", "T1.txt"},         {"xml", "Xml/T1.xml"},    {"pdf", "pdf/T1.pdf"},
                {"xlsx", "Excel/T1.xlsx"}, {"images", "Xml/T1.bmp"}, {"ctsat", "T1.ctsat.csv"}};
  ASSERT_EQ(std::size(kCases), ExportFormats().size());
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const ExportFormat& f = *FindExportFormat(c.name);
    const std::string beside = c.beside;
    const size_t slash = beside.find('/');
    const std::string expected =
        slash == std::string::npos
            ? PathJoin(dir, beside)
            : PathJoin(PathJoin(dir, beside.substr(0, slash)), beside.substr(slash + 1));
    EXPECT_EQ(ExportTarget(f, record, ""), expected);
    EXPECT_EQ(ExportTarget(f, record, "/out"), PathJoin("/out", FileNameOf(c.beside)));
  }
}

// The desktop's chosen-records export writes every format of the registry.
TEST(ExportFormats, DesktopChosenExportOffersEveryFormat) {
  const std::string dir = TempFolder("export-formats-chosen");
  const std::string record = WriteSample(dir);
  Fakes fakes(dir);
  for (const ExportFormat& f : ExportFormats()) {
    SCOPED_TRACE(f.name);
    const std::string out = PathJoin(dir, std::string("out-") + f.name);
    MakeFolders(out);
    const ChosenExportKind kind = ChosenExportKindOf(f, fakes.job);
    EXPECT_EQ(kind.format, &f);
    ScriptedPrompter prompter;
    prompter.QueueText(out);
    MemorySettingsStore store;
    const ChosenExportOutcome r = ExportChosenRecords({record}, kind, {}, prompter, store);
    EXPECT_EQ(r.written, 1);
    EXPECT_TRUE(FileExists(WrittenFile(f, record, out))) << WrittenFile(f, record, out);
  }
  EXPECT_EQ(fakes.generator.runs, 1) << "only the PDF runs the generator";
}

// A record whose file ended early is exported in every format's own
// layout; the status text names it with the banner its pages carry.
TEST(ExportFormats, DesktopChosenExportSaysWhichRecordsAreDamaged) {
  const std::string dir = TempFolder("export-formats-damaged");
  const std::string whole = WriteSample(dir);
  std::string bytes;
  ASSERT_TRUE(ReadFileText(whole, bytes));
  const std::string cut = PathJoin(dir, "cut.test");
  ASSERT_TRUE(WriteFileAtomically(cut, bytes.substr(0, 5000)));
  Fakes fakes(dir);
  for (const ExportFormat& f : ExportFormats()) {
    SCOPED_TRACE(f.name);
    const std::string out = PathJoin(dir, std::string("out-") + f.name);
    MakeFolders(out);
    ScriptedPrompter prompter;
    prompter.QueueText(out);
    MemorySettingsStore store;
    const ChosenExportOutcome r =
        ExportChosenRecords({whole, cut}, ChosenExportKindOf(f, fakes.job), {}, prompter, store);
    EXPECT_EQ(r.written, 2);
    ASSERT_EQ(r.damaged.size(), 1u);
    EXPECT_EQ(r.damaged[0],
              "cut.test: DAMAGED RECORD: the file ends at byte 5000 of 8204; later values are "
              "reset");
    EXPECT_EQ(WithDamageNotes("2 files written to x", r.damaged),
              "2 files written to x; " + r.damaged[0]);
  }
  EXPECT_EQ(WithDamageNotes("1 file written", {}), "1 file written");
}

// The automatic export makes each format that has a setting when that
// setting alone is on, in the format's folder beside the record.
TEST(ExportFormats, AutomaticExportOffersEveryFormatWithASetting) {
  std::set<std::string> automatic;
  for (const ExportFormat* f : AutomaticExportFormats()) {
    SCOPED_TRACE(f->name);
    automatic.insert(f->name);
    const std::string dir = TempFolder(std::string("export-formats-auto-") + f->name);
    auto rec = MakeSampleRecord(1, 2, 1);
    rec->fullpath = WriteSample(dir);
    Fakes fakes(dir);
    fakes.settings.*f->auto_setting = 1;
    EXPECT_TRUE(AutoExport(*rec, true, fakes.settings, fakes.services));
    for (const ExportFormat& other : ExportFormats()) {
      if (other.auto_setting == nullptr) continue;
      EXPECT_EQ(FileExists(ExportTarget(other, rec->fullpath, "")), &other == f) << other.name;
    }
    EXPECT_TRUE(fakes.prompter.messages().empty());
  }
  EXPECT_EQ(automatic, std::set<std::string>({"xml", "pdf", "xlsx"}));
}

}  // namespace
}  // namespace kova
