// A change of 10^4 locations in databases of 10^5 and 10^6 records
// (BulkEdit: plan, check, one rewrite of the data file). Two shapes: every
// n/10^4-th location moved into one new country (every record changes its
// group), and the same locations given a new application value (no record
// moves). rewrites counts the changes committed to the data file (the
// database's onChanged): it must be 1 whatever the count. The time
// includes the rewrite's sync of the new data file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <sstream>
#include <vector>

#include "bench/SyntheticData.h"
#include "tool/database/BulkEdit.h"
#include "tool/database/Database.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/ProgressInfo.h"

using namespace metdb;  // NOLINT: the tool's library, measured

namespace {

constexpr long kChanged = 10000;

void changeEvery(benchmark::State& state, const char* assignmentText) {
  const long n = state.range(0);
  bench::ScratchDir dir;
  std::string data = dir.file("b.bmt");
  FieldAssignment assignment;
  FieldAssignment::parse(assignmentText, &assignment);
  long rewrites = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bench::writeGroupedDatabase(data, n);
    std::remove(dir.file("b.dir").c_str());
    {
      Database access(data, 60);
      long commits = 0;
      access.onChanged([&commits] { ++commits; });
      BMTFile* db = access.open(DatabaseUse::kWrite);
      std::vector<long> indices;
      long position = 0;
      forEachLocation(db->directory, [&](Continent*, Country*, State*, Location* l) {
        if (position++ % (n / kChanged) == 0) indices.push_back(l->locationIndex);
      });
      state.ResumeTiming();

      BulkEdit edit(access);
      std::vector<std::string> warnings;
      edit.assign(indices, {assignment}, &warnings);
      std::ostringstream quiet;
      ProgressInfo info(quiet, false, 0);
      edit.apply(info);

      state.PauseTiming();
      if (static_cast<long>(edit.changes().size()) != kChanged) state.SkipWithError("not 10^4");
      rewrites = commits;
    }
    state.ResumeTiming();
  }
  state.counters["rewrites"] = static_cast<double>(rewrites);
  state.counters["peak_MB"] = bench::peakMegabytes();
}

void BM_MoveToANewCountry(benchmark::State& state) { changeEvery(state, "country=Zz Moved"); }
void BM_ChangeInPlace(benchmark::State& state) { changeEvery(state, "auxValue=-7"); }

}  // namespace

BENCHMARK(BM_MoveToANewCountry)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ChangeInPlace)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
