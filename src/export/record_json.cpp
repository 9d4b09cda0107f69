#include "export/record_json.h"

#include <algorithm>

#include "base/codepage.h"
#include "records/plan_blocks_json.h"
#include "records/record_header.h"
#include "records/record_text.h"
#include "records/test_label.h"

namespace kova {
namespace {

JsonValue Text(const std::string& cp1252) { return JsonValue::String(Cp1252ToUtf8(cp1252)); }
JsonValue Num(double d) { return JsonValue::Number(d); }
JsonValue Int(int64_t n) { return JsonValue::Integer(n); }

// The list keeps the record's order; each test carries the number the
// report gives it, so a reader finds "Test 2" without counting.
JsonValue TapToJson(const TapTest& tap, int index) {
  JsonValue t = JsonValue::Object();
  t.Set("report_number", Int(ReportTestNumber(index)));
  JsonValue graph = JsonValue::Array();
  for (const GraphPoint& gp : tap.graph) {
    JsonValue p = JsonValue::Array();
    p.Push(Num(gp.gpAmps));
    p.Push(Num(gp.gpVolts));
    p.Push(Num(gp.gpAux));
    graph.Push(std::move(p));
  }
  t.Set("graphpoints", std::move(graph));
  t.Set("fKneeVtg10", Num(tap.fKneeVtg10));
  t.Set("fKneeCur10", Num(tap.fKneeCur10));
  t.Set("fKneeVtg30", Num(tap.fKneeVtg30));
  t.Set("fKneeCur30", Num(tap.fKneeCur30));
  t.Set("fKneeVtg45", Num(tap.fKneeVtg45));
  t.Set("fKneeCur45", Num(tap.fKneeCur45));
  t.Set("fTestRatioCur", Num(tap.fTestRatioCur));
  t.Set("fTestRatioVtg", Num(tap.fTestRatioVtg));
  t.Set("fTestRatio", Num(tap.fTestRatio));
  t.Set("fTestPhase", Num(tap.fTestPhase));
  t.Set("fWindingRes", Num(tap.fWindingRes));
  t.Set("nNamePlateNum", Int(tap.nNamePlateNum));
  t.Set("fNamePlateDen", Num(tap.fNamePlateDen));
  t.Set("nTapConnection", Int(tap.nTapConnection));
  t.Set("uTestType", Int(tap.uTestType));
  JsonValue points = JsonValue::Array();
  for (int i = 0; i < kMaxDataPoints; ++i) {
    JsonValue p = JsonValue::Array();
    p.Push(Num(tap.dpAmps[i]));
    p.Push(Num(tap.dpVolts[i]));
    p.Push(Num(tap.dpPhase[i]));
    points.Push(std::move(p));
  }
  t.Set("datapoints", std::move(points));
  t.Set("szTestNote", Text(tap.szTestNote));
  t.Set("burdentable", Text(tap.burdentable));
  t.Set("fVoltageRange", Num(tap.fVoltageRange));
  t.Set("fCurrentRange", Num(tap.fCurrentRange));
  t.Set("bDoBurdenTest", Int(tap.bDoBurdenTest));
  t.Set("fBurdenVA", Num(tap.fBurdenVA));
  t.Set("fCosPhi", Num(tap.fCosPhi));
  t.Set("fSecCurrent", Num(tap.fSecCurrent));
  t.Set("testimagefile", Text(tap.testimagefile));
  t.Set("tapclass", Text(tap.tapclass));
  JsonValue rows = JsonValue::Array();
  for (const BurdenRow& row : tap.taprows) rows.Push(BurdenRowToJson(row));
  t.Set("taprows", std::move(rows));
  t.Set("taptrace", Text(tap.taptrace));
  return t;
}

}  // namespace

JsonValue RcfPointToJson(const RcfPoint& p) {
  JsonValue o = JsonValue::Object();
  o.Set("V1", Num(p.V1));
  o.Set("V2", Num(p.V2));
  o.Set("I1", Num(p.I1));
  o.Set("I2", Num(p.I2));
  o.Set("P1", Num(p.P1));
  o.Set("P2", Num(p.P2));
  o.Set("RCF", Num(p.RCF));
  o.Set("found", Int(p.found));
  o.Set("I", Num(p.I));
  o.Set("Phs", Num(p.Phs));
  o.Set("theta", Num(p.theta));
  o.Set("trace", Text(p.trace));
  o.Set("rcftext", Text(p.rcftext));
  return o;
}

JsonValue BurdenRowToJson(const BurdenRow& row) {
  JsonValue o = JsonValue::Object();
  o.Set("Z", Num(row.Z));
  o.Set("Rb", Num(row.Rb));
  o.Set("Xb", Num(row.Xb));
  o.Set("Ztot", Num(row.Ztot));
  o.Set("Vsec", Num(row.Vsec));
  o.Set("name", Text(row.name));
  o.Set("meteringclass", Text(row.meteringclass));
  o.Set("Vsec10", Num(row.Vsec10));
  o.Set("rcf10", RcfPointToJson(row.rcf10));
  o.Set("rcf100", RcfPointToJson(row.rcf100));
  o.Set("rowtext", Text(row.rowtext));
  return o;
}

JsonValue RecordToJson(const TestRecord& rec) {
  JsonValue r = JsonValue::Object();
  r.Set("deviceversion", Int(rec.deviceversion));
  r.Set("testnote", Text(rec.testnote));
  r.Set("frequency", Int(rec.frequency));
  r.Set("filename", JsonValue::String(SystemNameToUtf8(rec.filename)));
  r.Set("testdatetime", Text(rec.testdatetime));
  for (const HeaderFieldRow& row : HeaderFieldTable()) {
    if (row.record_name != nullptr) r.Set(row.record_name, Text(row.value(rec)));
  }
  r.Set("kneetype", Int(rec.kneetype));
  r.Set("kneetypestr", Text(rec.kneetypestr));
  r.Set("rawrecord", JsonValue::String(BytesToHex(rec.rawrecord, kRawRecordSize)));
  r.Set("numtests", Int(rec.numtests));
  JsonValue taps = JsonValue::Array();
  const int n = std::max(0, std::min(rec.numtests, kMaxTaps));
  for (int t = 0; t < n; ++t) taps.Push(TapToJson(rec.taps[t], t));
  r.Set("taps", std::move(taps));
  r.Set("devicefile", Int(rec.devicefile));
  r.Set("B200fBurdenReqCur", Num(rec.B200fBurdenReqCur));
  r.Set("B200fBurdenMeasCur", Num(rec.B200fBurdenMeasCur));
  r.Set("B200fBurdenTestVtg", Num(rec.B200fBurdenTestVtg));
  r.Set("B200fBurdenZ", Num(rec.B200fBurdenZ));
  r.Set("B200fBurdenPhase", Num(rec.B200fBurdenPhase));
  r.Set("B200fBurdenCosPhi", Num(rec.B200fBurdenCosPhi));
  r.Set("B200fBurdenMeasVA", Num(rec.B200fBurdenMeasVA));
  r.Set("B200fMeggerReqV", Num(rec.B200fMeggerReqV));
  r.Set("B200fMeggerMeasV", Num(rec.B200fMeggerMeasV));
  r.Set("B200fMeggerL", Num(rec.B200fMeggerL));
  r.Set("B200fMeggerOhms", Num(rec.B200fMeggerOhms));
  r.Set("taporder", Text(rec.taporder));
  r.Set("fullpath", JsonValue::String(SystemNameToUtf8(rec.fullpath)));
  r.Set("burdenenabled", Int(rec.burdenenabled));
  r.Set("insulationenabled", Int(rec.insulationenabled));
  r.Set("imagefile", Text(rec.imagefile));

  AddPlanBlocksJson(r, rec.passfail, rec.resistance, rec.classsettings, false);

  r.Set("Rct75", Num(rec.Rct75));
  r.Set("Tmeas", Num(rec.Tmeas));
  r.Set("Rmeas", Num(rec.Rmeas));
  r.Set("classdone", Int(rec.classdone));
  r.Set("IRated", Num(rec.IRated));
  r.Set("vmultiple", Num(rec.vmultiple));
  r.Set("classresult", Text(rec.classresult));
  r.Set("classtap", Text(rec.classtap));
  r.Set("tapmode", Text(rec.tapmode));
  r.Set("calctext", Text(rec.calctext));
  JsonValue rows = JsonValue::Array();
  for (const BurdenRow& row : rec.rows) rows.Push(BurdenRowToJson(row));
  r.Set("rows", std::move(rows));
  return r;
}

}  // namespace kova
