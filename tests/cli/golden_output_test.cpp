// Whole-output regression: sample records paired with the `record show
// --json` output and the text export they give, compared whole, so a change
// in any field is seen. The inputs are the shipped sample and records made
// once by the encoder fixtures, committed beside their outputs in
// tests/golden/. Run with KOVA_REGENERATE_GOLDEN=1 to write the expected
// outputs again (then review the difference before committing it).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/file_io.h"
#include "base/path.h"
#include "records/encode.h"
#include "support/cli_fixture.h"
#include "support/golden.h"

namespace kova {
namespace {

const std::string kGolden = std::string(KOVA_SOURCE_DIR) + "/tests/golden";

struct Sample {
  std::string input;  // below the source folder
  std::string name;   // name of the expected outputs in tests/golden
};

const Sample kSamples[] = {
    {"data/samples/sample-7100B.test", "sample-7100B"},
    {"tests/golden/model1-3taps.test", "model1-3taps"},
    {"tests/golden/model2-raw.kova", "model2-raw"},
    {"tests/golden/model3-2taps.test", "model3-2taps"},
    {"tests/golden/model4-5taps.test", "model4-5taps"},
    {"tests/golden/model2-metering.test", "model2-metering"},
};

class GoldenOutput : public KovaCliTest {
 protected:
  // The output with the test's own folder named by a placeholder.
  std::string Stable(std::string text) const {
    for (size_t at; (at = text.find(dir_)) != std::string::npos;)
      text.replace(at, dir_.size(), "<DIR>");
    return text;
  }
  void Compare(const std::string& got, const std::string& expected_file) {
    CompareWithGolden(got, PathJoin(kGolden, expected_file));
  }
};

// The encoder-made inputs, written once (when missing) in regeneration mode
// and committed: later changes of the fixtures do not change them.
void MakeMissingInputs() {
  auto write = [](const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = PathJoin(kGolden, name);
    if (!FileExists(path)) {
      ASSERT_TRUE(WriteFileAtomically(path, bytes));
    }
  };
  auto record_file = [&](const std::string& name, TestRecord& rec) {
    const std::string path = PathJoin(kGolden, name);
    if (!FileExists(path)) {
      ASSERT_TRUE(rec.WriteRecordFile(path));
    }
  };
  record_file("model1-3taps.test", *MakeSampleRecord(1, 3, 11));
  write("model2-raw.kova", BuildRawInstrumentFile(*MakeSampleRecord(2, 4, 12)));
  record_file("model3-2taps.test", *MakeSampleRecord(3, 2, 13));
  record_file("model4-5taps.test", *MakeSampleRecord(4, 5, 14));
  auto metering = MakeSampleRecord(2, 3, 15);
  metering->classsettings.ctusage = 2;
  record_file("model2-metering.test", *metering);
}

TEST_F(GoldenOutput, RecordShowJsonAndTextExportMatchTheCommittedOutputsWhole) {
  if (std::getenv("KOVA_REGENERATE_GOLDEN")) MakeMissingInputs();
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.name);
    const std::string copy = PathJoin(dir_, FileNameOf(s.input));
    std::filesystem::copy_file(std::string(KOVA_SOURCE_DIR) + "/" + s.input, copy);
    const ProgramResult json = Kova({"record", "show", "--json", copy});
    ASSERT_EQ(json.exit_code, 0) << json.err;
    Compare(Stable(json.out), s.name + ".json");

    const std::string out = PathJoin(dir_, "export-" + s.name);
    const ProgramResult text = Kova({"record", "export", "--format", "txt", copy, "-o", out});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    std::string exported;
    ASSERT_TRUE(ReadFileText(text.out.substr(0, text.out.find('\n')), exported)) << text.out;
    Compare(Stable(exported), s.name + ".txt");
  }
}

}  // namespace
}  // namespace kova
