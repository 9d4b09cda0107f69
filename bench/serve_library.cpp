// Makes the library bench/serve_load.sh serves: CTS CTs of TESTS records
// each (FillLibrary: every state in the fleet), in a SQLite file.
//   serve_library OUT.sqlite [CTS] [TESTS]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "library_stores/open_library.h"
#include "library_support/library_records.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: serve_library OUT.sqlite [CTS] [TESTS]\n");
    return 2;
  }
  const std::string out = argv[1];
  const int cts = argc > 2 ? std::atoi(argv[2]) : 20000;
  const int tests = argc > 3 ? std::atoi(argv[3]) : 5;
  if (cts < 1 || tests < 1) {
    std::fprintf(stderr, "CTS and TESTS are numbers from 1\n");
    return 2;
  }
  kova::StoreOutcome outcome;
  auto store = kova::OpenLibrary(out, outcome, kova::LibraryUse::kFile);
  if (!store) {
    std::fprintf(stderr, "%s\n", outcome.detail.c_str());
    return 1;
  }
  const std::string sample = std::filesystem::path(out).parent_path().string() + "/sample";
  std::filesystem::create_directories(sample);
  kova::FillLibrary(*store, cts, tests, sample, true);
  kova::LibraryStats stats;
  if (!store->Stats(stats).ok()) return 1;
  std::printf("%lld CTs, %lld records\n", static_cast<long long>(stats.cts),
              static_cast<long long>(stats.records));
  return 0;
}
