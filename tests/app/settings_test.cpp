#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "analysis/read_record.h"
#include "app/app_settings.h"
#include "base/path.h"
#include "records/encode.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

const std::string kProgram = "/opt/kova/bin/";

TEST(AppSettings, FreshStoreGivesTheDefaults) {
  MemorySettingsStore store;
  AppSettings s;
  LoadAppSettings(s, store, kProgram);
  EXPECT_EQ(s.InstallDir, kProgram);
  EXPECT_EQ(s.TestFolder, kProgram + "Tests");
  EXPECT_EQ(s.TestPlanFolder, kProgram + "TestPlans");
  EXPECT_EQ(s.TestPlanDefault, PathJoin(kProgram + "TestPlans", "default.set"));
  EXPECT_EQ(s.AutoExportFolder, kProgram + "Export");
  EXPECT_EQ(s.AppLogo, kProgram + "report_logo.bmp");
  EXPECT_EQ(s.USBEnabled, 1);
  EXPECT_EQ(s.ComPort, 1) << "one stored port, one default: port numbers start at 1";
  EXPECT_EQ(s.CyclesPerSecond, 60);
  EXPECT_EQ(s.DeviceAutoDetect, 1);
  EXPECT_EQ(s.ReportTimeLimit, 60);
  EXPECT_EQ(s.ReportGeneratorPath(), kProgram + kReportGeneratorName);

  CAppInfo info;
  info.Load(store, "/home/user/work");
  EXPECT_EQ(info.usbactive, 1);
  EXPECT_EQ(info.comport, 1);
  EXPECT_EQ(info.baud, 115200);
  EXPECT_EQ(info.frequency, 0);
  EXPECT_EQ(info.dateformat, 0);
  EXPECT_EQ(info.taporder, "X1-X2,X1-X3,X1-X4,X1-X5,X2-X3,X2-X4,X2-X5,X3-X4,X3-X5,X4-X5");
  EXPECT_EQ(info.filepath, "/home/user/work");
  EXPECT_EQ(info.logofile, PathJoin("/home/user/work", "report_logo.bmp"));
}

TEST(AppSettings, StoredFoldersAbsoluteOrBelowTheProgram) {
  MemorySettingsStore store;
  store.SetText("Settings", "TestFolder", "D:\\Field\\Tests");
  store.SetText("Settings", "TestPlanFolder", "MyPlans");
  store.SetText("Settings", "TestPlanDefault", "");
  store.SetText("Settings", "InstallDir", "/srv/kova");
  AppSettings s;
  LoadAppSettings(s, store, kProgram);
  EXPECT_EQ(s.InstallDir, PathJoin("/srv/kova", ""));
  EXPECT_EQ(s.TestFolder, "D:\\Field\\Tests");
  EXPECT_EQ(s.TestPlanFolder, PathJoin("/srv/kova", "MyPlans"));
  EXPECT_EQ(s.TestPlanDefault, PathJoin(PathJoin("/srv/kova", "MyPlans"), "default.set"))
      << "an empty default plan file goes below the stored plan folder";
}

TEST(AppSettings, SpeedSelector) {
  EXPECT_EQ(SpeedFromSelector(0), 19200);
  for (int sel : {1, 2, -1, 99}) EXPECT_EQ(SpeedFromSelector(sel), 115200);
  MemorySettingsStore store;
  store.SetInt("Settings", "ComSpeed", 0);
  CAppInfo info;
  info.Load(store, "/tmp");
  EXPECT_EQ(info.baud, 19200);
}

TEST(AppSettings, SaveWritesTheValuesInOrderAndNeverInstallDir) {
  MemorySettingsStore store;
  AppSettings s;
  LoadAppSettings(s, store, kProgram);
  SaveAppSettings(s, store);
  const std::vector<std::string> expected = {
      "Settings/TestFolder",       "Settings/TestPlanFolder",   "Settings/TestPlanDefault",
      "Settings/AutoExportFolder", "Settings/AppLogo",          "Settings/AutoExportExcel",
      "Settings/AutoExportXml",    "Settings/AutoExportPdf",    "Settings/USBEnabled",
      "Settings/PrintPortrait",    "Settings/ComPort",          "Settings/PrintInColor",
      "Settings/CyclesPerSecond",  "Settings/DeviceAutoDetect", "Settings/DeviceSlowSerial",
      "Settings/ReportTimeLimit"};
  EXPECT_EQ(store.WriteLog(), expected);
  EXPECT_FALSE(store.Has("Settings", "InstallDir"));

  MemorySettingsStore store2;
  CAppInfo info;
  info.Load(store2, "/tmp");
  info.Save(store2);
  const std::vector<std::string> head(store2.WriteLog().begin(), store2.WriteLog().begin() + 11);
  const std::vector<std::string> expected_info = {
      "Settings/ComPort",    "Settings/ComSpeed",  "Settings/Orientation", "Settings/FilePath",
      "Settings/PlanPath",   "Settings/USBEnable", "Settings/DeviceType",  "Settings/Frequency",
      "Settings/DateFormat", "Settings/TapOrder",  "Settings/LogoFile"};
  EXPECT_EQ(head, expected_info);
}

TEST(AppSettings, LoadLeavesTheCurrentFolderAndFeedsNewRecords) {
  const auto before = std::filesystem::current_path();
  const std::string folder = TempFolder("filepath");
  MemorySettingsStore store;
  store.SetText("Settings", "FilePath", folder);
  store.SetInt("Settings", "Frequency", 1);
  store.SetText("Settings", "TapOrder", "X1-X5,X1-X4");
  CAppInfo info;
  info.Load(store, before.string());
  EXPECT_EQ(info.filepath, folder);
  EXPECT_EQ(std::filesystem::current_path(), before) << "paths are resolved, never changed into";

  TestRecord rec;
  rec.ResetRecord(RecordDefaultsFrom(info));
  EXPECT_EQ(rec.frequency, 1);
  EXPECT_EQ(rec.taporder, "X1-X5,X1-X4");
}

// The stored "DateFormat" preference must reach the decoder of every read:
// the record file and the instrument's record text.
TEST(CAppInfo, DateFormatSettingReachesEveryRead) {
  auto sample = MakeSampleRecord(1, 2);
  const uint8_t date[6] = {0x12, 0x31, 0x15, 0x10, 0x45, 0x00};
  std::memcpy(sample->rawrecord + 5, date, 6);
  const std::string path = TempFolder("dateformat") + "/d.test";
  ASSERT_TRUE(sample->WriteRecordFile(path));
  const std::string text = BuildRecordText(*sample);
  for (int format : {0, 1}) {
    MemorySettingsStore store;
    store.SetInt("Settings", "DateFormat", format);
    CAppInfo info;
    info.Load(store, std::filesystem::current_path().string());
    const std::string want = format ? "31/12/15 10:45:00" : "12/31/15 10:45:00";
    TestRecord from_file, from_text;
    ASSERT_TRUE(ReadRecordFile(from_file, path, RecordDefaultsFrom(info)));
    ASSERT_TRUE(ReadRecordText(from_text, text, RecordDefaultsFrom(info)));
    EXPECT_EQ(from_file.testdatetime, want) << format;
    EXPECT_EQ(from_text.testdatetime, want) << format;
  }
}

TEST(CAppInfo, ExtraPortNamesSplitOnSemicolonsAndCommas) {
  CAppInfo info;
  info.extraports = " /tmp/kova-sim ; /dev/ttyUSB3,,COM7 ";
  const std::vector<std::string> expected = {"/tmp/kova-sim", "/dev/ttyUSB3", "COM7"};
  EXPECT_EQ(info.ExtraPortNames(), expected);
}

}  // namespace
}  // namespace kova
