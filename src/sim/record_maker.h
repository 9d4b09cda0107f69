#pragma once
// Test records of the simulated instrument: what it measures on a
// transformer for the taps of a plan, encoded with the records encoder in
// the layout of its model.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/test_record.h"
#include "sim/ct_model.h"
#include "sim/sim_model.h"

namespace kova {

// One tap of a test as the plan asks for it.
struct SimTapPlan {
  int tap_code = 4;  // 1..10
  // Nameplate ratio the plan gives; 0 takes the transformer's own.
  int nameplate_primary = 0;
  double nameplate_secondary = 0;
  int test_type = kRatioTest | kResistanceTest | kExcitationTest;
  double voltage_range = 500;  // excitation voltage limit, V
  double current_range = 5;    // excitation current limit, A
  std::string note;
  double burden_va = 0, cos_phi = 0, sec_current = 0;
};

struct SimTestHeader {
  std::string datetime = "01/01/20 08:00:00";  // "MM/DD/YY hh:mm:ss"
  std::string company, station, circuit, manufacturer, model, serialnumber, comment, operatorname;
  int kneetype = 1;
  // 7100B/C plans: burden test current in tenths of an ampere, insulation
  // voltage in tens of volts.
  int burdencurrent = 50;
  int insulationvoltage = 100;
};

// Measures the taps on `ct` and builds the record (rawrecord encoded, named
// fields decoded from it, graph points and burden tables filled).
std::unique_ptr<TestRecord> MeasureTest(SimModel model, const CtModel& ct,
                                        const SimTestHeader& header,
                                        const std::vector<SimTapPlan>& taps, uint32_t seed);

// The stored test `index` (0-based) of an instrument made from `seed`: its
// own transformer, header and taps.
std::unique_ptr<TestRecord> MakeStoredTest(SimModel model, uint32_t seed, int index);

// The record text the instrument sends for a record (ends with "DONE").
std::string SimRecordText(const TestRecord& rec);

}  // namespace kova
