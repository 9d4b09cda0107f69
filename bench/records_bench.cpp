// Reading and decoding a record file against reading the same file's bytes,
// for each model; parsing a full model-2 record text.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "records/encode.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::string SampleFile(int model) {
  static std::string dir = TempFolder("bench");
  const std::string path = dir + "/model" + std::to_string(model) + ".test";
  if (!FileExists(path)) {
    auto rec = MakeSampleRecord(model, model == 1 ? 20 : 10, 3);
    rec->WriteRecordFile(path);
  }
  return path;
}

void BM_ReadFileBytes(benchmark::State& state) {
  const std::string path = SampleFile(static_cast<int>(state.range(0)));
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    ReadFileBytes(path, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadFileBytes)->DenseRange(1, 4);

void BM_ReadRecordFile(benchmark::State& state) {
  const std::string path = SampleFile(static_cast<int>(state.range(0)));
  auto rec = std::make_unique<TestRecord>();
  for (auto _ : state) {
    bool ok = ReadRecordFile(*rec, path, RecordDefaults());
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_ReadRecordFile)->DenseRange(1, 4);

void BM_RecordTextParserModel2(benchmark::State& state) {
  auto src = MakeSampleRecord(2, 10, 3);
  for (int t = 0; t < 10; ++t)
    src->taps[t].burdentable = "B-0.1   0.12   0.3\r\nB-0.2   0.2   0.3\r\n";
  RecordTextOptions options;
  options.graph_digits = 7;
  const std::string text = BuildRecordText(*src, options);
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 2;
  for (auto _ : state) {
    bool ok = ReadRecordText(*rec, text, RecordDefaults());
    benchmark::DoNotOptimize(ok);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RecordTextParserModel2);

}  // namespace
}  // namespace kova

BENCHMARK_MAIN();
