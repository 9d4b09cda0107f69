// A reference curve kept in the record library for a CT reaches the report
// generator's input of every record of that CT, through what is gathered
// when the record is opened.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "app/auto_export.h"
#include "assess/reference_curve.h"
#include "base/path.h"
#include "library/library_import.h"
#include "library/library_references.h"
#include "library_support/library_records.h"
#include "report/record_context.h"
#include "store_fixture.h"
#include "support/export_fakes.h"
#include "support/files.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

// Keeps every file of the folder it is given its input in.
struct ReadingGenerator : FakeGenerator {
  std::string input;
  ProcessOutcome Run(const std::string& prog, const std::vector<std::string>& a,
                     const ProcessLimits& limits, int& exit_code) override {
    const std::string folder = FolderOf(a[2]);
    for (const std::string& name : FilesIn(folder)) input += Slurp(PathJoin(folder, name));
    return FakeGenerator::Run(prog, a, limits, exit_code);
  }
};

TEST_P(StoreTest, ReferenceKeptInTheLibraryReachesTheReportGenerator) {
  LibraryRecordSet set;
  set.cts = 1;
  set.stations = 1;
  set.circuits = 1;
  const std::vector<std::string> paths = WriteLibraryRecords(folder_ + "/records", set);
  ASSERT_EQ(paths.size(), 2u);
  ASSERT_TRUE(ImportRecordFiles(*store_, {folder_ + "/records"}, {}).store.ok());
  std::vector<std::unique_ptr<TestRecord>> recs;
  for (const std::string& p : paths) {
    recs.push_back(std::make_unique<TestRecord>());
    ASSERT_TRUE(ReadRecordFile(*recs.back(), p, RecordDefaults())) << p;
  }
  ReferenceCurve ref;
  std::string why, where;
  ASSERT_TRUE(ParseReferenceCsv("turns,400\nvoltmeter,rms\n100,0.01\n200,0.1\n300,1\n", ref, why))
      << why;
  LibraryReferences library(*store_);
  ASSERT_TRUE(library.Keep(*recs[0], ref, where, why)) << why;
  ASSERT_FALSE(std::filesystem::exists(ReferencePathBeside(paths[1])));

  // The CT's other record, as its document gathers it on opening.
  const RecordContext context = GatherRecordContext(*recs[1], library, ComparisonBands{});
  ASSERT_TRUE(context.reference.loaded()) << context.reference.why;
  AppSettings settings;
  settings.InstallDir = PathJoin(folder_, "install/");
  settings.AutoExportPdf = 1;
  ScriptedPrompter prompter;
  ReadingGenerator generator;
  ExportServices services;
  services.prompter = &prompter;
  services.runner = &generator;
  services.export_images = [](TestRecord& r, const std::string& folder, std::string*) {
    return FakePictures(r, PathJoin(folder, "r.bmp"));
  };
  services.record = &context;
  EXPECT_TRUE(AutoExport(*recs[1], true, settings, services));
  ASSERT_EQ(generator.runs, 1);
  EXPECT_NE(generator.input.find("Reference curve"), std::string::npos);
}

}  // namespace
}  // namespace kova
