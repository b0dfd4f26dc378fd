// Cost of filling the directory's location list: n adds of locations with
// random names, then one read that settles the order. A run of adds must
// cost O(n log n) in all, so the 10^6 figure stays well under 15 times the
// 10^5 figure.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "directory/Location.h"
#include "directory/TISArrayAsVector.h"

namespace {

std::vector<std::unique_ptr<Location>> randomLocations(int n) {
  std::mt19937 rng(42);
  std::vector<std::unique_ptr<Location>> out;
  out.reserve(n);
  for (int i = 0; i < n; ++i) {
    std::string name(4 + rng() % 17, ' ');
    for (char& c : name) c = static_cast<char>('a' + rng() % 26);
    auto l = std::make_unique<Location>(name.c_str());
    l->level = static_cast<std::int8_t>(rng() % 6);
    l->latitude = static_cast<float>(rng() % 18000) / 100.0f - 90.0f;
    l->longitude = static_cast<float>(rng() % 36000) / 100.0f - 180.0f;
    out.push_back(std::move(l));
  }
  return out;
}

void BM_LocationListAdds(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  auto locations = randomLocations(n);
  for (auto _ : state) {
    TISArrayAsVector<Location> list(1001, 0, 500);
    list.ownsElements(false);
    for (auto& l : locations) list.add(l.get());
    benchmark::DoNotOptimize(list[0]);
  }
  state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_LocationListAdds)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
