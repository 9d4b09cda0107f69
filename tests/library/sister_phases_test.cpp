#include "library/sister_phases.h"

#include <gtest/gtest.h>

namespace kova {
namespace {

TEST(SisterPhases, DaysApartOfLibraryDates) {
  struct Case {
    const char* a;
    const char* b;
    int days;
  } const cases[] = {
      {"2010-02-02 09:00:00", "2010-03-03 09:01:00", 29},
      {"2012-02-28", "2012-03-01", 2},  // leap year
      {"2011-02-28", "2011-03-01", 1},
      {"1999-12-31 23:59:59", "2000-01-01 00:00:00", 1},
      {"2000-01-01", "1999-12-31", 1},  // either order
      {"2010-13-01", "2010-01-01", -1},
      {"", "2010-01-01", -1},
      {"2010/01/01", "2010-01-01", -1},
      {"201", "2010-01-01", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(LibraryDaysApart(c.a, c.b), c.days) << c.a << " " << c.b;
}

CtTestRow Row(const char* serial, const char* date) {
  CtTestRow r;
  r.ct.key = std::string("K\x1f") + serial;
  r.ct.serialnumber = serial;
  r.test.test_date = date;
  return r;
}

std::string Chosen(const SisterChoice& c) {
  std::string out;
  for (const SisterCandidate& s : c.chosen) out += s.ct.serialnumber + "@" + s.test.test_date + " ";
  return out;
}

// Per CT the test nearest in time, inside the span or named as outside it;
// dates that do not read cannot be judged and are left out.
TEST(SisterPhases, OneTestPerCtNearestInTime) {
  const std::vector<CtTestRow> rows = {
      Row("A", "2009-06-01"), Row("A", "2010-01-10"), Row("A", "2011-01-01"),
      Row("B", "2010-02-14"),  // 44 days after 2010-01-01
      Row("C", "garbage"),    Row("D", "garbage"),    Row("D", "2010-01-02"),
  };
  struct Case {
    const char* what;
    const char* date;
    int span;
    const char* chosen;
    size_t too_far, undated;
  } const cases[] = {
      {"span 30", "2010-01-01", 30, "A@2010-01-10 D@2010-01-02 ", 1, 1},
      {"span 43 leaves B out", "2010-01-01", 43, "A@2010-01-10 D@2010-01-02 ", 1, 1},
      {"span 44 takes B", "2010-01-01", 44, "A@2010-01-10 B@2010-02-14 D@2010-01-02 ", 0, 1},
      {"span 0", "2010-01-02", 0, "D@2010-01-02 ", 2, 1},
      {"own date unread: each CT's latest", "", 0,
       "A@2011-01-01 B@2010-02-14 C@garbage D@2010-01-02 ", 0, 0},
  };
  for (const Case& c : cases) {
    const SisterChoice choice = ChooseSisters(rows, c.date, c.span);
    EXPECT_EQ(Chosen(choice), c.chosen) << c.what;
    EXPECT_EQ(choice.too_far.size(), c.too_far) << c.what;
    EXPECT_EQ(choice.undated.size(), c.undated) << c.what;
  }
}

// A record that holds the tap twice stands for its CT by the retest, the
// last of them, whether the dates read or not.
TEST(SisterPhases, ARetestStandsForItsRecord) {
  auto test = [](const char* serial, const char* date, const char* hash, int index) {
    CtTestRow r = Row(serial, date);
    r.test.content_hash = hash;
    r.test.tap_index = index;
    return r;
  };
  const std::vector<CtTestRow> rows = {
      test("A", "2010-01-03", "h1", 0), test("A", "2010-01-03", "h1", 2),
      test("A", "2010-01-02", "h0", 1),  // another record, further and earlier
      test("B", "2010-01-05", "h2", 1), test("B", "2010-01-05", "h2", 4),
      test("B", "2010-01-05", "h3", 0),  // same day, another record: the first kept
  };
  for (const char* date : {"2010-01-04", ""}) {
    const SisterChoice choice = ChooseSisters(rows, date, 30);
    ASSERT_EQ(choice.chosen.size(), 2u) << date;
    EXPECT_EQ(choice.chosen[0].test.tap_index, 2) << date;
    EXPECT_EQ(choice.chosen[1].test.content_hash, "h2") << date;
    EXPECT_EQ(choice.chosen[1].test.tap_index, 4) << date;
  }
}

}  // namespace
}  // namespace kova
