#include "app/settings_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "app/app_settings.h"
#include "app/recent_files.h"

namespace kova {
namespace {

using Id = SettingId;
using Source = SettingSource;

TEST(SettingsTable, OneRowPerKeyInIdOrderWithDefaultsInRange) {
  std::set<std::string> names;
  for (int i = 0; i < static_cast<int>(Id::kCount); ++i) {
    const SettingKey& key = SettingOf(static_cast<Id>(i));
    SCOPED_TRACE(key.name);
    EXPECT_EQ(static_cast<int>(key.id), i);
    EXPECT_TRUE(names.insert(std::string(key.section) + "/" + key.name).second) << "twice";
    if (key.kind == SettingKind::kInt) {
      EXPECT_LE(key.min, key.int_default);
      EXPECT_GE(key.max, key.int_default);
    }
    EXPECT_NE(std::string(key.writers), "");
  }
}

// A value out of range or of the wrong kind loads the default and says so.
TEST(SettingsTable, BadStoredValuesLoadTheDefault) {
  struct Row {
    const char* what;
    std::function<void(MemorySettingsStore&)> store;
    Id id;
    std::string value;
    Source source;
  };
  auto i = [](const char* name, int v) {
    return [=](MemorySettingsStore& s) { s.SetInt("Settings", name, v); };
  };
  auto t = [](const char* name, const char* v) {
    return [=](MemorySettingsStore& s) { s.SetText("Settings", name, v); };
  };
  auto nothing = [](MemorySettingsStore&) {};
  const Row rows[] = {
      {"absent port", nothing, Id::kComPort, "1", Source::kDefault},
      {"port 12", i("ComPort", 12), Id::kComPort, "12", Source::kStored},
      {"port 0 names no port", i("ComPort", 0), Id::kComPort, "1", Source::kOutOfRange},
      {"port 256", i("ComPort", 256), Id::kComPort, "1", Source::kOutOfRange},
      {"portrait", i("Orientation", 1), Id::kOrientation, "1", Source::kStored},
      {"orientation 2", i("Orientation", 2), Id::kOrientation, "0", Source::kOutOfRange},
      {"orientation as text", t("Orientation", "portrait"), Id::kOrientation, "0",
       Source::kWrongType},
      {"frequency -1", i("Frequency", -1), Id::kFrequency, "0", Source::kOutOfRange},
      {"EU dates", i("DateFormat", 1), Id::kDateFormat, "1", Source::kStored},
      {"speed selector 7 is any nonzero", i("ComSpeed", 7), Id::kComSpeed, "7", Source::kStored},
      {"50 cycles", i("CyclesPerSecond", 50), Id::kCyclesPerSecond, "50", Source::kStored},
      {"0 cycles", i("CyclesPerSecond", 0), Id::kCyclesPerSecond, "60", Source::kOutOfRange},
      {"folder as int", i("TestFolder", 5), Id::kTestFolder, "Tests", Source::kWrongType},
      {"empty folder", t("TestFolder", ""), Id::kTestFolder, "Tests", Source::kDefault},
      {"stored folder", t("TestFolder", "Field"), Id::kTestFolder, "Field", Source::kStored},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MemorySettingsStore store;
    r.store(store);
    Source source = Source::kStored;
    std::string value;
    if (SettingOf(r.id).kind == SettingKind::kInt) {
      value = std::to_string(LoadInt(store, r.id, &source));
    } else {
      value = LoadText(store, r.id, {}, &source);
    }
    EXPECT_EQ(value, r.value);
    EXPECT_EQ(source, r.source);
  }
}

TEST(SettingsTable, ViewsTurnCodesIntoEnumerationsAndRejectUnknownCodes) {
  MemorySettingsStore store;
  store.SetInt("Settings", "Orientation", 1);
  store.SetInt("Settings", "Frequency", 7);
  store.SetInt("Settings", "DateFormat", 1);
  store.SetInt("Settings", "ComPort", 0);
  CAppInfo info;
  info.Load(store, "/work");
  EXPECT_EQ(info.orientation, kPortrait);
  EXPECT_EQ(info.frequency, kFrequency60Hz);
  EXPECT_EQ(info.dateformat, kDateEU);
  EXPECT_EQ(info.comport, 1);
  AppSettings settings;
  LoadAppSettings(settings, store, "/opt/kova/");
  EXPECT_EQ(settings.ComPort, info.comport) << "both views load the one stored port alike";
}

// Every field of both views survives a save and a load with a value other
// than its default: a field saved under one name and loaded under another
// shows here.
TEST(SettingsTable, EveryViewFieldSurvivesSaveAndLoad) {
  // Folders absolute on this system, so none is resolved against the
  // install folder.
#ifdef _WIN32
  const std::string data = "C:/data";
#else
  const std::string data = "/data";
#endif
  AppSettings s;
  s.InstallDir = "/opt/kova/";
  s.TestFolder = data + "/t";
  s.TestPlanFolder = data + "/p";
  s.TestPlanDefault = data + "/p/mine.set";
  s.USBEnabled = 0;
  s.PrintPortrait = 0;
  s.AutoExportExcel = 1;
  s.AutoExportXml = 1;
  s.AutoExportPdf = 1;
  s.AutoExportFolder = data + "/e";
  s.AppLogo = data + "/logo.bmp";
  s.ComPort = 9;
  s.PrintInColor = 1;
  s.CyclesPerSecond = 50;
  s.DeviceAutoDetect = 0;
  s.DeviceSlowSerial = 1;
  CAppInfo a;
  a.usbactive = 0;
  a.comport = 9;
  a.comspeed = 0;
  a.orientation = kPortrait;
  a.filepath = "/data/records";
  a.planpath = "/data/plans";
  a.devicetype = 3;
  a.frequency = kFrequency50Hz;
  a.dateformat = kDateEU;
  a.taporder = "X1-X5,X1-X4";
  a.logofile = "/data/l.bmp";
  a.comportname = "/dev/ttyUSB1";
  a.extraports = "/tmp/p";
  a.tracedir = "/tmp/trace";
  MemorySettingsStore store;
  SaveAppSettings(s, store);
  a.Save(store);

  AppSettings s2;
  LoadAppSettings(s2, store, "/opt/kova/");
  CAppInfo b;
  b.Load(store, "/elsewhere");
  EXPECT_EQ(s2.TestFolder, s.TestFolder);
  EXPECT_EQ(s2.TestPlanFolder, s.TestPlanFolder);
  EXPECT_EQ(s2.TestPlanDefault, s.TestPlanDefault);
  EXPECT_EQ(s2.USBEnabled, s.USBEnabled);
  EXPECT_EQ(s2.PrintPortrait, s.PrintPortrait);
  EXPECT_EQ(s2.AutoExportExcel, s.AutoExportExcel);
  EXPECT_EQ(s2.AutoExportXml, s.AutoExportXml);
  EXPECT_EQ(s2.AutoExportPdf, s.AutoExportPdf);
  EXPECT_EQ(s2.AutoExportFolder, s.AutoExportFolder);
  EXPECT_EQ(s2.AppLogo, s.AppLogo);
  EXPECT_EQ(s2.ComPort, s.ComPort);
  EXPECT_EQ(s2.PrintInColor, s.PrintInColor);
  EXPECT_EQ(s2.CyclesPerSecond, s.CyclesPerSecond);
  EXPECT_EQ(s2.DeviceAutoDetect, s.DeviceAutoDetect);
  EXPECT_EQ(s2.DeviceSlowSerial, s.DeviceSlowSerial);
  EXPECT_EQ(b.usbactive, a.usbactive);
  EXPECT_EQ(b.comport, a.comport);
  EXPECT_EQ(b.comspeed, a.comspeed);
  EXPECT_EQ(b.baud, 19200);
  EXPECT_EQ(b.orientation, a.orientation);
  EXPECT_EQ(b.filepath, a.filepath);
  EXPECT_EQ(b.planpath, a.planpath);
  EXPECT_EQ(b.devicetype, a.devicetype);
  EXPECT_EQ(b.frequency, a.frequency);
  EXPECT_EQ(b.dateformat, a.dateformat);
  EXPECT_EQ(b.taporder, a.taporder);
  EXPECT_EQ(b.logofile, a.logofile);
  EXPECT_EQ(b.comportname, a.comportname);
  EXPECT_EQ(b.extraports, a.extraports);
  EXPECT_EQ(b.tracedir, a.tracedir);

  RecentFiles recent;
  recent.Add("/r/one.test");
  recent.Add("/r/two.test");
  recent.Save(store);
  RecentFiles recent2;
  recent2.Load(store);
  EXPECT_EQ(recent2.Entries(), (std::vector<std::string>{"/r/two.test", "/r/one.test"}));
}

TEST(SettingsTable, ShowListsEveryKeyWithItsSource) {
  MemorySettingsStore store;
  store.SetInt("Settings", "ComPort", 0);
  store.SetText("Settings", "TestFolder", "Field");
  store.SetText("Recent File List", "File2", "/r/a.test");
  const std::vector<SettingShown> shown = ShowSettings(store, {"/opt/kova/", "/home/u", ""});
  std::map<std::string, const SettingShown*> by_name;
  for (const SettingShown& s : shown) by_name[std::string(s.key->section) + "/" + s.name] = &s;
  ASSERT_EQ(by_name.size(), shown.size());
  EXPECT_EQ(shown.size(), static_cast<size_t>(Id::kCount) - 5 + kRecentFileCount)
      << "every key but the per-list and per-window ones, the recent files one by one";
  const SettingShown& port = *by_name.at("Settings/ComPort");
  EXPECT_EQ(port.value, "1");
  EXPECT_EQ(port.source, Source::kOutOfRange);
  EXPECT_EQ(by_name.at("Settings/TestFolder")->value, "Field");
  EXPECT_EQ(by_name.at("Settings/TestFolder")->default_value, "Tests");
  EXPECT_EQ(by_name.at("Settings/InstallDir")->value, "/opt/kova/");
  EXPECT_EQ(by_name.at("Settings/FilePath")->default_value, "/home/u");
  EXPECT_EQ(by_name.at("Recent File List/File2")->source, Source::kStored);
  EXPECT_EQ(by_name.at("Recent File List/File3")->source, Source::kDefault);
}

// The names as stored appear in the program's code only in the table: a
// read or write that bypasses it shows here. Comments may name them.
TEST(SettingsTable, StoredNamesAppearOnlyInTheTable) {
  const std::filesystem::path src = std::filesystem::path(KOVA_SOURCE_DIR) / "src";
  const std::filesystem::path table = src / "app" / "settings_table.cpp";
  std::vector<std::string> quoted;
  for (const SettingKey& key : SettingsTable()) quoted.push_back('"' + std::string(key.name) + '"');
  int files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(src)) {
    const std::string ext = e.path().extension().string();
    if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    if (e.path() == table) continue;
    ++files;
    std::ifstream in(e.path());
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      const size_t comment = line.find("//");
      const std::string code = line.substr(0, comment);
      for (const std::string& q : quoted) {
        EXPECT_EQ(code.find(q), std::string::npos)
            << e.path().string() << ":" << number << " names " << q;
      }
    }
  }
  EXPECT_GT(files, 50);
}

}  // namespace
}  // namespace kova
