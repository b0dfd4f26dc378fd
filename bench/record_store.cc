// The record store at 10^4, 10^5 and 10^6 records: opening with a rebuild
// of the directory, opening from the directory file, destroying with a
// save, and one getLocationData (a read through the data file the database
// holds open) and one setLocationData (a write under the database's
// exclusive lock; bench_locking measures the lock's share). Goals: opening
// from the directory file faster than rebuilding; each 10^6 figure under 13
// times its 10^5 figure.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "bench/SyntheticData.h"
#include "datafile/BMTFile.h"

namespace {

struct Database {
  bench::ScratchDir dir;
  std::string data = dir.file("bench.bmt");
  std::string index = dir.file("bench.dir");
  explicit Database(long n) { bench::writeRecords(data, bench::syntheticRecords(n)); }
};

void BM_OpenWithRebuild(benchmark::State& state) {
  Database db(state.range(0));
  for (auto _ : state) {
    std::remove(db.index.c_str());
    auto file = std::make_unique<BMTFile>(db.data.c_str());
    benchmark::DoNotOptimize(file->directory->locationCount);
    state.PauseTiming();
    file.reset();  // saves
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = bench::peakMegabytes();
}

void BM_OpenFromDirectoryFile(benchmark::State& state) {
  Database db(state.range(0));
  { BMTFile first(db.data.c_str()); }  // leaves a fresh directory file
  for (auto _ : state) {
    auto file = std::make_unique<BMTFile>(db.data.c_str());
    benchmark::DoNotOptimize(file->directory->locationCount);
    state.PauseTiming();
    file.reset();  // unchanged: writes nothing
    state.ResumeTiming();
  }
  state.counters["peak_MB"] = bench::peakMegabytes();
}

void BM_DestroyWithSave(benchmark::State& state) {
  Database db(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::remove(db.index.c_str());
    auto file = std::make_unique<BMTFile>(db.data.c_str());
    state.ResumeTiming();
    file.reset();
  }
}

void BM_GetLocationData(benchmark::State& state) {
  Database db(state.range(0));
  BMTFile file(db.data.c_str());
  std::mt19937 rng(5);
  LocationData r;
  for (auto _ : state) {
    file.getLocationData(static_cast<long>(rng() % state.range(0)), r);
    benchmark::DoNotOptimize(r.latitude);
  }
}

void BM_SetLocationData(benchmark::State& state) {
  Database db(state.range(0));
  BMTFile file(db.data.c_str());
  std::mt19937 rng(6);
  LocationData r = bench::syntheticRecords(1)[0];
  for (auto _ : state) file.setLocationData(static_cast<long>(rng() % state.range(0)), r);
}

#define SIZES ->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_OpenWithRebuild) SIZES->Iterations(3);
BENCHMARK(BM_OpenFromDirectoryFile) SIZES->Iterations(3);
BENCHMARK(BM_DestroyWithSave) SIZES->Iterations(3);
BENCHMARK(BM_GetLocationData)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetLocationData)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
