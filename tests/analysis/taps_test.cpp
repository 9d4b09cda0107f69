#include "analysis/taps.h"

#include <gtest/gtest.h>

#include "records/test_record.h"

namespace kova {
namespace {

TEST(Taps, NamesAndCodesMatchExactly) {
  EXPECT_EQ(TapCodeFromName("X4-X5"), 10);
  EXPECT_EQ(TapCodeFromName("x4-x5"), 1);
  EXPECT_EQ(TapCodeFromName(""), 1);
  EXPECT_EQ(TapCodeFromName("X1-X5 "), 1);
  EXPECT_EQ(TapNameFromCode(0), "");
  EXPECT_EQ(TapNameFromCode(11), "");
  for (int code = 1; code <= kTapCodes; ++code) {
    EXPECT_EQ(TapCodeFromName(TapNameFromCode(code)), code);
  }
}

TEST(Taps, PositionsFollowThePlanTables) {
  const int expected[kTapCodes] = {3, 2, 1, 0, 6, 5, 4, 8, 7, 9};
  for (int code = 1; code <= kTapCodes; ++code) EXPECT_EQ(TapPosition(code), expected[code - 1]);
  EXPECT_EQ(TapPosition(0), 0);
  EXPECT_EQ(TapPosition(11), 0);
}

TEST(Taps, OrderCodeRepeatsTheLastEntry) {
  EXPECT_EQ(TapOrderCode("X1-X5,X1-X4", 1), 4);
  EXPECT_EQ(TapOrderCode("X1-X5,X1-X4", 2), 3);
  EXPECT_EQ(TapOrderCode("X1-X5,X1-X4", 3), 3);
  EXPECT_EQ(TapOrderCode("X1-X5,X1-X4", 10), 3);
  EXPECT_EQ(TapOrderCode("", 1), 1);
  EXPECT_EQ(TapOrderCode("", 7), 1);
  const std::string order = DefaultTapOrder();
  for (int k = 1; k <= kTapCodes; ++k) EXPECT_EQ(TapOrderCode(order, k), k);
}

TEST(Taps, OrderedTestsListEachTestOnceAndSkipMissingTaps) {
  TestRecord rec;
  rec.numtests = 3;
  rec.taps[0].nTapConnection = 1;  // X1-X2
  rec.taps[1].nTapConnection = 4;  // X1-X5
  rec.taps[2].nTapConnection = 4;  // a second X1-X5: never listed
  rec.taporder = "X1-X5,X2-X3,X1-X2";
  int out[kTapCodes];
  ASSERT_EQ(OrderedTests(rec, out), 2);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 0);
  // With positions: X1-X5 is first in the order, X1-X2 third (X2-X3 has no test).
  const std::vector<OrderedTest> listed = OrderedTestsWithPositions(rec);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].position, 1);
  EXPECT_EQ(listed[0].test, 1);
  EXPECT_EQ(listed[1].position, 3);
  EXPECT_EQ(listed[1].test, 0);

  // Ten times the same name lists the test once, not ten times.
  rec.taporder = "X1-X5";
  ASSERT_EQ(OrderedTests(rec, out), 1);
  EXPECT_EQ(out[0], 1);

  // A test whose tap is not in the order has no place.
  rec.taporder = "X2-X3";
  EXPECT_EQ(OrderedTests(rec, out), 0);
}

TEST(Taps, FindingTestsByCodeAndOrderPosition) {
  TestRecord rec;
  rec.numtests = 2;
  rec.taps[0].nTapConnection = 2;
  rec.taps[1].nTapConnection = 3;
  rec.taps[2].nTapConnection = 5;  // beyond numtests: not a test
  rec.taporder = "X1-X4,X1-X3,X2-X3";
  EXPECT_EQ(FindTestByCode(rec, 3), 1);
  EXPECT_EQ(FindTestByCode(rec, 5), -1);
  EXPECT_EQ(TestForOrderPosition(rec, 0), 1);
  EXPECT_EQ(TestForOrderPosition(rec, 1), 0);
  EXPECT_EQ(TestForOrderPosition(rec, 2), 0);  // no X2-X3 test: 0
}

}  // namespace
}  // namespace kova
