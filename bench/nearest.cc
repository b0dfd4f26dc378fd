// nearest over 10^5 and 10^6 locations: the latitude-sorted index (built
// once, then queried) against a geodesic to every location.
#include <benchmark/benchmark.h>

#include <random>

#include "bench/SyntheticData.h"
#include "tool/geo/GeoIndex.h"

using namespace metdb;  // NOLINT: the tool's library, measured

namespace {

std::vector<GeoPoint> points(long n) {
  std::vector<LocationData> records = bench::syntheticRecords(n);
  std::vector<GeoPoint> out;
  out.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    float lat, lon;
    std::memcpy(&lat, &records[i].latitude, sizeof lat);
    std::memcpy(&lon, &records[i].longitude, sizeof lon);
    out.push_back({lat, lon, static_cast<long>(i)});
  }
  return out;
}

void BM_IndexBuild(benchmark::State& state) {
  std::vector<GeoPoint> p = points(state.range(0));
  for (auto _ : state) {
    GeoIndex index(p);
    benchmark::DoNotOptimize(index.points().data());
  }
}

void BM_IndexedNearest(benchmark::State& state) {
  GeoIndex index(points(state.range(0)));
  std::mt19937 random(5);
  std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
  for (auto _ : state) benchmark::DoNotOptimize(index.nearest(lat(random), lon(random), 5));
}

void BM_BruteForceNearest(benchmark::State& state) {
  std::vector<GeoPoint> p = points(state.range(0));
  std::mt19937 random(5);
  std::uniform_real_distribution<double> lat(-90.0, 90.0), lon(-180.0, 180.0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(GeoIndex::scanAll(p, lat(random), lon(random), 5));
  }
}

}  // namespace

BENCHMARK(BM_IndexBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexedNearest)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BruteForceNearest)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
