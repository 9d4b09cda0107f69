#pragma once
// Record files for library tests and benchmarks, made by the simulated
// instrument: `cts` transformers tested `tests_per_ct` times a year apart.

#include <string>
#include <vector>

namespace kova {

struct LibraryRecordSet {
  int cts = 3;
  int tests_per_ct = 2;
  int first_ct = 0;           // CT numbers first_ct .. first_ct + cts - 1
  std::string station_extra;  // appended to every station name
  int stations = 7, circuits = 40;
  bool one_design = false;  // every CT of one design (as the three phases of a circuit)
};

// Writes the files into `folder` (a subfolder per hundred CTs) and returns
// their paths. CT n has manufacturer "KOVA SIM", serial "SN%05d", station
// "STATION %d" (n % stations), circuit "FEEDER %d" (n % circuits); test t
// of CT n is dated month 1 + n % 12, day 1 + n % 28, year 2010 + t.
std::vector<std::string> WriteLibraryRecords(const std::string& folder,
                                             const LibraryRecordSet& set);

// Fills `store` with cts x tests records made from one simulated record
// (written into `folder`), each with its own CT, date, path and content
// hash: a big library without as many files. With `mixed_states` the
// latest test of CT n drifts by its number (MixedState): the fleet holds
// every state.
class RecordStore;
void FillLibrary(RecordStore& store, int cts, int tests, const std::string& folder,
                 bool mixed_states = false);
// What the latest Rct75 of CT n does in a mixed library: 0 steady, 1 up 3 %
// (a warning), 2 up 6 % (an alarm), 3 failed by the plan.
int MixedState(int ct);

// The entry of one simulated record (written into `folder`): two taps.
struct RecordEntry;
bool SampleEntry(const std::string& folder, RecordEntry& out);

// The serial number of CT n.
std::string LibrarySerial(int n);

}  // namespace kova
