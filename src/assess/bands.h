#pragma once
// Every band that flags a change or a difference, each default stated once:
// the record library's trend bands and the comparisons' bands. The settings
// keep every band in one unit, hundredths (of a percent; of a turn for the
// ratio), and take their defaults from here.

namespace kova {

// The library's trend: a change against the baseline or the previous test.
constexpr double kRatioTurnsBand = 1.0;       // turns: a warning
constexpr double kRatioTurnsAlarmBand = 3.0;  // turns: an alarm
constexpr double kExcitationWarnPercent = 5.0;
constexpr double kExcitationAlarmPercent = 10.0;
constexpr double kResistanceWarnPercent = 2.0;
constexpr double kResistanceAlarmPercent = 5.0;

struct TrendBands {
  double ratio_turns = kRatioTurnsBand;  // warn of a ratio change of at least this many turns
  double ratio_alarm_turns = kRatioTurnsAlarmBand;  // and alarm from this many
  double excitation_warn_percent = kExcitationWarnPercent;
  double excitation_alarm_percent = kExcitationAlarmPercent;
  double resistance_warn_percent = kResistanceWarnPercent;
  double resistance_alarm_percent = kResistanceAlarmPercent;
};

// The comparisons: a curve against its reference, the taps of a CT, sister
// phases, percent.
constexpr double kReferenceBandPercent = 5.0;
constexpr double kTapBandPercent = 2.0;
constexpr double kSisterBandPercent = 5.0;
// Sister phases tested further apart than this are not compared.
constexpr int kSisterSpanDays = 30;

// A comparison warns outside its band and alarms outside this many times
// the band (the library's excitation bands by default: 5 % and 10 %).
constexpr double kComparisonAlarmMultiple = 2.0;

struct ComparisonBands {
  double reference_percent = kReferenceBandPercent;
  double tap_percent = kTapBandPercent;
  double sister_percent = kSisterBandPercent;
  int sister_span_days = kSisterSpanDays;
  // Sister phases' ratios differ by turns, as the library's trend counts them.
  double ratio_warn_turns = kRatioTurnsBand;
  double ratio_alarm_turns = kRatioTurnsAlarmBand;
};

// How far outside its bands a change or a difference is; the same words
// wherever one is shown.
enum class BandFlag { kNone, kOk, kWarn, kAlarm };
// "", "OK", "WARN", "ALARM".
constexpr const char* BandFlagText(BandFlag flag) {
  return flag == BandFlag::kOk      ? "OK"
         : flag == BandFlag::kWarn  ? "WARN"
         : flag == BandFlag::kAlarm ? "ALARM"
                                    : "";
}
// `magnitude` (not negative) against a warning and an alarm level.
constexpr BandFlag BandLevel(double magnitude, double warn, double alarm) {
  return magnitude >= alarm  ? BandFlag::kAlarm
         : magnitude >= warn ? BandFlag::kWarn
                             : BandFlag::kOk;
}
constexpr BandFlag Worse(BandFlag a, BandFlag b) { return a > b ? a : b; }

// A band as the settings store it: in hundredths.
constexpr int kBandStoredPerUnit = 100;
// Rounded; a band that no int can hold stores as 0, which no band allows.
constexpr int BandToStored(double band) {
  const double stored = band * kBandStoredPerUnit;
  if (!(stored > -2e9 && stored < 2e9)) return 0;
  return static_cast<int>(stored + (stored < 0 ? -0.5 : 0.5));
}
constexpr double BandFromStored(int stored) {
  return static_cast<double>(stored) / kBandStoredPerUnit;
}

}  // namespace kova
