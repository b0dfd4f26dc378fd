// What the database lock costs an operation. 10^4 appends
// (addLocationData) and 10^4 rewrites of random records (setLocationData)
// on a database of 10^4 records with its directory file saved: "own_lock"
// as a host that holds no lock does them, each operation taking the lock
// exclusively and giving it back; "lock_held" while a MetDatabaseLock of
// this process holds the lock exclusively, so that the operations' own
// holds nest and only count. A rewrite does everything else (the check
// that the data file was not replaced, the stat of the directory file, the
// write) in both, so the difference of its two per-operation times is the
// cost of taking and releasing the lock; an append under a held lock
// moreover pays those checks once per hold, not per append. Then one
// MetDatabaseLock lock()+unlock() pair, shared and exclusive, with no other
// holder, and a shared pair nested inside an exclusive hold.
//
// Times are per operation (per pair) in microseconds; every benchmark runs
// five times on a fresh database and reports the least of the five ("_min"),
// since the machine's other load only ever adds time.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/SyntheticData.h"
#include "datafile/BMTFile.h"
#include "datafile/MetDatabaseLock.h"
#include "module/CurrentDatabase.h"

namespace {

constexpr long kRecords = 10000;
constexpr long kOperations = 10000;

double least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// A database of kRecords records whose directory file is saved and up to
// date, as a host finds one it opens again.
struct Database {
  bench::ScratchDir dir;
  std::string data = dir.file("lock.bmt");
  Database() {
    bench::writeRecords(data, bench::syntheticRecords(kRecords));
    BMTFile first(data.c_str());  // rebuilds, and saves the directory file when deleted
  }
};

// Takes the database lock exclusively for the whole benchmark when held is
// set; false (the benchmark skipped) when it cannot be had.
bool holdIfAsked(benchmark::State& state, MetDatabaseLock& lock, bool held) {
  if (!held || lock.lock(MetDatabaseLock::kExclusive, 0)) return true;
  state.SkipWithError(getMetLastError());
  return false;
}

void BM_Append(benchmark::State& state, bool held) {
  Database db;
  MetDatabaseLock lock(db.data.c_str());
  BMTFile file(db.data.c_str());
  if (!holdIfAsked(state, lock, held)) return;
  LocationData r = bench::syntheticRecords(1, 7)[0];
  long last = -1;
  for (auto _ : state) last = file.addLocationData(r);
  if (last != kRecords + static_cast<long>(state.iterations()) - 1) {
    state.SkipWithError("an append failed");
  }
}

void BM_Rewrite(benchmark::State& state, bool held) {
  Database db;
  MetDatabaseLock lock(db.data.c_str());
  BMTFile file(db.data.c_str());
  if (!holdIfAsked(state, lock, held)) return;
  std::vector<LocationData> records = bench::syntheticRecords(2, 7);
  std::mt19937 rng(8);
  long index = 0;
  std::size_t which = 0;
  for (auto _ : state) {
    index = static_cast<long>(rng() % kRecords);
    which ^= 1;
    file.setLocationData(index, records[which]);
  }
  LocationData back;
  file.getLocationData(index, back);
  if (std::memcmp(&back, &records[which], sizeof back) != 0)
    state.SkipWithError("a rewrite failed");
}

enum class Pair { kShared, kExclusive, kSharedNested };

void BM_LockPair(benchmark::State& state, Pair pair) {
  Database db;
  MetDatabaseLock outer(db.data.c_str());
  MetDatabaseLock lock(db.data.c_str());
  if (!holdIfAsked(state, outer, pair == Pair::kSharedNested)) return;
  auto mode = pair == Pair::kExclusive ? MetDatabaseLock::kExclusive : MetDatabaseLock::kShared;
  long taken = 0;
  for (auto _ : state) {
    taken += lock.lock(mode, 0) ? 1 : 0;
    lock.unlock();
  }
  if (taken != static_cast<long>(state.iterations())) state.SkipWithError(getMetLastError());
}

#define PER_OPERATION                   \
  ->Iterations(kOperations)             \
      ->Repetitions(5)                  \
      ->ComputeStatistics("min", least) \
      ->DisplayAggregatesOnly(true)     \
      ->Unit(benchmark::kMicrosecond)
#define PER_PAIR                        \
  ->Repetitions(5)                      \
      ->ComputeStatistics("min", least) \
      ->DisplayAggregatesOnly(true)     \
      ->Unit(benchmark::kMicrosecond)

BENCHMARK_CAPTURE(BM_Append, own_lock, false) PER_OPERATION;
BENCHMARK_CAPTURE(BM_Append, lock_held, true) PER_OPERATION;
BENCHMARK_CAPTURE(BM_Rewrite, own_lock, false) PER_OPERATION;
BENCHMARK_CAPTURE(BM_Rewrite, lock_held, true) PER_OPERATION;
BENCHMARK_CAPTURE(BM_LockPair, shared, Pair::kShared) PER_PAIR;
BENCHMARK_CAPTURE(BM_LockPair, exclusive, Pair::kExclusive) PER_PAIR;
BENCHMARK_CAPTURE(BM_LockPair, shared_nested, Pair::kSharedNested) PER_PAIR;

}  // namespace

BENCHMARK_MAIN();
