// Compaction and import at 10^5 and 10^6 records: remakeDatabase after a
// tenth of the locations were deleted; merge of n records into an empty
// database; merge of n into n of which half are equal, with replace true
// and false. sync_ms is the time to flush a freshly written file of the new
// file's size to storage, the part of each figure that the sync costs.
// Goals: each 10^6 figure under 13 times its 10^5 figure; memory holds the
// directories and a few records, never the data file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>

#include "bench/QuietInfo.h"
#include "bench/SyntheticData.h"
#include "datafile/BMTFile.h"
#include "datafile/InfoDevice.h"
#include "platform/File.h"

namespace {

// Milliseconds to sync a fresh file of the given size.
double syncMilliseconds(const std::string& path, long bytes) {
  std::vector<char> block(1 << 20, 'x');
  platform::File f;
  f.open(path, platform::File::kReadWriteCreate);
  for (long at = 0; at < bytes; at += static_cast<long>(block.size())) {
    f.writeAt(at, block.data(), block.size());
  }
  auto start = std::chrono::steady_clock::now();
  f.sync();
  auto end = std::chrono::steady_clock::now();
  f.close();
  std::remove(path.c_str());
  return std::chrono::duration<double, std::milli>(end - start).count();
}

void BM_CompactAfterDeletingATenth(benchmark::State& state) {
  const long n = state.range(0);
  bench::ScratchDir dir;
  std::string data = dir.file("c.bmt");
  double sync = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bench::writeRecords(data, bench::syntheticRecords(n));
    std::remove(dir.file("c.dir").c_str());
    auto db = std::make_unique<BMTFile>(data.c_str());
    // Every tenth location of the location list.
    long step = 0;
    db->directory->deleteLocations([&](const Location&) { return step++ % 10 == 0; });
    sync = syncMilliseconds(dir.file("sync"), n * 9 / 10 * kLocationDataSize);
    state.ResumeTiming();
    db->remakeDatabase();
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  state.counters["sync_ms"] = sync;
  state.counters["peak_MB"] = bench::peakMegabytes();
}

void merge(benchmark::State& state, long targetSize, bool halfEqual, bool replace) {
  const long n = state.range(0);
  bench::ScratchDir dir;
  std::string target = dir.file("t.bmt"), source = dir.file("s.bmt");
  std::vector<LocationData> theirs = bench::syntheticRecords(n, 2);
  if (halfEqual) {
    std::vector<LocationData> mine = bench::syntheticRecords(n, 3);
    for (long i = 0; i < n; i += 2) mine[static_cast<std::size_t>(i)] = theirs[i];
    bench::writeRecords(target, mine);
  }
  bench::writeRecords(source, theirs);
  theirs.clear();
  theirs.shrink_to_fit();
  { BMTFile s(source.c_str()); }
  double sync = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (targetSize == 0) std::remove(target.c_str());
    if (halfEqual) {
      std::vector<LocationData> mine = bench::syntheticRecords(n, 3);
      std::vector<LocationData> copy = bench::syntheticRecords(n, 2);
      for (long i = 0; i < n; i += 2) mine[static_cast<std::size_t>(i)] = copy[i];
      bench::writeRecords(target, mine);
    }
    std::remove(dir.file("t.dir").c_str());
    auto t = std::make_unique<BMTFile>(target.c_str());
    auto s = std::make_unique<BMTFile>(source.c_str());
    sync = syncMilliseconds(dir.file("sync"), (halfEqual ? n * 3 / 2 : n) * kLocationDataSize);
    QuietInfo info;
    state.ResumeTiming();
    t->merge(*s, replace, info);
    state.PauseTiming();
    t.reset();
    s.reset();
    state.ResumeTiming();
  }
  state.counters["sync_ms"] = sync;
  state.counters["peak_MB"] = bench::peakMegabytes();
}

void BM_ImportIntoEmpty(benchmark::State& state) { merge(state, 0, false, false); }
void BM_ImportHalfEqualReplace(benchmark::State& state) { merge(state, 1, true, true); }
void BM_ImportHalfEqualKeep(benchmark::State& state) { merge(state, 1, true, false); }

#define SIZES ->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1)
BENCHMARK(BM_CompactAfterDeletingATenth) SIZES;
BENCHMARK(BM_ImportIntoEmpty) SIZES;
BENCHMARK(BM_ImportHalfEqualReplace) SIZES;
BENCHMARK(BM_ImportHalfEqualKeep) SIZES;

}  // namespace

BENCHMARK_MAIN();
