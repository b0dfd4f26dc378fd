// Which country holds each of 10^6 positions, at both scales of the
// outlines: positions spread evenly over the globe (most in the sea), and
// positions on land (each within some country's outline, as stations are).
// Also loading the outlines, and the distance to a large country.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "tool/places/CountryShapes.h"

using namespace metdb;  // NOLINT: the tool's library, measured

namespace {

struct Position {
  double latitude, longitude;
};

OutlineScale scaleOf(const benchmark::State& state) {
  return state.range(0) == 110 ? OutlineScale::k110m : OutlineScale::k50m;
}

// n positions spread evenly over the sphere; on land only when onLand.
std::vector<Position> positions(const CountryShapes& shapes, std::size_t n, bool onLand) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> z(-1.0, 1.0), longitude(-180.0, 180.0);
  std::vector<Position> out;
  while (out.size() < n) {
    Position p{std::asin(z(random)) * 180.0 / std::acos(-1.0), longitude(random)};
    if (!onLand || !shapes.countryAt(p.latitude, p.longitude).empty()) out.push_back(p);
  }
  return out;
}

void BM_Load(benchmark::State& state) {
  for (auto _ : state) {
    CountryShapes shapes = CountryShapes::load(scaleOf(state));
    benchmark::DoNotOptimize(&shapes);
  }
}

void BM_CountryAtMillion(benchmark::State& state) {
  CountryShapes shapes = CountryShapes::load(scaleOf(state));
  std::vector<Position> p = positions(shapes, 1000000, state.range(1) != 0);
  for (auto _ : state) {
    std::size_t found = 0;
    for (const Position& q : p) found += !shapes.countryAt(q.latitude, q.longitude).empty();
    benchmark::DoNotOptimize(found);
  }
}

void BM_DistanceToRussia(benchmark::State& state) {
  CountryShapes shapes = CountryShapes::load(scaleOf(state));
  std::vector<Position> p = positions(shapes, 10000, false);
  std::size_t i = 0;
  for (auto _ : state) {
    const Position& q = p[i++ % p.size()];
    benchmark::DoNotOptimize(shapes.distanceKm(q.latitude, q.longitude, "RU"));
  }
}

}  // namespace

BENCHMARK(BM_Load)->Arg(110)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountryAtMillion)
    ->ArgsProduct({{110, 50}, {0, 1}})
    ->ArgNames({"scale", "onLand"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DistanceToRussia)->Arg(110)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
