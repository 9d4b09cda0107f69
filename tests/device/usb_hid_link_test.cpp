// UsbHidLink on the in-process HID backend: finding the instrument, the
// report framing both ways, pacing, failed writes, time-outs and abort.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/serial_com.h"
#include "device/usb_hid_link.h"
#include "sim/sim_hid_backend.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

constexpr uint16_t kVendor = 0x2A5F;

std::vector<uint8_t> Report(const std::string& payload, size_t length = 65) {
  std::vector<uint8_t> r(length, 0);
  for (size_t i = 0; i < payload.size() && i + 1 < length; ++i) r[i + 1] = payload[i];
  return r;
}

struct UsbRig {
  ScriptedPrompter prompter;
  SimHidBackend backend;
  UsbHidLink link{backend, kVendor};
  std::vector<uint32_t> pauses;

  UsbRig() {
    link.pause = [this](uint32_t ms) { pauses.push_back(ms); };
  }
  std::string Line(size_t capacity = 50, int timeout = 200) {
    char buffer[300];
    last_ok = link.ReadLine(buffer, capacity, timeout);
    return buffer;
  }
  bool last_ok = false;
};

TEST(UsbHidLinkFind, OnlyTheInstrumentsProductIdsAreTaken) {
  UsbRig rig;
  rig.backend.AddDevice("other-vendor", 0x1234, 0x8001, nullptr);
  rig.backend.AddDevice("pid-8000", kVendor, 0x8000, nullptr);
  rig.backend.AddDevice("pid-8010", kVendor, 0x8010, nullptr);
  EXPECT_FALSE(rig.link.Open());
  EXPECT_TRUE(rig.backend.OpenLog().empty());  // none of them was even opened

  rig.backend.AddDevice("pid-800F", kVendor, 0x800F, nullptr);
  rig.backend.AddDevice("pid-8001", kVendor, 0x8001, nullptr);
  EXPECT_TRUE(rig.link.Open());
  EXPECT_EQ(rig.backend.OpenPath(), "pid-800F");  // the first match wins

  EXPECT_TRUE(IsInstrumentHid(kVendor, 0x8001, kVendor));
  EXPECT_FALSE(IsInstrumentHid(kVendor, 0x8010, kVendor));
}

TEST(UsbHidLinkFind, InterfacesThatCannotOpenOrCannotHoldReportsAreSkipped) {
  UsbRig rig;
  rig.backend.AddDevice("busy", kVendor, 0x8001, nullptr, {}, false);
  rig.backend.AddDevice("huge-output", kVendor, 0x8002, nullptr, HidReportLengths{65, 300});
  rig.backend.AddDevice("good", kVendor, 0x8003, nullptr, HidReportLengths{33, 65});
  ASSERT_TRUE(rig.link.Open());
  EXPECT_EQ(rig.backend.OpenPath(), "good");
  EXPECT_EQ(rig.link.lengths().input, 33u);
  EXPECT_EQ(rig.backend.OpenLog(), (std::vector<std::string>{"busy", "huge-output", "good"}));
}

TEST(UsbHidLinkWrite, OneByteGoesInByteOneOfAZeroFilledReport) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Write("B", 1));  // opens by itself
  ASSERT_EQ(rig.backend.OutputReports().size(), 1u);
  EXPECT_EQ(rig.backend.OutputReports()[0], Report("B"));
  EXPECT_TRUE(rig.pauses.empty());
}

TEST(UsbHidLinkWrite, SixtyOneBytesAreTwoReportsAPauseApart) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  const std::string message(61, 'a');
  ASSERT_TRUE(rig.link.Write(message.data(), message.size()));
  ASSERT_EQ(rig.backend.OutputReports().size(), 2u);
  EXPECT_EQ(rig.backend.OutputReports()[0], Report(std::string(60, 'a')));
  EXPECT_EQ(rig.backend.OutputReports()[1], Report("a"));
  EXPECT_EQ(rig.pauses, std::vector<uint32_t>{100});
}

TEST(UsbHidLinkWrite, AFailedReportStartsTheMessageAgain) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  const std::string message = std::string(60, 'x') + "yz";
  rig.backend.FailWrites(1);
  ASSERT_TRUE(rig.link.Write(message.data(), message.size()));
  const auto& reports = rig.backend.OutputReports();
  ASSERT_EQ(reports.size(), 3u);  // failed first report, then both again
  EXPECT_EQ(reports[1], Report(std::string(60, 'x')));
  EXPECT_EQ(reports[2], Report("yz"));
}

TEST(UsbHidLinkWrite, ThreeFailuresCloseTheLinkAndTheNextWriteSearchesAgain) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  rig.backend.FailWrites(3);
  EXPECT_FALSE(rig.link.Write("W", 1));
  EXPECT_FALSE(rig.link.IsOpen());
  EXPECT_EQ(rig.backend.OutputReports().size(), 3u);
  EXPECT_TRUE(rig.link.Write("W", 1));
  EXPECT_EQ(rig.backend.OpenLog().size(), 2u);
}

TEST(UsbHidLinkRead, PayloadIsTheCountOfNonZeroBytes) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  rig.backend.QueueInputReport(Report("ABC\r\n"));
  EXPECT_EQ(rig.Line(), "ABC");
  EXPECT_TRUE(rig.last_ok);

  // Two lines in one report: the rest waits for the next read.
  rig.backend.QueueInputReport(Report("ONE\r\nTWO\r\n"));
  EXPECT_EQ(rig.Line(), "ONE");
  EXPECT_EQ(rig.Line(), "TWO");
  EXPECT_EQ(rig.backend.ReadCalls(), 2);

  // A zero inside the payload shortens what is taken by one byte from the
  // end and reads as a space.
  rig.backend.QueueInputReport(Report(std::string("A\0BC\rX", 6)));
  rig.backend.QueueInputReport(Report("\n"));
  EXPECT_EQ(rig.Line(), "A BC");
}

TEST(UsbHidLinkRead, ALineMaySpanReports) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  rig.backend.QueueInputReport(Report("KOVA-"));
  rig.backend.QueueInputReport(Report("7KA\r"));
  rig.backend.QueueInputReport(Report("\nNEXT\r\n"));
  EXPECT_EQ(rig.Line(), "KOVA-7KA");
  EXPECT_EQ(rig.Line(), "NEXT");
}

TEST(UsbHidLinkRead, AReportWithoutPayloadFailsTheRead) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  rig.backend.QueueInputReport(Report(""));
  uint8_t byte = 0;
  EXPECT_FALSE(rig.link.ReadExact(&byte, 1, 500));
}

TEST(UsbHidLinkRead, ReadingNeedsAnOpenLink) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  rig.backend.QueueInputReport(Report("X"));
  uint8_t byte = 0;
  EXPECT_TRUE(rig.link.ReadExact(&byte, 0, 100));
  EXPECT_FALSE(rig.link.ReadExact(&byte, 1, 100));
}

TEST(UsbHidLinkRead, TimeOutWaitsInShortSlices) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  uint8_t byte = 0;
  EXPECT_FALSE(rig.link.ReadExact(&byte, 1, 200));
  EXPECT_LE(rig.backend.LongestWaitMs(), kWaitSliceMs);
  EXPECT_GE(rig.backend.ReadCalls(), 5);
  // No wait at all with a time-out of 0.
  const int calls = rig.backend.ReadCalls();
  EXPECT_FALSE(rig.link.ReadExact(&byte, 1, 0));
  EXPECT_EQ(rig.backend.ReadCalls(), calls + 1);
}

TEST(UsbHidLinkRead, CancelEndsTheWaitAfterTheSliceItCameIn) {
  UsbRig rig;
  CancelToken token;
  rig.link.SetCancelToken(&token);
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  rig.backend.on_wait = [&] {
    if (rig.backend.ReadCalls() == 1) token.Cancel();
  };
  uint8_t byte = 0;
  EXPECT_FALSE(rig.link.ReadExact(&byte, 1, -1));
  EXPECT_LE(rig.backend.ReadCalls(), 2);
  rig.link.SetCancelToken(nullptr);
}

TEST(UsbHidLinkRead, CloseDiscardsWhatWasLeftOfAReport) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  rig.backend.QueueInputReport(Report("AB"));
  uint8_t byte = 0;
  ASSERT_TRUE(rig.link.ReadExact(&byte, 1, 100));
  EXPECT_EQ(byte, 'A');
  rig.link.Close();
  ASSERT_TRUE(rig.link.Open());
  rig.backend.QueueInputReport(Report("C"));
  ASSERT_TRUE(rig.link.ReadExact(&byte, 1, 100));
  EXPECT_EQ(byte, 'C');
}

TEST(UsbHidLinkRead, CapacityLimitAsOverTheSerialPort) {
  UsbRig rig;
  rig.backend.AddDevice("hid", kVendor, 0x8001, nullptr);
  ASSERT_TRUE(rig.link.Open());
  rig.backend.QueueInputReport(Report(std::string(48, 'q') + "\r\n"));
  EXPECT_EQ(rig.Line(50), std::string(48, 'q'));
  EXPECT_TRUE(rig.last_ok);
  rig.backend.QueueInputReport(Report(std::string(49, 'r') + "\r\n"));
  rig.Line(50);
  EXPECT_FALSE(rig.last_ok);

  rig.Line(50);  // the CR LF left of that line
  rig.backend.QueueInputReport(Report("AB\r\n"));
  char tiny[2] = {'#', '#'};
  EXPECT_FALSE(rig.link.ReadLine(tiny, 1, 1000));
  EXPECT_EQ(tiny[0], '\0');
  EXPECT_EQ(tiny[1], '#') << "nothing written past a capacity of 1";
}

}  // namespace
}  // namespace kova
