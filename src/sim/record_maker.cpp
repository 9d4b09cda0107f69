#include "sim/record_maker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/format.h"
#include "records/encode.h"
#include "records/record_layout.h"
#include "records/tap_names.h"
#include "sim/sim_random.h"

namespace kova {
namespace {

constexpr double kNotMeasuredPhase = 999.0;
constexpr int kLowestVoltageDivisor = 60;  // the sweep ends at 1/60 of its top

// The highest voltage and current the record layout can carry.
void FieldLimits(int deviceversion, double& max_volts, double& max_amps) {
  switch (deviceversion) {
    case 2:
      max_volts = 16000;
      max_amps = 160;
      break;
    case 4:
      max_volts = 20000;
      max_amps = 500;
      break;
    default:
      max_volts = 2600;
      max_amps = 13;
      break;
  }
}

bool HasPhaseColumn(int deviceversion) { return deviceversion == 2 || deviceversion == 4; }

// The excitation test: the instrument raises the voltage until the current
// or the voltage reaches the tap's limit, then records points on the way
// down in equal steps of log voltage.
void MeasureExcitation(const CtModel& ct, int turns, const SimTapPlan& plan, int deviceversion,
                       SimRandom& rng, TapTest& tap) {
  double max_volts = 0, max_amps = 0;
  FieldLimits(deviceversion, max_volts, max_amps);
  const double amps_limit = std::min(plan.current_range > 0 ? plan.current_range : 5.0, max_amps);
  const double volts_limit =
      std::min(plan.voltage_range > 0 ? plan.voltage_range : 500.0, max_volts);
  const double top = std::min(volts_limit, ct.VoltageAtCurrent(turns, amps_limit));
  if (top <= 0) return;
  const int points = LayoutFor(deviceversion).datapoints;
  const double step = std::pow(1.0 / kLowestVoltageDivisor, 1.0 / (points - 1));
  for (int i = 0; i < points; ++i) {
    const double volts = top * std::pow(step, i) * rng.Noise(0.001);
    tap.dpVolts[i] = volts;
    tap.dpAmps[i] = ct.ExcitationCurrent(turns, volts) * rng.Noise(0.004);
    tap.dpPhase[i] = HasPhaseColumn(deviceversion)
                         ? ct.ExcitationPhase(turns, volts) + rng.Uniform(-0.3, 0.3)
                         : 0.0;
  }
  // Graph points: 21 points of the same sweep, as plotted.
  const double graph_step = std::pow(1.0 / kLowestVoltageDivisor, 1.0 / (kGraphPointsPerTap - 1));
  for (int g = 0; g < kGraphPointsPerTap; ++g) {
    const double volts = top * std::pow(graph_step, g);
    tap.graph[g].gpVolts = volts;
    tap.graph[g].gpAmps = ct.ExcitationCurrent(turns, volts);
    tap.graph[g].gpAux = HasPhaseColumn(deviceversion) ? ct.ExcitationPhase(turns, volts) : 0.0;
  }
  // A knee beyond the top of the sweep was not reached: the instrument
  // reports none.
  const KneePoint k30 = ct.Knee30(turns), k45 = ct.Knee45(turns), k10 = ct.Knee1050(turns);
  if (k30.volts <= top) {
    tap.fKneeVtg30 = k30.volts;
    tap.fKneeCur30 = k30.amps;
  }
  if (k45.volts <= top) {
    tap.fKneeVtg45 = k45.volts;
    tap.fKneeCur45 = k45.amps;
  }
  if (k10.volts <= top) {
    tap.fKneeVtg10 = k10.volts;
    tap.fKneeCur10 = k10.amps;
  }
}

// The current ratio error at the standard burdens: the exciting current at
// the secondary voltage the burden needs, against the rated current.
std::string BurdenTable(const CtModel& ct, int turns) {
  static const double kBurdens[] = {0.1, 0.2, 0.5, 0.9, 1.8};
  const double rated = ct.SecondaryAmps();
  const double rct = ct.WindingResistance(turns) / 1000.0;
  std::string table = "STD BURDEN  OHMS   VSEC(V)   IEXC(A)   ERR(%)\r\n";
  for (double ohms : kBurdens) {
    const double vsec = rated * (rct + ohms);
    const double iexc = ct.ExcitationCurrent(turns, vsec);
    table += Format("B-%-9.1f %5.2f %9.3f %9.5f %8.3f\r\n", ohms, ohms, vsec, iexc,
                    -100.0 * iexc / rated);
  }
  return table;
}

void MeasureTap(const CtModel& ct, const SimTapPlan& plan, int deviceversion, bool burden_model,
                SimRandom& rng, TapTest& tap) {
  const int code = std::clamp(plan.tap_code, 1, 10);
  const int turns = ct.Turns(code);
  tap.nTapConnection = code;
  tap.uTestType = plan.test_type;
  tap.nNamePlateNum =
      plan.nameplate_primary > 0 ? plan.nameplate_primary : ct.NameplatePrimary(code);
  tap.fNamePlateDen = plan.nameplate_secondary > 0 ? plan.nameplate_secondary : ct.SecondaryAmps();
  tap.fVoltageRange = plan.voltage_range;
  tap.fCurrentRange = plan.current_range;
  tap.szTestNote = plan.note.substr(0, 20);
  tap.fBurdenVA = plan.burden_va;
  tap.fCosPhi = plan.cos_phi;
  tap.fSecCurrent = plan.sec_current;
  tap.fTestPhase = kNotMeasuredPhase;
  if (plan.test_type & kRatioTest) {
    // The ratio is measured well below the knee.
    tap.fTestRatioVtg = std::round(0.4 * ct.Knee45(turns).volts * 10.0) / 10.0;
    tap.fTestRatioCur = ct.ExcitationCurrent(turns, tap.fTestRatioVtg);
    tap.fTestRatio = ct.TurnsRatio(code) * rng.Noise(0.0002);
    const double phase = rng.Uniform(-0.08, 0.08);
    // The decoder's range is (-180, 180]: a reversed tap reads near +-180.
    tap.fTestPhase = ct.Reversed(code) ? (phase < 0 ? 180.0 + phase : -180.0 + phase) : phase;
    if (tap.fTestPhase == -180.0) tap.fTestPhase = 180.0;
  }
  if (plan.test_type & kResistanceTest) {
    tap.fWindingRes = ct.WindingResistance(turns) * rng.Noise(0.002);
  }
  if (plan.test_type & kExcitationTest) MeasureExcitation(ct, turns, plan, deviceversion, rng, tap);
  if (burden_model && plan.burden_va > 0 && turns > 0) tap.burdentable = BurdenTable(ct, turns);
}

}  // namespace

std::unique_ptr<TestRecord> MeasureTest(SimModel model, const CtModel& ct,
                                        const SimTestHeader& header,
                                        const std::vector<SimTapPlan>& taps, uint32_t seed) {
  auto rec = std::make_unique<TestRecord>();
  SimRandom rng(seed);
  rec->deviceversion = SimDeviceVersion(model);
  const int tests =
      std::min<int>(static_cast<int>(taps.size()), LayoutFor(rec->deviceversion).maxtests);
  rec->numtests = tests;
  rec->testdatetime = header.datetime;
  rec->company = header.company;
  rec->station = header.station;
  rec->circuit = header.circuit;
  rec->manufacturer = header.manufacturer;
  rec->model = header.model;
  rec->serialnumber = header.serialnumber;
  rec->comment = header.comment;
  rec->operatorname = header.operatorname;
  rec->KneeTypeName(header.kneetype);

  const bool burden_model = SimHasBurdenTests(model);
  int plan_bits = 0;
  for (int t = 0; t < tests; ++t) {
    MeasureTap(ct, taps[t], rec->deviceversion, burden_model, rng, rec->taps[t]);
    plan_bits |= taps[t].test_type;
  }
  if (burden_model && (plan_bits & kBurdenTest)) {
    // The burden of the connected secondary circuit at the test current.
    const double current = header.burdencurrent / 10.0;
    const double z = rng.Uniform(0.2, 1.6);
    const double angle = rng.Uniform(15.0, 60.0);
    rec->B200fBurdenReqCur = current;
    rec->B200fBurdenMeasCur = current * rng.Noise(0.001);
    rec->B200fBurdenZ = z;
    rec->B200fBurdenTestVtg = rec->B200fBurdenMeasCur * z;
    rec->B200fBurdenPhase = angle;
    rec->B200fBurdenCosPhi = std::cos(angle * 3.141592653589793 / 180.0);
    rec->B200fBurdenMeasVA = rec->B200fBurdenMeasCur * rec->B200fBurdenTestVtg;
  }
  if (burden_model && (plan_bits & kInsulationTest)) {
    const double volts = header.insulationvoltage * 10.0;
    const double megohms = rng.Uniform(400.0, 6000.0);
    rec->B200fMeggerReqV = volts;
    rec->B200fMeggerMeasV = volts * rng.Noise(0.003);
    rec->B200fMeggerOhms = megohms;
    rec->B200fMeggerL = rec->B200fMeggerMeasV / megohms;  // microamperes
  }

  // The binary record is the master copy: encode, then read the named
  // fields back from it as the program will. Graph points and burden tables
  // travel outside it.
  EncodeRawRecord(*rec, rec->rawrecord, false);
  uint8_t date[6];
  EncodeDateTime(header.datetime, false, date);  // the instrument's own order
  std::memcpy(rec->rawrecord + hdr::kDateTime, date, sizeof date);
  GraphPoint graphs[kMaxTaps][kGraphPointsPerTap];
  std::string tables[kMaxTaps];
  for (int t = 0; t < kMaxTaps; ++t) {
    std::memcpy(graphs[t], rec->taps[t].graph, sizeof graphs[t]);
    tables[t] = rec->taps[t].burdentable;
  }
  rec->DecodeRawRecord(rec->rawrecord, RecordDefaults());
  for (int t = 0; t < kMaxTaps; ++t) {
    std::memcpy(rec->taps[t].graph, graphs[t], sizeof graphs[t]);
    rec->taps[t].burdentable = tables[t];
  }
  return rec;
}

namespace {

const char* const kCompanies[] = {"ACME POWER", "NORTHERN GRID CO", "RIVERSIDE UTIL",
                                  "SUNVALE ENERGY", "METRO ELECTRIC"};
const char* const kStations[] = {"NORTH SUB", "ELM STREET", "HARBOR 115KV", "WEST YARD",
                                 "PINE RIDGE"};
const char* const kOperators[] = {"J. SMITH", "M. GARCIA", "A. NOVAK", "K. OKAFOR", "L. CHEN"};

// Taps an operator typically tests, the whole winding first.
constexpr int kTapChoice[] = {4, 1, 2, 3, 7, 6, 5, 9, 8, 10};

}  // namespace

std::unique_ptr<TestRecord> MakeStoredTest(SimModel model, uint32_t seed, int index) {
  const uint32_t test_seed = seed * 1000003u + static_cast<uint32_t>(index) * 7919u + 1u;
  SimRandom rng(test_seed);
  const CtModel ct = CtModel::FromSeed(test_seed);
  SimTestHeader header;
  // One test every few days, from the first of March 2019.
  const int day = index * 3 + static_cast<int>(seed % 5);
  const int month = 3 + (day / 28) % 9, mday = 1 + day % 28, year = 19 + day / 252;
  header.datetime = Format("%02d/%02d/%02d %02d:%02d:%02d", month, mday, year % 100,
                           8 + static_cast<int>(rng.Below(9)), static_cast<int>(rng.Below(60)),
                           static_cast<int>(rng.Below(60)));
  header.company = kCompanies[rng.Below(5)];
  header.station = kStations[rng.Below(5)];
  header.circuit = Format("FEEDER %u", 1 + rng.Below(40));
  header.manufacturer = ct.Manufacturer();
  header.model = ct.ModelText();
  header.serialnumber = ct.SerialNumber();
  header.comment = index % 2 == 0 ? "ANNUAL TEST" : "COMMISSIONING";
  header.operatorname = kOperators[rng.Below(5)];
  header.kneetype = 1 + static_cast<int>(rng.Below(3));

  const int maxtests = LayoutFor(SimDeviceVersion(model)).maxtests;
  const int count = model == SimModel::kR5 ? 1 : std::min<int>(maxtests, 1 + rng.Below(5));
  std::vector<SimTapPlan> taps;
  for (int t = 0; t < count; ++t) {
    SimTapPlan plan;
    plan.tap_code = kTapChoice[t];
    plan.voltage_range = 1000;
    plan.current_range = 2.5;
    plan.note = Format("%s PHASE %c", TapNameFromCode(plan.tap_code).c_str(), "ABC"[rng.Below(3)]);
    if (SimHasBurdenTests(model) && t == 0) {
      plan.burden_va = 12.5;
      plan.cos_phi = 0.9;
      plan.sec_current = ct.SecondaryAmps();
    }
    taps.push_back(plan);
  }
  // The plan's burden and insulation tests ride on its last tap.
  if (SimHasBurdenTests(model) && index % 2 == 0) {
    taps.back().test_type |= kBurdenTest | kInsulationTest;
  }
  return MeasureTest(model, ct, header, taps, test_seed ^ 0x5A5A5A5Au);
}

std::string SimRecordText(const TestRecord& rec) { return BuildRecordText(rec); }

}  // namespace kova
