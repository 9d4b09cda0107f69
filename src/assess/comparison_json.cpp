#include "assess/comparison_json.h"

#include "base/codepage.h"

namespace kova {
namespace {

JsonValue Text(const std::string& cp1252) { return JsonValue::String(Cp1252ToUtf8(cp1252)); }

JsonValue Flag(BandFlag flag) {
  return flag == BandFlag::kNone ? JsonValue::Null() : JsonValue::String(BandFlagText(flag));
}

JsonValue Bands(double warn, double alarm) {
  JsonValue o = JsonValue::Object();
  o.Set("warn", JsonValue::Number(warn));
  o.Set("alarm", JsonValue::Number(alarm));
  return o;
}

JsonValue ReferenceJson(const ReferenceComparison& c) {
  JsonValue o = JsonValue::Object();
  o.Set("report_number", JsonValue::Integer(c.test));
  o.Set("label", Text(c.label));
  o.Set("band_percent", Bands(c.band_percent, c.band_percent * kComparisonAlarmMultiple));
  o.Set("compared", JsonValue::Bool(c.done));
  if (!c.done) {
    o.Set("problem", Text(c.problem));
    return o;
  }
  o.Set("turns", JsonValue::Number(c.turns));
  o.Set("knee_measured_volts", c.has_knee ? JsonValue::Number(c.knee_measured) : JsonValue());
  o.Set("knee_reference_volts", c.has_knee ? JsonValue::Number(c.knee_reference) : JsonValue());
  o.Set("knee_deviation_percent", c.has_knee ? JsonValue::Number(c.knee_deviation) : JsonValue());
  o.Set("points_compared", JsonValue::Integer(c.compared));
  const bool any = c.compared > 0;
  o.Set("largest_deviation_percent", any ? JsonValue::Number(c.largest_deviation) : JsonValue());
  o.Set("at_volts", any ? JsonValue::Number(c.at_volts) : JsonValue());
  o.Set("at_amps", any ? JsonValue::Number(c.at_amps) : JsonValue());
  o.Set("flag", Flag(c.flag));
  return o;
}

JsonValue TapsJson(const std::vector<TapComparison>& taps, double band) {
  JsonValue o = JsonValue::Object();
  o.Set("band_percent", Bands(band, band * kComparisonAlarmMultiple));
  const bool pair = !taps.empty() && taps[0].pair;
  o.Set("against", taps.empty() ? JsonValue() : JsonValue::String(pair ? "pair" : "median"));
  JsonValue list = JsonValue::Array();
  for (const TapComparison& t : taps) {
    JsonValue j = JsonValue::Object();
    j.Set("report_number", JsonValue::Integer(t.test));
    j.Set("tap", Text(t.tap));
    j.Set("label", Text(t.label));
    j.Set("knee_volts", JsonValue::Number(t.knee));
    j.Set("turns", JsonValue::Number(t.turns));
    j.Set("volts_per_turn", JsonValue::Number(t.per_turn));
    // Of a pair: how far the two differ, never negative.
    j.Set(t.pair ? "difference_percent" : "deviation_percent", JsonValue::Number(t.deviation));
    j.Set("flag", Flag(t.flag));
    list.Push(std::move(j));
  }
  o.Set("taps", std::move(list));
  return o;
}

JsonValue QuantityJson(const SisterQuantity& q, bool ratio) {
  if (!q.has) return JsonValue::Null();
  JsonValue o = JsonValue::Object();
  o.Set("value", JsonValue::Number(q.value));
  const bool judged = q.flag != BandFlag::kNone;
  o.Set("against", judged ? JsonValue::String(q.pair ? "pair" : "median") : JsonValue());
  if (judged) {
    o.Set(q.pair ? "difference_percent" : "deviation_percent", JsonValue::Number(q.deviation));
    if (ratio) o.Set(q.pair ? "difference_turns" : "deviation_turns", JsonValue::Number(q.turns));
  }
  o.Set("flag", Flag(q.flag));
  return o;
}

JsonValue SistersJson(const SisterComparison& c) {
  JsonValue o = JsonValue::Object();
  o.Set("tap", Text(c.tap));
  o.Set("knee_read_at_amps", JsonValue::Number(c.current));
  o.Set("band_percent",
        Bands(c.bands.sister_percent, c.bands.sister_percent * kComparisonAlarmMultiple));
  o.Set("ratio_band_turns", Bands(c.bands.ratio_warn_turns, c.bands.ratio_alarm_turns));
  JsonValue list = JsonValue::Array();
  for (const SisterRow& r : c.rows) {
    JsonValue j = JsonValue::Object();
    j.Set("name", Text(r.name));
    j.Set("serial", Text(r.serial));
    j.Set("circuit", Text(r.circuit));
    j.Set("tested", Text(r.tested));
    j.Set("file", Text(r.file));
    j.Set("report_number", r.test > 0 ? JsonValue::Integer(r.test) : JsonValue());
    j.Set("label", r.test > 0 ? Text(r.label) : JsonValue());
    j.Set("knee_volts", QuantityJson(r.knee_at_current, false));
    j.Set("ratio", QuantityJson(r.ratio, true));
    j.Set("turns_ratio_error_percent",
          r.has_turns_error ? JsonValue::Number(r.turns_error_percent) : JsonValue());
    j.Set("rct75_ohms", QuantityJson(r.rct75, false));
    j.Set("flag", Flag(r.flag));
    list.Push(std::move(j));
  }
  o.Set("phases", std::move(list));
  o.Set("flag", Flag(c.flag));
  return o;
}

}  // namespace

JsonValue ComparisonJson(const ReferenceComparison* reference,
                         const std::vector<TapComparison>& taps, double tap_band_percent,
                         const SisterComparison* sisters, const std::vector<std::string>& notes) {
  JsonValue o = JsonValue::Object();
  BandFlag worst = BandFlag::kOk;
  o.Set("reference", reference ? ReferenceJson(*reference) : JsonValue());
  if (reference) worst = Worse(worst, reference->flag);
  o.Set("taps", TapsJson(taps, tap_band_percent));
  for (const TapComparison& t : taps) worst = Worse(worst, t.flag);
  o.Set("sister_phases", sisters ? SistersJson(*sisters) : JsonValue());
  if (sisters) worst = Worse(worst, sisters->flag);
  JsonValue n = JsonValue::Array();
  for (const std::string& note : notes) n.Push(Text(note));
  o.Set("notes", std::move(n));
  o.Set("flag", Flag(worst));
  return o;
}

}  // namespace kova
