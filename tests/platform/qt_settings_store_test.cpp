#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app_settings.h"
#include "base/file_io.h"
#include "platform/qt_settings_store.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(QtSettingsStore, ValuesSurviveAReopenWithTheirKinds) {
  const std::string ini = TempFolder("qtstore") + "/kova.ini";
  {
    QtSettingsStore store(ini);
    store.SetInt("Settings", "ComSpeed", 0);
    store.SetText("Settings", "FilePath", "C:\\Tests \xB0 \x80");  // Windows-1252 text
    store.SetBinary("ListCtrls", "Tests-1001", {0, 1, 255, 10});
    store.SetText("Recent File List", "File1", "/data/a.test");
    ASSERT_TRUE(store.Flush());
  }
  QtSettingsStore store(ini);
  int n = -1;
  ASSERT_TRUE(store.GetInt("Settings", "ComSpeed", n));
  EXPECT_EQ(n, 0);
  std::string text;
  ASSERT_TRUE(store.GetText("Settings", "FilePath", text));
  EXPECT_EQ(text, "C:\\Tests \xB0 \x80");
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(store.GetBinary("ListCtrls", "Tests-1001", bytes));
  EXPECT_EQ(bytes, (std::vector<unsigned char>{0, 1, 255, 10}));
  ASSERT_TRUE(store.GetText("Recent File List", "File1", text));
  EXPECT_EQ(text, "/data/a.test");
  EXPECT_FALSE(store.GetInt("Settings", "Absent", n));
  EXPECT_FALSE(store.GetText("Settings", "Absent", text));
}

TEST(QtSettingsStore, EnvironmentNamesTheFileAndDefaultsFillTheRest) {
  const std::string ini = TempFolder("qtenv") + "/env.ini";
  ASSERT_TRUE(WriteFileAtomically(ini, std::string("[Settings]\nUSBEnable=0\nComPort=7\n")));
  setenv("KOVA_SETTINGS", ini.c_str(), 1);
  QtSettingsStore store;
  unsetenv("KOVA_SETTINGS");
  EXPECT_EQ(store.Location(), ini);
  CAppInfo info;
  info.Load(store, "/tmp");
  EXPECT_EQ(info.usbactive, 0);
  EXPECT_EQ(info.comport, 7);
  EXPECT_EQ(info.baud, 115200);
  AppSettings s;
  LoadAppSettings(s, store, "/opt/kova/");
  EXPECT_EQ(s.ComPort, 7) << "both objects read the one stored port";
  EXPECT_EQ(s.TestFolder, "/opt/kova/Tests");
}

}  // namespace
}  // namespace kova
