// kova settings show: every stored value with its default and where it came
// from, as text and as JSON, from a settings file with bad values in it;
// showing never writes the file.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/file_io.h"
#include "base/json.h"
#include "support/cli_fixture.h"

namespace kova {
namespace {

class SettingsCli : public KovaCliTest {};

TEST_F(SettingsCli, ShowTellsEveryValueItsDefaultAndWhereItCameFrom) {
  const std::string ini = dir_ + "/settings.ini";
  const std::string stored =
      "[Settings]\nComPort=0\nOrientation=portrait\nTestFolder=Field\nFrequency=1\n"
      "\n[Recent%20File%20List]\nFile1=/r/a.test\n";
  ASSERT_TRUE(WriteFileAtomically(ini, stored));

  const ProgramResult json = Kova({"settings", "show", "--json"});
  ASSERT_EQ(json.exit_code, 0) << json.err;
  JsonValue list;
  std::string error;
  ASSERT_TRUE(JsonValue::Parse(json.out, list, error)) << error;
  ASSERT_TRUE(list.IsArray());
  std::map<std::string, const JsonValue*> by_key;
  for (const JsonValue& item : list.Items()) {
    by_key[item.Find("section")->AsString() + "/" + item.Find("key")->AsString()] = &item;
  }
  EXPECT_EQ(by_key.size(), list.Items().size()) << "each key once";
  const struct {
    const char* key;
    std::string value;  // as JSON
    const char* source;
  } rows[] = {
      {"Settings/ComPort", "1", "default (stored value out of range)"},
      {"Settings/Orientation", "0", "default (stored value of the wrong type)"},
      {"Settings/TestFolder", "\"Field\"", "stored"},
      {"Settings/Frequency", "1", "stored"},
      {"Settings/DateFormat", "0", "default"},
      {"Settings/TapOrder", "\"X1-X2,X1-X3,X1-X4,X1-X5,X2-X3,X2-X4,X2-X5,X3-X4,X3-X5,X4-X5\"",
       "default"},
      {"Recent File List/File1", "\"/r/a.test\"", "stored"},
      {"AppInfo/ExportDir", "\"\"", "default"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.key);
    ASSERT_EQ(by_key.count(r.key), 1u);
    EXPECT_EQ(by_key[r.key]->Find("value")->Dump(), r.value);
    EXPECT_EQ(by_key[r.key]->Find("source")->AsString(), r.source);
  }
  EXPECT_EQ(by_key["Settings/ComPort"]->Find("default")->Dump(), "1");
  EXPECT_EQ(by_key["Settings/TestFolder"]->Find("default")->Dump(), "\"Tests\"");

  const ProgramResult text = Kova({"settings", "show"});
  ASSERT_EQ(text.exit_code, 0) << text.err;
  EXPECT_NE(text.out.find("Settings/ComPort = 1  (default 1; default (stored value out of range))"),
            std::string::npos)
      << text.out;
  std::string after;
  ASSERT_TRUE(ReadFileText(ini, after));
  EXPECT_EQ(after, stored) << "showing writes nothing";
}

}  // namespace
}  // namespace kova
