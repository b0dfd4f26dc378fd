// Cost of the location iterator over a current database of 10^5 and 10^6
// locations (synthetic grouped hierarchy: 6 continents, 300 countries, 3000
// states): building an iterator for a whole-database selection and for a
// latitude/longitude box of about a tenth of it, then one full walk with
// next(), each step one index read and one record read. Goals: the memory
// that the iterator adds to the directory's stays flat as the selection
// grows, and each 10^6 figure stays under 13 times its 10^5 figure.
//
// Counters: locations listed; build_ms and walk_ms for the two phases;
// ns_per_step of the walk; peak_MB, the process's peak resident size
// (getrusage) after the walk; rss_growth_KB, the resident size after the
// walk (the iterator still alive) less that before the iterator was built,
// which is what the iterator adds beyond the directory; peak_growth_KB, the
// same for the peak.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "module/CurrentDatabase.h"
#include "selection/TLocationIterator.h"
#include "selection/TLocationSelection.h"

namespace {

constexpr int kContinents = 6;
constexpr int kCountriesPerContinent = 50;
constexpr int kStatesPerCountry = 10;
constexpr int kStates = kContinents * kCountriesPerContinent * kStatesPerCountry;

// The box: half the latitudes and a fifth of the longitudes.
constexpr float kBoxLatitude = 45;
constexpr float kBoxLongitude = 36;

double peakKilobytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss);  // kilobytes on Linux
}

double residentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

std::string& benchFolder() {
  static std::string folder;
  if (folder.empty()) {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/metdb-bench-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) std::abort();
    folder = buf.data();
  }
  return folder;
}

// Writes n records in hierarchy order, spread evenly over the states, with
// names that sort as they are written, and coordinates spread uniformly
// over the globe.
void writeDataFile(const std::string& path, long n) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::mt19937 rng(1234);
  std::vector<LocationData> chunk;
  chunk.reserve(8192);
  LocationData r;
  std::memset(static_cast<void*>(&r), 0, sizeof r);
  long index = 0;
  for (int s = 0; s < kStates; ++s) {
    std::snprintf(r.continent, sizeof r.continent, "Continent%d",
                  s / (kCountriesPerContinent * kStatesPerCountry));
    std::snprintf(r.country, sizeof r.country, "Country%03d", s / kStatesPerCountry);
    std::snprintf(r.state, sizeof r.state, "State%04d", s);
    long end = n * (s + 1) / kStates;
    for (; index < end; ++index) {
      std::snprintf(r.name, sizeof r.name, "L%07ld", index);
      r.level = static_cast<std::int8_t>(rng() % 6);
      r.latitude = static_cast<float>(rng() % 1800000) / 10000.0f - 90.0f;
      r.longitude = static_cast<float>(rng() % 3600000) / 10000.0f - 180.0f;
      chunk.push_back(r);
      if (chunk.size() == chunk.capacity()) {
        out.write(reinterpret_cast<const char*>(chunk.data()),
                  static_cast<std::streamsize>(chunk.size() * sizeof r));
        chunk.clear();
      }
    }
  }
  out.write(reinterpret_cast<const char*>(chunk.data()),
            static_cast<std::streamsize>(chunk.size() * sizeof r));
}

// Makes a database of n locations current, once per size.
void useDatabase(long n) {
  static long current = -1;
  if (current == n) return;
  std::string path = benchFolder() + "/bench" + std::to_string(n) + ".bmt";
  writeDataFile(path, n);
  setMetDatabase(path.c_str());  // rebuilds the directory from the records
  current = n;
}

// Every continent, whole.
void selectEverything(TLocationSelection& s) {
  s.clear();
  TLocList** link = &s.continentList;
  for (int c = 0; c < kContinents; ++c) {
    char name[32];
    std::snprintf(name, sizeof name, "Continent%d", c);
    *link = new TLocList(name, true);
    link = &(*link)->nextEntry;
  }
}

// Arguments: the number of locations, and 0 for the whole database or 1
// for the box.
void BM_BuildAndWalk(benchmark::State& state) {
  const long n = state.range(0);
  const bool box = state.range(1) == 1;
  useDatabase(n);
  TLocationSelection s;
  selectEverything(s);
  if (box) {
    s.useLatLonLimits = true;
    s.minLatitude = -kBoxLatitude;
    s.maxLatitude = kBoxLatitude;
    s.minLongitude = -kBoxLongitude;
    s.maxLongitude = kBoxLongitude;
  }

  double buildMs = 0, walkMs = 0, rssGrowth = 0, peakGrowth = 0;
  long listed = 0, steps = 0;
  for (auto _ : state) {
    double rssBefore = residentKilobytes();
    double peakBefore = peakKilobytes();
    auto start = std::chrono::steady_clock::now();
    TLocationIterator it(&s);
    auto built = std::chrono::steady_clock::now();
    steps = 0;
    long sum = 0;
    if (!it.isEmpty()) {
      do {
        sum += it.locData.level;
        ++steps;
      } while (it.next());
    }
    auto walked = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(sum);
    listed = it.getNumLocations();
    buildMs = std::chrono::duration<double, std::milli>(built - start).count();
    walkMs = std::chrono::duration<double, std::milli>(walked - built).count();
    rssGrowth = residentKilobytes() - rssBefore;
    peakGrowth = peakKilobytes() - peakBefore;
    if (steps != listed) state.SkipWithError("walk did not reach every entry");
  }
  state.counters["locations"] = static_cast<double>(listed);
  state.counters["build_ms"] = buildMs;
  state.counters["walk_ms"] = walkMs;
  state.counters["ns_per_step"] = steps > 0 ? walkMs * 1e6 / static_cast<double>(steps) : 0;
  state.counters["peak_MB"] = peakKilobytes() / 1024.0;
  state.counters["rss_growth_KB"] = rssGrowth;
  state.counters["peak_growth_KB"] = peakGrowth;
}

// One size after the other, so that each database is made once.
BENCHMARK(BM_BuildAndWalk)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void removeBenchFolder() {
  std::string folder = benchFolder();
  // Replaces the big database (which saves its directory) by an empty one
  // before the folder goes.
  setMetDatabase((folder + "/empty.bmt").c_str());
  for (const char* name : {"bench100000.bmt", "bench100000.dir", "bench1000000.bmt",
                           "bench1000000.dir", "empty.bmt", "empty.dir"}) {
    unlink((folder + "/" + name).c_str());
  }
  if (rmdir(folder.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The index files go to the benchmark's own folder.
  if (chdir(benchFolder().c_str()) != 0) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (chdir("/") != 0) return 1;
  removeBenchFolder();
  return 0;
}
