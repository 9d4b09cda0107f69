#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_io.h"
#include "base/json.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"

namespace kova {
namespace {

class PlanCli : public KovaCliTest {
 protected:
  JsonValue ShowJson(const std::string& path) {
    const ProgramResult r = Kova({"plan", "show", "--json", path});
    EXPECT_EQ(r.exit_code, 0) << r.err;
    JsonValue json;
    std::string error;
    EXPECT_TRUE(JsonValue::Parse(r.out, json, error)) << error;
    return json;
  }
};

// A plan kept as JSON text becomes a plan file whose JSON form and link hex
// agree with what was asked for.
TEST_F(PlanCli, FromJsonShowAndHexAgree) {
  const std::string json_text =
      R"({"devicetype": 2, "kneetype": 2, "numtests": 2, "company": "ACME",
          "taps": [{"tapid": 3}, {"tapid": 0}], "pfenable": 1})";
  const std::string plan = dir_ + "/p.plan";
  ProgramResult r = Kova({"plan", "from-json", "-", "-o", plan}, json_text);
  ASSERT_EQ(r.exit_code, 0) << r.err;

  const JsonValue json = ShowJson(plan);
  EXPECT_EQ(json.Find("devicetype")->AsInteger(), 2);
  EXPECT_EQ(json.Find("kneetype")->AsInteger(), 2);
  EXPECT_EQ(json.Find("numtests")->AsInteger(), 2);
  EXPECT_EQ(json.Find("company")->AsString(), "ACME");
  EXPECT_EQ(json.Find("pfenable")->AsInteger(), 1);
  const std::string image = json.Find("image")->AsString();
  EXPECT_EQ(image.size(), 2048u) << "a type 2 image is 1024 bytes";
  EXPECT_EQ(image.substr(0, 2), "02") << "byte 0 holds the number of taps";

  r = Kova({"plan", "hex", plan});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::string hex = r.out;
  while (!hex.empty() && (hex.back() == '\n' || hex.back() == '\r')) hex.pop_back();
  EXPECT_EQ(hex, image);

  // The JSON form read back writes the same file.
  r = Kova({"plan", "show", "--json", plan});
  ASSERT_EQ(r.exit_code, 0);
  const std::string again = dir_ + "/again.plan";
  ASSERT_EQ(Kova({"plan", "from-json", "-", "-o", again}, r.out).exit_code, 0);
  std::vector<uint8_t> a, b;
  ASSERT_TRUE(ReadFileBytes(plan, a));
  ASSERT_TRUE(ReadFileBytes(again, b));
  EXPECT_EQ(a, b);
}

TEST_F(PlanCli, BadJsonNamesTheMemberAndWritesNothing) {
  const std::string plan = dir_ + "/bad.plan";
  ProgramResult r = Kova({"plan", "from-json", "-", "-o", plan}, R"({"kneetype": 9})");
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.err.find("kneetype"), std::string::npos) << r.err;
  r = Kova({"plan", "from-json", "-", "-o", plan}, "{\"kneetype\": 1,}");
  EXPECT_NE(r.exit_code, 0);
  EXPECT_FALSE(FileExists(plan));
}

TEST_F(PlanCli, ThumbDriveExportAndImportRoundTrip) {
  const std::string plan = dir_ + "/t.plan";
  ASSERT_EQ(Kova({"plan", "from-json", "-", "-o", plan},
                 R"({"devicetype": 1, "numtests": 1, "station": "NORTH", "taps": [{"tapid": 0}]})")
                .exit_code,
            0);
  const std::string drive = dir_ + "/drive";
  std::filesystem::create_directories(drive);
  ProgramResult r = Kova({"thumb", "export", plan, plan, "--drive", drive});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  std::vector<std::string> written;
  for (const auto& e : std::filesystem::recursive_directory_iterator(drive)) {
    if (e.is_regular_file()) written.push_back(e.path().string());
  }
  ASSERT_EQ(written.size(), 2u) << "two exports of one plan are two drive files";
  EXPECT_NE(written[0], written[1]);

  const std::string plans = dir_ + "/plans";
  std::filesystem::create_directories(plans);
  r = Kova({"thumb", "import", written[0], "--plans", plans});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  int imported = 0;
  for (const auto& e : std::filesystem::directory_iterator(plans)) {
    const JsonValue json = ShowJson(e.path().string());
    EXPECT_EQ(json.Find("station")->AsString(), "NORTH");
    EXPECT_EQ(json.Find("devicetype")->AsInteger(), 1);
    ++imported;
  }
  EXPECT_EQ(imported, 1);
}

}  // namespace
}  // namespace kova
