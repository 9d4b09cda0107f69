#include "library_support/library_records.h"

#include <filesystem>

#include "analysis/read_record.h"
#include "base/format.h"
#include "library/record_entry.h"
#include "library/record_store.h"
#include "sim/record_maker.h"

namespace kova {

std::string LibrarySerial(int n) { return Format("SN%05d", n); }

std::vector<std::string> WriteLibraryRecords(const std::string& folder,
                                             const LibraryRecordSet& set) {
  std::vector<std::string> paths;
  for (int n = set.first_ct; n < set.first_ct + set.cts; ++n) {
    const CtModel ct = CtModel::FromSeed(static_cast<uint32_t>(1000 + (set.one_design ? 0 : n)));
    const std::filesystem::path sub = std::filesystem::path(folder) / Format("ct%03d", n / 100);
    std::filesystem::create_directories(sub);
    SimTestHeader header;
    header.manufacturer = "KOVA SIM";
    header.serialnumber = LibrarySerial(n);
    header.station = Format("STATION %d", n % set.stations) + set.station_extra;
    header.circuit = Format("FEEDER %d", n % set.circuits);
    header.model = ct.ModelText();
    header.kneetype = 2;
    std::vector<SimTapPlan> taps(2);
    taps[1].tap_code = 1;
    for (int t = 0; t < set.tests_per_ct; ++t) {
      header.datetime = Format("%02d/%02d/%02d 09:%02d:00", 1 + n % 12, 1 + n % 28, 10 + t, t);
      auto rec = MeasureTest(SimModel::k7100, ct, header, taps, static_cast<uint32_t>(n * 97 + t));
      const std::string path = (sub / Format("SN%05d-%02d.test", n, t)).string();
      if (rec->WriteRecordFile(path)) paths.push_back(path);
    }
  }
  return paths;
}

bool SampleEntry(const std::string& folder, RecordEntry& out) {
  const std::string sample = WriteLibraryRecords(folder, {1, 1, 0, ""}).at(0);
  auto rec = std::make_unique<TestRecord>();
  if (!ReadRecordFile(*rec, sample, RecordDefaults())) return false;
  EntryFromRecord(*rec, out);
  return true;
}

int MixedState(int ct) {
  const int n = ct % 10;
  return n < 6 ? 0 : n < 8 ? 1 : n < 9 ? 2 : 3;
}

void FillLibrary(RecordStore& store, int cts, int tests, const std::string& folder,
                 bool mixed_states) {
  RecordEntry base;
  if (!SampleEntry(folder, base)) return;
  std::vector<RecordEntry> batch;
  std::vector<AddResult> results;
  std::vector<std::string> refused;
  for (int ct = 0; ct < cts; ++ct)
    for (int t = 0; t < tests; ++t) {
      RecordEntry e = base;
      e.ct.serialnumber = LibrarySerial(ct);
      e.ct.station = Format("STATION %d", ct % 97);
      e.ct.circuit = Format("FEEDER %d", ct % 40);
      e.ct.key = CtKey(e.ct.manufacturer, e.ct.serialnumber);
      e.test_date = Format("%04d-06-01 09:00:00", 2000 + 4 * t);
      e.identity.content_hash = Format("%064d", ct * tests + t);
      e.identity.path = Format("/records/ct%05d/test%d.test", ct, t);
      const int drift = mixed_states && t + 1 == tests ? MixedState(ct) : 0;
      for (TestRow& row : e.tests) {
        row.test_date = e.test_date;
        if (drift == 1) row.rct75 *= 1.03;
        if (drift == 2) row.rct75 *= 1.06;
        if (drift == 3) row.pass_fail = "FAIL";
      }
      batch.push_back(std::move(e));
      // Filed a thousand at a time: one transaction each.
      if (batch.size() == 1000) {
        store.AddRecords(batch, results, refused);
        batch.clear();
      }
    }
  if (!batch.empty()) store.AddRecords(batch, results, refused);
}

}  // namespace kova
