// The simulated instrument's two transports: the serial line paced at its
// byte rate, and USB reports of at most 60 payload bytes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_line.h"

namespace kova {
namespace {

SimOptions Options(SimModel model) {
  SimOptions o;
  o.model = model;
  o.tests = 2;
  return o;
}

TEST(SimSerialLine, RepliesArriveAtTenBitsPerByte) {
  SimInstrument sim(Options(SimModel::k7100));
  SimSerialLine line(sim, 19200, /*paced=*/true);
  line.Write(reinterpret_cast<const uint8_t*>("d"), 1, 1000);
  // 19200 bit/s: 1920 bytes a second, 0.52 ms a byte.
  EXPECT_EQ(line.Arrived(1000), 0u);
  EXPECT_EQ(line.Arrived(1010), 19u);
  EXPECT_EQ(line.Arrived(1100), 192u);
  EXPECT_EQ(line.MsUntilNext(1100), 0);  // bytes wait to be read
  uint8_t buffer[300];
  EXPECT_EQ(line.Read(buffer, sizeof buffer, 1100), 192u);
  EXPECT_EQ(line.MsUntilNext(1100), 1);  // the next byte is on the wire
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "#1\r");
  EXPECT_EQ(line.Arrived(1100), 0u);
}

TEST(SimSerialLine, UnpacedRepliesArriveAtOnce) {
  SimInstrument sim(Options(SimModel::k7100));
  SimSerialLine line(sim, 115200, /*paced=*/false);
  line.Write(reinterpret_cast<const uint8_t*>("B"), 1, 5);
  EXPECT_EQ(line.Arrived(5), 5u);
  EXPECT_EQ(line.MsUntilNext(5), 0);
  line.PurgeArrived(5);
  EXPECT_EQ(line.Arrived(5), 0u);
  EXPECT_EQ(line.MsUntilNext(5), -1);
}

TEST(SimSerialLine, AtTheWrongSpeedNothingIsUnderstood) {
  SimInstrument sim(Options(SimModel::k7100));
  SimSerialLine line(sim, 115200, false);
  line.SetProgramBaud(19200);
  line.Write(reinterpret_cast<const uint8_t*>("B\rW"), 3, 0);
  EXPECT_EQ(line.Arrived(0), 0u);
  EXPECT_EQ(sim.Received().find('B'), std::string::npos);
  line.SetProgramBaud(115200);
  line.Write(reinterpret_cast<const uint8_t*>("B"), 1, 0);
  EXPECT_EQ(line.Arrived(0), 5u);
}

uint32_t g_fake_now = 0;
uint32_t FakeClock() { return g_fake_now; }

TEST(SimHidBackend, RepliesComeInReportsOfSixtyPayloadBytes) {
  SimInstrument sim(Options(SimModel::k7KA));
  SimHidBackend hid(&FakeClock);
  hid.AddDevice("hid-0", 0x2A5F, 0x8001, &sim);
  HidReportLengths lengths;
  ASSERT_TRUE(hid.Open("hid-0", lengths));
  std::vector<uint8_t> out(65, 0);
  out[1] = 'd';
  ASSERT_TRUE(hid.WriteReport(out.data(), out.size()));
  std::string received;
  std::vector<uint8_t> report(65);
  int reports = 0;
  while (hid.ReadReport(report.data(), report.size(), 0) == HidReadStatus::kReport) {
    ++reports;
    EXPECT_EQ(report[0], 0);
    size_t payload = 0;
    while (payload < 64 && report[1 + payload] != 0) ++payload;
    EXPECT_LE(payload, 60u);
    for (size_t i = payload + 1; i < 65; ++i) EXPECT_EQ(report[i], 0);
    received.append(reinterpret_cast<char*>(report.data() + 1), payload);
  }
  EXPECT_GT(reports, 2);
  EXPECT_EQ(received.substr(0, 4), "#1\r\n");
  EXPECT_EQ(received.substr(received.size() - 6), "DONE\r\n");
}

TEST(SimHidBackend, ReportsCanBePacedOneAtATime) {
  SimInstrument sim(Options(SimModel::k7KA));
  SimHidBackend hid(&FakeClock);
  hid.SetReportInterval(8);
  hid.AddDevice("hid-0", 0x2A5F, 0x8001, &sim);
  HidReportLengths lengths;
  ASSERT_TRUE(hid.Open("hid-0", lengths));
  g_fake_now = 100;
  std::vector<uint8_t> report(65, 0);
  report[1] = 'W';
  ASSERT_TRUE(hid.WriteReport(report.data(), report.size()));
  EXPECT_EQ(hid.ReadReport(report.data(), report.size(), 0), HidReadStatus::kReport);
  sim.Receive("d", g_fake_now);
  EXPECT_EQ(hid.ReadReport(report.data(), report.size(), 0), HidReadStatus::kTimeout);
  g_fake_now = 108;
  EXPECT_EQ(hid.ReadReport(report.data(), report.size(), 0), HidReadStatus::kReport);
}

}  // namespace
}  // namespace kova
