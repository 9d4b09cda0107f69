#include "app/comparison_settings.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/settings_table.h"

namespace kova {
namespace {

// The stored bands: hundredths of a percent in the store, percent to the
// comparisons; a band kept before in per mille reads as the same band, the
// hundredths winning where both are stored; a value absent, out of range or
// of the wrong kind gives the default, and the table's defaults are the
// comparisons' own.
TEST(ComparisonSettings, StoredBandsLoadWithDefaultsAndRanges) {
  struct Row {
    const char* what;
    std::function<void(MemorySettingsStore&)> store;
    ComparisonBands want;
  };
  auto i = [](const char* name, int v) {
    return [=](MemorySettingsStore& s) { s.SetInt(kSettingsSection, name, v); };
  };
  auto both = [](const char* a, int va, const char* b, int vb) {
    return [=](MemorySettingsStore& s) {
      s.SetInt(kSettingsSection, a, va);
      s.SetInt(kSettingsSection, b, vb);
    };
  };
  const ComparisonBands d;  // 5 %, 2 %, 5 %, 30 days
  auto with = [&](double ref, double tap, double sister, int span) {
    ComparisonBands b;
    b.reference_percent = ref;
    b.tap_percent = tap;
    b.sister_percent = sister;
    b.sister_span_days = span;
    return b;
  };
  const Row rows[] = {
      {"nothing stored", [](MemorySettingsStore&) {}, with(5.0, 2.0, 5.0, 30)},
      {"reference 2.5 %", i("ReferenceBand", 250), with(2.5, 2.0, 5.0, 30)},
      {"taps 1 %", i("TapBand", 100), with(5.0, 1.0, 5.0, 30)},
      {"sisters 10 %", i("SisterBand", 1000), with(5.0, 2.0, 10.0, 30)},
      {"taps 0.25 %: finer than per mille", i("TapBand", 25), with(5.0, 0.25, 5.0, 30)},
      {"reference 2.5 % kept in per mille", i("ReferenceBandPermille", 25),
       with(2.5, 2.0, 5.0, 30)},
      {"taps 1 % kept in per mille", i("TapBandPermille", 10), with(5.0, 1.0, 5.0, 30)},
      {"sisters 10 % kept in per mille", i("SisterBandPermille", 100), with(5.0, 2.0, 10.0, 30)},
      {"both kept: the hundredths", both("TapBand", 300, "TapBandPermille", 10),
       with(5.0, 3.0, 5.0, 30)},
      {"hundredths out of range: the per mille kept before",
       both("TapBand", 0, "TapBandPermille", 10), with(5.0, 1.0, 5.0, 30)},
      {"span 7 days", i("SisterSpanDays", 7), with(5.0, 2.0, 5.0, 7)},
      {"span 0: same day only", i("SisterSpanDays", 0), with(5.0, 2.0, 5.0, 0)},
      {"a zero band flags everything", i("TapBand", 0), d},
      {"a negative band", i("ReferenceBand", -50), d},
      {"a band over 100 %", i("SisterBand", 10001), d},
      {"a per mille band over 100 %", i("SisterBandPermille", 1001), d},
      {"a span over ten years", i("SisterSpanDays", 3651), d},
      {"a band as text",
       [](MemorySettingsStore& s) { s.SetText(kSettingsSection, "TapBand", "2"); }, d},
  };
  EXPECT_DOUBLE_EQ(d.reference_percent, 5.0);
  EXPECT_DOUBLE_EQ(d.tap_percent, 2.0);
  EXPECT_DOUBLE_EQ(d.sister_percent, 5.0);
  EXPECT_EQ(d.sister_span_days, 30);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MemorySettingsStore store;
    r.store(store);
    const ComparisonBands got = LoadComparisonBands(store);
    EXPECT_DOUBLE_EQ(got.reference_percent, r.want.reference_percent);
    EXPECT_DOUBLE_EQ(got.tap_percent, r.want.tap_percent);
    EXPECT_DOUBLE_EQ(got.sister_percent, r.want.sister_percent);
    EXPECT_EQ(got.sister_span_days, r.want.sister_span_days);
  }
}

TEST(ComparisonSettings, ShowListsTheBandsWithTheirDefaultsAndUnit) {
  MemorySettingsStore store;
  store.SetInt(kSettingsSection, "TapBand", 150);
  int found = 0;
  for (const SettingShown& s : ShowSettings(store, {})) {
    const std::string unit = s.unit ? s.unit : "";
    if (s.name == "ReferenceBand" || s.name == "SisterBand") {
      EXPECT_EQ(s.value, "500");
      EXPECT_EQ(unit, "hundredths of a percent");
      ++found;
    } else if (s.name == "TapBand") {
      EXPECT_EQ(s.value, "150");
      EXPECT_EQ(s.default_value, "200");
      EXPECT_EQ(s.source, SettingSource::kStored);
      ++found;
    } else if (s.name == "ExcitationWarn" || s.name == "ResistanceAlarm") {
      EXPECT_EQ(unit, "hundredths of a percent");
      ++found;
    } else if (s.name == "RatioTurns" || s.name == "RatioAlarmTurns") {
      EXPECT_EQ(s.value, s.name == "RatioTurns" ? "100" : "300");
      EXPECT_EQ(unit, "hundredths of a turn");
      ++found;
    } else if (s.name == "TapBandPermille") {
      EXPECT_EQ(unit, "per mille");
      ++found;
    } else if (s.name == "SisterSpanDays") {
      EXPECT_EQ(s.value, "30");
      ++found;
    }
  }
  EXPECT_EQ(found, 9);
}

// Sister phases' ratios are judged by the library's ratio bands: a warning
// and an alarm in turns; an alarm below the warning is the warning.
TEST(ComparisonSettings, RatioWarningAndAlarmInTurns) {
  struct Row {
    int warn, alarm;  // stored hundredths of a turn; 0 not stored
    double want_warn, want_alarm;
  } rows[] = {{0, 0, 1.0, 3.0},
              {0, 500, 1.0, 5.0},
              {200, 600, 2.0, 6.0},
              {400, 0, 4.0, 4.0},
              {300, 150, 3.0, 3.0}};
  for (const Row& r : rows) {
    MemorySettingsStore store;
    if (r.warn) store.SetInt(kLibrarySection, "RatioTurns", r.warn);
    if (r.alarm) store.SetInt(kLibrarySection, "RatioAlarmTurns", r.alarm);
    const ComparisonBands b = LoadComparisonBands(store);
    EXPECT_DOUBLE_EQ(b.ratio_warn_turns, r.want_warn) << r.warn << " " << r.alarm;
    EXPECT_DOUBLE_EQ(b.ratio_alarm_turns, r.want_alarm) << r.warn << " " << r.alarm;
  }
}

// Days between two test dates as the decoder writes them: month ends, leap
// years, the century the two-digit year falls in, and dates that do not read.
TEST(ComparisonSettings, DaysApartOfTwoTestDates) {
  struct Row {
    const char* a;
    const char* b;
    bool day_first;
    int want;
  };
  const Row rows[] = {
      {"03/14/26 09:00:00", "03/14/26 23:59:59", false, 0},
      {"01/31/26 10:00:00", "02/01/26 10:00:00", false, 1},
      {"02/01/26 10:00:00", "01/31/26 10:00:00", false, 1},  // either order
      {"31/01/26 10:00:00", "01/02/26 10:00:00", true, 1},   // day first
      {"02/28/24 10:00:00", "03/01/24 10:00:00", false, 2},  // 2024 has 29 February
      {"02/28/25 10:00:00", "03/01/25 10:00:00", false, 1},
      {"12/31/99 10:00:00", "01/01/00 10:00:00", false, 1},  // 1999, then 2000
      {"01/01/26 10:00:00", "01/01/27 10:00:00", false, 365},
      {"", "01/01/27 10:00:00", false, -1},
      {"13/01/26 10:00:00", "01/01/26 10:00:00", false, -1},  // month 13
      {"01/00/26 10:00:00", "01/01/26 10:00:00", false, -1},  // day 0
      {"garbage", "01/01/26 10:00:00", false, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.a) + " / " + r.b);
    EXPECT_EQ(TestDaysApart(r.a, r.b, r.day_first), r.want);
  }
}

}  // namespace
}  // namespace kova
