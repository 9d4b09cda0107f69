#include "support/record_fixtures.h"

#include <unistd.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "base/format.h"
#include "records/encode.h"
#include "records/record_layout.h"

namespace kova {

std::unique_ptr<TestRecord> MakeSampleRecord(int model, int tests, unsigned seed) {
  auto rec = std::make_unique<TestRecord>();
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> jitter(-1.0, 1.0);
  rec->deviceversion = model;
  rec->numtests = tests;
  rec->testdatetime = "12/31/15 10:45:00";
  rec->company = "ACME POWER";
  rec->station = "NORTH SUB";
  rec->circuit = "FEEDER 12";
  rec->manufacturer = "HELMARK";
  rec->model = "CT-600";
  rec->serialnumber = Format("SN%05u", seed);
  rec->comment = "ANNUAL TEST";
  rec->operatorname = "J. SMITH";
  rec->kneetype = 1;
  static const int kCodes[10] = {4, 3, 2, 1, 7, 6, 5, 9, 8, 10};
  static const int kRatio[10] = {600, 500, 400, 300, 450, 350, 250, 200, 150, 100};
  const int points = LayoutFor(model).datapoints;
  for (int t = 0; t < tests && t < kMaxTaps; ++t) {
    TapTest& tap = rec->taps[t];
    const int code = kCodes[t % 10];
    const double turns = kRatio[t % 10] / 5.0;
    tap.nTapConnection = code;
    tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
    tap.nNamePlateNum = kRatio[t % 10];
    tap.fNamePlateDen = 5.0;
    tap.fTestRatio = turns * (1.0 + 0.002 * jitter(rng));
    tap.fTestPhase = 0.1 * jitter(rng);
    tap.fWindingRes = 2.5 * turns + 5.0;
    tap.fTestRatioCur = 0.05;
    tap.fTestRatioVtg = 10.0;
    const double vknee = 2.0 * turns;
    for (int i = 0; i < points; ++i) {
      const double v = vknee * 1.6 * std::pow(0.85, i);
      tap.dpVolts[i] = v;
      tap.dpAmps[i] = 0.002 * std::pow(v / vknee, 6) + 0.0005 * v / vknee;
      tap.dpPhase[i] = model == 2 || model == 4 ? 20.0 + 40.0 * i / points : 0.0;
    }
    tap.fKneeVtg30 = vknee;
    tap.fKneeCur30 = 0.0025;
    tap.fKneeVtg45 = vknee * 0.9;
    tap.fKneeCur45 = 0.002;
    tap.fKneeVtg10 = vknee * 1.1;
    tap.fKneeCur10 = 0.004;
    tap.fVoltageRange = 500;
    tap.fCurrentRange = 2.5;
    tap.szTestNote = Format("TAP %d", t + 1);
    for (int g = 0; g < kGraphPointsPerTap; ++g) {
      const int i = g * points / kGraphPointsPerTap;
      tap.graph[g].gpAmps = tap.dpAmps[i];
      tap.graph[g].gpVolts = tap.dpVolts[i];
      tap.graph[g].gpAux = 0;
    }
  }
  if (model == 2) {
    rec->taps[0].uTestType |= kBurdenTest | kInsulationTest;
    rec->taps[0].fBurdenVA = 12.5;
    rec->taps[0].fCosPhi = 0.8;
    rec->taps[0].fSecCurrent = 5.0;
    rec->B200fBurdenReqCur = 5;
    rec->B200fBurdenMeasCur = 4.998;
    rec->B200fBurdenTestVtg = 2.5;
    rec->B200fBurdenZ = 0.5;
    rec->B200fBurdenPhase = 36.87;
    rec->B200fBurdenCosPhi = 0.8;
    rec->B200fBurdenMeasVA = 12.495;
    rec->B200fMeggerReqV = 1000;
    rec->B200fMeggerMeasV = 1002.5;
    rec->B200fMeggerL = 0.52;
    rec->B200fMeggerOhms = 1925.5;
  }
  Reencode(*rec);
  return rec;
}

void Reencode(TestRecord& rec) {
  EncodeRawRecord(rec, rec.rawrecord, false);
  // Graph points and burden tables live outside the binary record.
  auto keep = std::make_unique<TestRecord>(rec);
  rec.DecodeRawRecord(rec.rawrecord, RecordDefaults());
  for (int t = 0; t < kMaxTaps; ++t) {
    std::memcpy(rec.taps[t].graph, keep->taps[t].graph, sizeof rec.taps[t].graph);
    rec.taps[t].burdentable = keep->taps[t].burdentable;
  }
}

std::string TempFolder(const std::string& name) {
  namespace fs = std::filesystem;
  static const fs::path root = [] {
    fs::path p = fs::temp_directory_path() / Format("kova-tests-%d", static_cast<int>(::getpid()));
    fs::create_directories(p);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(
          fs::temp_directory_path() / Format("kova-tests-%d", static_cast<int>(::getpid())), ec);
    });
    return p;
  }();
  const fs::path folder = root / name;
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  return folder.string();
}

}  // namespace kova
