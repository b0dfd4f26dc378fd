// Cost of the directory at 10^4, 10^5 and 10^6 locations over a synthetic
// hierarchy (6 continents, 300 countries, 3000 states): filling it with
// addOrderedEntry as a rebuild does, writing and reading its file, and one
// full walk. Goals: each 10^6 figure under 13 times its 10^5 figure, and a
// directory of 10^6 locations held in under 150 MB.
//
// Counters of fill, write and read: peak_MB is the process's peak resident
// size so far (run one size per process for a clean figure, e.g.
// --benchmark_filter=/1000000/); held_MB is the heap that the directory
// built in the benchmark holds.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "directory/Directory.h"

namespace {

constexpr int kContinents = 6;
constexpr int kCountriesPerContinent = 50;
constexpr int kStatesPerCountry = 10;
constexpr int kStates = kContinents * kCountriesPerContinent * kStatesPerCountry;

double peakMegabytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Heap bytes in use (small blocks and mapped ones), in megabytes.
double heapMegabytes() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / 1048576.0;
}

std::string word(std::mt19937& rng, int minLength, int maxLength) {
  std::string s(static_cast<std::size_t>(minLength + rng() % (maxLength - minLength + 1)), ' ');
  for (char& c : s) c = static_cast<char>((rng() % 4 == 0 ? 'A' : 'a') + rng() % 26);
  return s;
}

// Feeds n records in hierarchy groups, spread evenly over the states.
void fill(Directory* d, long n) {
  std::mt19937 rng(1234);
  LocationData previous;
  LocationData r;
  long index = 0;
  for (int s = 0; s < kStates; ++s) {
    if (s % (kCountriesPerContinent * kStatesPerCountry) == 0) {
      std::snprintf(r.continent, sizeof r.continent, "Continent%d", s / 500);
    }
    if (s % kStatesPerCountry == 0) {
      std::snprintf(r.country, sizeof r.country, "%s", word(rng, 4, 24).c_str());
    }
    std::snprintf(r.state, sizeof r.state, "%s", word(rng, 3, 24).c_str());
    long end = n * (s + 1) / kStates;
    for (; index < end; ++index) {
      std::snprintf(r.name, sizeof r.name, "%s", word(rng, 3, 20).c_str());
      r.level = static_cast<std::int8_t>(rng() % 6);
      r.latitude = static_cast<float>(rng() % 1800000) / 10000.0f - 90.0f;
      r.longitude = static_cast<float>(rng() % 3600000) / 10000.0f - 180.0f;
      d->addOrderedEntry(r, previous, index);
    }
  }
  benchmark::DoNotOptimize(d->getLocation(0));  // settles the location list
}

std::string tempFolder() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/metdb-bench-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) == nullptr) std::abort();
  return buf.data();
}

void BM_Fill(benchmark::State& state) {
  const long n = state.range(0);
  double held = 0;
  for (auto _ : state) {
    double before = heapMegabytes();
    auto d = std::make_unique<Directory>("unused.dir");
    fill(d.get(), n);
    held = heapMegabytes() - before;
    state.PauseTiming();
    d.reset();
    state.ResumeTiming();
  }
  state.counters["held_MB"] = held;
  state.counters["peak_MB"] = peakMegabytes();
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_Write(benchmark::State& state) {
  const long n = state.range(0);
  std::string folder = tempFolder();
  std::string name = folder + "/bench.dir";
  Directory d(name.c_str());
  fill(&d, n);
  for (auto _ : state) {
    if (!d.write()) state.SkipWithError("write failed");
  }
  state.counters["peak_MB"] = peakMegabytes();
  state.SetItemsProcessed(state.iterations() * n);
  unlink(name.c_str());
  rmdir(folder.c_str());
}

void BM_Read(benchmark::State& state) {
  const long n = state.range(0);
  std::string folder = tempFolder();
  std::string name = folder + "/bench.dir";
  {
    Directory d(name.c_str());
    fill(&d, n);
    d.write();
  }
  double held = 0;
  for (auto _ : state) {
    double before = heapMegabytes();
    auto d = std::make_unique<Directory>(name.c_str());
    if (!d->read()) state.SkipWithError("read failed");
    held = heapMegabytes() - before;
    state.PauseTiming();
    d.reset();
    state.ResumeTiming();
  }
  state.counters["held_MB"] = held;
  state.counters["peak_MB"] = peakMegabytes();
  state.SetItemsProcessed(state.iterations() * n);
  unlink(name.c_str());
  rmdir(folder.c_str());
}

// Pushes everything else out of the processor's caches (64 MB is twice the
// largest last-level cache at hand).
void evictCaches() {
  static std::vector<char> junk(64 << 20);
  for (std::size_t i = 0; i < junk.size(); i += 64) junk[i] = static_cast<char>(junk[i] + 1);
  benchmark::DoNotOptimize(junk.data());
}

// A walk from cold caches, as after opening a database: otherwise a 10^5
// directory (some 11 MB) stays in the last-level cache between rounds while
// a 10^6 one cannot, and the comparison would measure the cache, not the
// walk.
void BM_Walk(benchmark::State& state) {
  const long n = state.range(0);
  Directory d("unused.dir");
  fill(&d, n);
  for (auto _ : state) {
    state.PauseTiming();
    evictCaches();
    state.ResumeTiming();
    long sum = 0;
    d.first();
    do {
      sum += d.getLocationIndex();
    } while (d.next());
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// Few iterations: the large sizes take a second or so each.
void sizes(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond);
  b->Arg(10000)->Arg(100000)->Arg(1000000)->Iterations(3);
}

BENCHMARK(BM_Fill)->Apply(sizes);
BENCHMARK(BM_Write)->Apply(sizes);
BENCHMARK(BM_Read)->Apply(sizes);
// A walk is cheap: more rounds steady the small sizes.
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond)->Arg(10000)->Iterations(200);
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond)->Arg(100000)->Iterations(20);
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond)->Arg(1000000)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
