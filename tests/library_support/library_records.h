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
};

// Writes the files into `folder` (a subfolder per hundred CTs) and returns
// their paths. CT n has manufacturer "KOVA SIM", serial "SN%05d", station
// "STATION %d" (n % 7), circuit "FEEDER %d" (n % 40).
std::vector<std::string> WriteLibraryRecords(const std::string& folder,
                                             const LibraryRecordSet& set);

// Fills `store` with cts x tests records made from one simulated record
// (written into `folder`), each with its own CT, date, path and content
// hash: a big library without as many files.
class RecordStore;
void FillLibrary(RecordStore& store, int cts, int tests, const std::string& folder);

// The serial number of CT n.
std::string LibrarySerial(int n);

}  // namespace kova
