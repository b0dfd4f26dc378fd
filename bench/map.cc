// map over 10^5 and 10^6 locations: placing the dots, and drawing them into
// PNG and SVG files at the default width. Dots on one pixel of one colour
// are kept once, so the drawing and the SVG's size follow the picture, not
// the number of locations.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>

#include "bench/SyntheticData.h"
#include "tool/Error.h"
#include "tool/geo/WorldMap.h"

using namespace metdb;  // NOLINT: the tool's library, measured

namespace {

struct Place {
  std::string continent;
  float latitude, longitude;
};

std::vector<Place> places(long n) {
  std::vector<Place> out;
  for (const LocationData& r : bench::syntheticRecords(n)) {
    float latitude, longitude;
    std::memcpy(&latitude, &r.latitude, sizeof latitude);
    std::memcpy(&longitude, &r.longitude, sizeof longitude);
    out.push_back({fieldText(r.continent), latitude, longitude});
  }
  return out;
}

WorldMap filled(const std::vector<Place>& p) {
  WorldMap map(1200);
  for (const Place& place : p) map.add(place.continent, place.latitude, place.longitude);
  return map;
}

void BM_MapAdd(benchmark::State& state) {
  std::vector<Place> p = places(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(filled(p).count());
}

void draw(benchmark::State& state, bool png) {
  WorldMap map = filled(places(state.range(0)));
  bench::ScratchDir dir;
  std::string path = dir.file(png ? "m.png" : "m.svg");
  for (auto _ : state) {
    try {
      png ? map.writePng(path) : map.writeSvg(path);
    } catch (const Error& e) {
      state.SkipWithError(e.what());
      return;
    }
  }
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  state.counters["file_kB"] = static_cast<double>(file.tellg()) / 1000.0;
}

void BM_MapPng(benchmark::State& state) { draw(state, true); }
void BM_MapSvg(benchmark::State& state) { draw(state, false); }

}  // namespace

BENCHMARK(BM_MapAdd)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapPng)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapSvg)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
