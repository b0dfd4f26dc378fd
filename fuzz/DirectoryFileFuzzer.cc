// Reads the fuzzer's bytes as a directory file. A directory that reads must
// walk without fault, and whatever it writes must read back to the same walk.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "fuzz/FuzzRun.h"

namespace {

// Every location of a full walk: its names and record index.
std::vector<std::string> walk(Directory& directory) {
  std::vector<std::string> out;
  if (directory.IsEmpty()) return out;
  directory.first();
  do {
    std::string entry = std::to_string(directory.getLocationIndex());
    if (directory.getLocationIndex() >= 0) {
      entry += " " + *(*directory.continents)[directory.continentPos] + "/" +
               *(*directory.curCountries)[directory.countryPos] + "/" +
               *(*directory.curStates)[directory.statePos] + "/" + directory.getLocationName();
    }
    out.push_back(entry);
  } while (directory.next());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  const testsupport::TempDir& folder = run.folder();
  std::string path = run.write("fuzz.dir", data, size);

  Directory directory(path.c_str());
  if (!directory.read()) {
    if (!directory.IsEmpty()) std::abort();  // a failed read adds nothing
    return 0;
  }
  std::vector<std::string> first = walk(directory);
  for (long i = 0; i < directory.locationCount; ++i) {
    if (directory.getLocation(static_cast<int>(i)) == nullptr) std::abort();
  }

  std::string copyPath = folder.file("copy.dir");
  directory.fileName = copyPath;
  if (!directory.write()) return 0;
  Directory copy(copyPath.c_str());
  if (!copy.read() || walk(copy) != first) std::abort();
  return 0;
}
