// The one table from an instrument outcome to its words: every code has its
// text (the texts users and the instrument's manual know, pinned here), and
// the listener both faces install shows exactly that text.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "device/device_status.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

DeviceStatus Port(DeviceCode code, const std::string& port, long error, const std::string& why) {
  DeviceStatus s = DeviceStatus::Numbered(code, error, why);
  s.port = port;
  return s;
}

DeviceStatus Folder(const std::string& folder) {
  DeviceStatus s(DeviceCode::kFolderUnopened);
  s.file = folder;
  return s;
}

struct Case {
  DeviceStatus status;
  const char* caption;
  const char* text;
};

const Case kCases[] = {
    {DeviceStatus::Ok(), "KOVA-7100", ""},
    {DeviceStatus::Cancelled(), "KOVA-7100", ""},
    {DeviceStatus(DeviceCode::kTimedOut), "KOVA-7100", "The instrument did not ask for the plan"},
    {DeviceStatus::NoDevice("COM3", "port busy"), "KOVA-7100",
     "Device not available (COM3: port busy)"},
    {DeviceStatus::NoDevice("USB", "no instrument answers"), "KOVA-7100",
     "Device not available (USB: no instrument answers)"},
    {Port(DeviceCode::kPortUnopened, "/dev/ttyS9", 2, "no such port"), "Warning",
     "Can't open com port for device /dev/ttyS9 error=2 (no such port)"},
    {Port(DeviceCode::kPortUnopened, "COM4", 5, ""), "Warning",
     "Can't open com port for device COM4 error=5"},
    {DeviceStatus(DeviceCode::kPortSpeedRefused), "Warning", "Can't initialize com port"},
    {DeviceStatus(DeviceCode::kPortSettingsRefused), "Warning", "Can't initialize com settings"},
    {DeviceStatus(DeviceCode::kGone), "KOVA-7100",
     "The instrument is gone (disconnected or switched off)"},
    {DeviceStatus(DeviceCode::kSendFailed), "KOVA-7100", "Can't send data to device"},
    {DeviceStatus::With(DeviceCode::kSendFailed, "getdirectory"), "KOVA-7100",
     "Can't send data to device (getdirectory)"},
    {DeviceStatus(DeviceCode::kRequestFailed), "KOVA-7100", "Can't communicate with RUDM"},
    {DeviceStatus::With(DeviceCode::kReadFailed, "loadtest"), "KOVA-7100",
     "Can't read data from device (loadtest)"},
    {DeviceStatus::With(DeviceCode::kGarbled, "device"), "KOVA-7100",
     "Error reading data from device"},
    {DeviceStatus::With(DeviceCode::kGarbled, "RUDM"), "KOVA-7100", "Error reading data from RUDM"},
    {DeviceStatus::With(DeviceCode::kForeignDevice, "", "ACME SCOPE"), "KOVA-7100",
     "The device that answers is no KOVA instrument: \"ACME SCOPE\""},
    {DeviceStatus(DeviceCode::kNoIdentification), "KOVA-7100",
     "No identification from the instrument"},
    {DeviceStatus::With(DeviceCode::kModelMismatch, "7KA", "7100"), "KOVA-7100",
     "Test plan type 7KA does not match device 7100 connected to this PC"},
    {DeviceStatus::Numbered(DeviceCode::kTestRefused, 1000, "number out of range"), "KOVA-7100",
     "Can't load test 1000, number out of range"},
    {DeviceStatus::Numbered(DeviceCode::kNumberOutOfRange, 1000), "KOVA-7100",
     "Plan number 1000 is out of range (0 to 999)"},
    {DeviceStatus::Numbered(DeviceCode::kSlotOutOfRange, 129), "KOVA-7100",
     "Plan slot 129 is out of range (1 to 128)"},
    {DeviceStatus(DeviceCode::kUploadUnanswered), "KOVA-7100",
     "Unable to transfer testplan to device"},
    {DeviceStatus::With(DeviceCode::kUploadUnanswered, "", "no response"), "KOVA-7100",
     "Unable to transfer testplan to device (no response)"},
    {DeviceStatus::Numbered(DeviceCode::kDirectoryLimit, 150), "KOVA-7100",
     "Directory limit of 150 exceeded"},
    {DeviceStatus::Numbered(DeviceCode::kPromptUnread, 2), "KOVA-7100",
     "Unable to read test prompt #2 from device"},
    {DeviceStatus::WriteFailed("/x/T.test", "the disk is full"), "KOVA-7100",
     "Can't write file /x/T.test: the disk is full"},
    {DeviceStatus::WriteFailed("/x/T.test", ""), "KOVA-7100", "Can't write file /x/T.test"},
    {Folder("/gone"), "KOVA-7100", "Can't open folder /gone"},
    {DeviceStatus::BatchAborted(2, 5), "KOVA-7100", "Download aborted: 2 of 5 saved"},
};

TEST(DeviceStatusTable, EveryCodeHasItsTextAndTheSharedListenerShowsIt) {
  std::set<DeviceCode> covered;
  std::set<std::string> names;
  for (const Case& c : kCases) {
    const DeviceStatus& s = c.status;
    SCOPED_TRACE(DeviceCodeName(s.code));
    covered.insert(s.code);
    names.insert(DeviceCodeName(s.code));
    EXPECT_EQ(DeviceStatusText(s), c.text);
    EXPECT_STREQ(DeviceStatusCaption(s), c.caption);
    // Only ok is success; Abort is silent but still a failure of the call.
    EXPECT_EQ(static_cast<bool>(s), s.code == DeviceCode::kOk);
    EXPECT_EQ(s.Silent(), std::string(c.text).empty());

    ScriptedPrompter face;
    ShowDeviceStatus(face, s);
    if (s.Silent()) {
      EXPECT_TRUE(face.messages().empty());
    } else {
      ASSERT_EQ(face.messages().size(), 1u);
      EXPECT_EQ(face.messages()[0].caption, c.caption);
      EXPECT_EQ(face.messages()[0].text, c.text);
      EXPECT_EQ(face.messages()[0].buttons, Buttons::Ok);
    }
  }
  for (DeviceCode code : kAllDeviceCodes) {
    EXPECT_TRUE(covered.count(code)) << DeviceCodeName(code) << " has no pinned text";
  }
  EXPECT_EQ(names.size(), std::size(kAllDeviceCodes));  // every name tells one code apart
}

}  // namespace
}  // namespace kova
