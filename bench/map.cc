// map over 10^5 and 10^6 locations: binning the dots into the frame's
// pixels, drawing them with the land into PNG and SVG files at the default
// width, and the whole `metdb map` command on a database of that size
// (opening it, reading every record, framing, reading the outlines,
// drawing the PNG). Dots are binned into
// the frame's pixels, so the drawing and the SVG's size follow the
// picture, not the number of locations.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "bench/SyntheticData.h"
#include "cli/Tool.h"
#include "tool/Error.h"
#include "tool/geo/DataFolderOutlines.h"
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

// The dots of a world map, added by the group's index as the map command
// adds them.
std::unique_ptr<WorldMap> filled(const std::vector<Place>& p) {
  auto map = std::make_unique<WorldMap>(1200);
  std::string last;
  std::size_t group = 0;
  for (const Place& place : p) {
    if (place.continent != last || group == 0) {
      group = map->group(place.continent);
      last = place.continent;
    }
    map->add(group, place.latitude, place.longitude);
  }
  return map;
}

void BM_MapAdd(benchmark::State& state) {
  std::vector<Place> p = places(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(filled(p)->count());
}

// Drawing, with the world's land and countries at 1:110m under the dots.
void draw(benchmark::State& state, bool png) {
  std::unique_ptr<WorldMap> map = filled(places(state.range(0)));
  DataFolderOutlines outlines;
  map->setOutlines(outlines.outlines(OutlineScale::k110m));
  bench::ScratchDir dir;
  std::string path = dir.file(png ? "m.png" : "m.svg");
  for (auto _ : state) {
    try {
      png ? map->writePng(path) : map->writeSvg(path);
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

// The command as a user runs it, in this process, on a data file of n
// synthetic records (the directory is rebuilt at each opening, as for a
// data file without its directory file).
void BM_MapCommand(benchmark::State& state) {
  bench::ScratchDir dir;
  std::string data = dir.file("m.bmt");
  bench::writeGroupedDatabase(data, state.range(0));
  std::string output = dir.file("m.png");
  const char* argv[] = {"metdb", "--db", data.c_str(), "map", "-o", output.c_str()};
  for (auto _ : state) {
    std::ostringstream out, err;
    if (runTool(6, argv, out, err) != 0) {
      state.SkipWithError(err.str().c_str());
      return;
    }
  }
}

}  // namespace

BENCHMARK(BM_MapAdd)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapPng)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapSvg)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapCommand)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
