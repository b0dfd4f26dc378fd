// The time zone of each of 10^6 positions spread evenly over the globe,
// and of GeoNames' 23,461 cities (where Debian's copy is installed); the
// tzdata countries of the cities' zones; and reading the data.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tool/DataFolder.h"
#include "tool/places/TimeZones.h"
#include "tool/text/Text.h"

using namespace metdb;  // NOLINT: the tool's library, measured

namespace {

struct Position {
  double latitude, longitude;
};

std::vector<Position> spread(std::size_t n) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> z(-1.0, 1.0), longitude(-180.0, 180.0);
  std::vector<Position> out;
  while (out.size() < n)
    out.push_back({std::asin(z(random)) * 180.0 / std::acos(-1.0), longitude(random)});
  return out;
}

struct City {
  Position position;
  std::string country;
};

std::vector<City> cities() {
  std::ifstream in("/usr/share/libtimezonemap/ui/cities15000.txt");
  std::vector<City> out;
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f = text::split(line, '\t');
    if (f.size() >= 9) out.push_back({{std::stod(f[4]), std::stod(f[5])}, f[8]});
  }
  return out;
}

void BM_Read(benchmark::State& state) {
  for (auto _ : state) {
    TimeZones zones = TimeZones::read(dataFolder() + "/tz");
    benchmark::DoNotOptimize(&zones);
  }
}

void BM_ZoneAtMillion(benchmark::State& state) {
  const TimeZones& zones = TimeZones::standard();
  std::vector<Position> p = spread(1000000);
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const Position& q : p) bytes += zones.zoneAt(q.latitude, q.longitude).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(p.size()));
}

// As a caller of the free function gets it: a string for each position.
void BM_TimeZoneAtMillionAsStrings(benchmark::State& state) {
  std::vector<Position> p = spread(1000000);
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const Position& q : p) bytes += timeZoneAt(q.latitude, q.longitude).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(p.size()));
}

void BM_CitiesZoneAndCountry(benchmark::State& state) {
  const TimeZones& zones = TimeZones::standard();
  std::vector<City> c = cities();
  if (c.empty()) {
    state.SkipWithError("/usr/share/libtimezonemap/ui/cities15000.txt is missing");
    return;
  }
  for (auto _ : state) {
    std::size_t agree = 0;
    for (const City& city : c) {
      agree += zones.isOfCountry(zones.zoneAt(city.position.latitude, city.position.longitude),
                                 city.country);
    }
    benchmark::DoNotOptimize(agree);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(c.size()));
}

}  // namespace

BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoneAtMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeZoneAtMillionAsStrings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CitiesZoneAndCountry)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
