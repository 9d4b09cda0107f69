// Report lengths read from HID report descriptors.

#include <gtest/gtest.h>

#include <vector>

#include "device/hid_report_descriptor.h"

namespace kova {
namespace {

bool Lengths(const std::vector<uint8_t>& d, HidReportLengths& out) {
  return ReportLengthsFromDescriptor(d.data(), d.size(), out);
}

TEST(HidReportDescriptor, VendorDefinedSixtyFourBytesEachWay) {
  const std::vector<uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                  0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01,
                                  0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0};
  HidReportLengths l;
  ASSERT_TRUE(Lengths(d, l));
  EXPECT_EQ(l.input, 65u);
  EXPECT_EQ(l.output, 65u);
}

TEST(HidReportDescriptor, TheLongestReportOfEachDirectionCounts) {
  // Report 1: 32 input bytes; report 2: 63 input bytes in two fields of
  // bits; output: 16 bytes under a pushed count, then 8 after the pop.
  const std::vector<uint8_t> d = {0x85, 0x01, 0x75, 0x08, 0x95, 0x20, 0x81, 0x02, 0x85,
                                  0x02, 0x95, 0x3E, 0x81, 0x02, 0x75, 0x01, 0x95, 0x08,
                                  0x81, 0x02, 0x75, 0x08, 0xA4, 0x95, 0x10, 0x91, 0x02,
                                  0xB4, 0x85, 0x03, 0x95, 0x08, 0x91, 0x02};
  HidReportLengths l;
  ASSERT_TRUE(Lengths(d, l));
  EXPECT_EQ(l.input, 64u);   // 62 + 1 bytes of report 2, and the id
  EXPECT_EQ(l.output, 17u);  // report 2's 16 bytes beat report 3's 8
}

TEST(HidReportDescriptor, LongItemsAreSkippedAndTruncationFails) {
  std::vector<uint8_t> d = {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08,
                            0x95, 0x04, 0x81, 0x02, 0x91, 0x02};
  HidReportLengths l;
  ASSERT_TRUE(Lengths(d, l));
  EXPECT_EQ(l.input, 5u);
  d.resize(d.size() - 1);  // an Output item missing its data byte
  EXPECT_FALSE(Lengths(d, l));
  EXPECT_FALSE(Lengths({0xFE, 0x05, 0x00, 0x01}, l));
  EXPECT_FALSE(Lengths({0x75, 0x08, 0x95, 0x04, 0x81, 0x02}, l));  // no output report
}

TEST(HidReportDescriptor, HugeCountsAreCapped) {
  const std::vector<uint8_t> d = {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF,
                                  0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02, 0x91, 0x02};
  HidReportLengths l;
  ASSERT_TRUE(Lengths(d, l));
  EXPECT_EQ(l.input, 65536u);
  EXPECT_EQ(l.output, 65536u);
}

}  // namespace
}  // namespace kova
