// Reads the fuzzer's bytes as the tool's station list, through CsvReader
// alone and through StationCsv in both modes, from a file as the tool reads
// it. The rows of a list that reads must write out as a list that reads back
// to the same records.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/FuzzRun.h"
#include "tests/support/Records.h"
#include "tool/record/CsvReader.h"
#include "tool/record/StationCsv.h"

using namespace metdb;  // NOLINT: the tool's library, fuzzed

namespace {

std::vector<LocationData> recordsOf(const StationCsvResult& result) {
  std::vector<LocationData> out;
  for (const StationRow& row : result.rows) out.push_back(row.record);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  std::string path = run.write("stations.csv", data, size);

  {
    std::ifstream in(path, std::ios::binary);
    CsvReader reader(in);
    CsvRecord record;
    long lastLine = 0;
    while (reader.next(&record)) {
      if (record.line < lastLine) std::abort();  // lines only move forward
      lastLine = record.line;
      if (record.fatal) break;
    }
  }
  {
    std::ifstream in(path, std::ios::binary);
    StationCsvResult skipping = StationCsv::parse(in, StationCsv::Mode::kSkipBadRows);
    for (const StationCsvIssue& issue : skipping.errors) (void)issue.describe("stations.csv");
    for (const StationCsvIssue& issue : skipping.warnings) (void)issue.describe("");
  }
  std::ifstream in(path, std::ios::binary);
  StationCsvResult result = StationCsv::parse(in);
  if (!result.ok() || result.fatal) return 0;

  std::ostringstream out;
  StationCsv::write(out, recordsOf(result));
  std::istringstream back(out.str());
  StationCsvResult again = StationCsv::parse(back);
  if (!again.ok() ||
      testsupport::bytesOf(recordsOf(again)) != testsupport::bytesOf(recordsOf(result)))
    std::abort();
  return 0;
}
