// Opens a database whose data file and directory file are the fuzzer's
// bytes, reads every record the directory names, compacts it, and imports it
// into another database. Nothing may crash, and the records must survive:
// after the compaction the locations read the same records as before (in
// walk order, unless the compaction joined a group that the directory held
// twice), and every group's locations follow one another in the walk.
//
// Input: two bytes (little-endian) giving the data file's length, one byte of
// flags, then the data file's bytes, then the directory file's. Flag 1 makes
// the directory file older than the data file (so it is rebuilt from the
// records); flag 2 imports with replace.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "fuzz/FuzzRun.h"
#include "module/CurrentDatabase.h"
#include "tests/support/Records.h"
#include "tool/database/DirectoryWalk.h"
#include "tool/database/ProgressInfo.h"

using namespace metdb;  // NOLINT: the tool's library, fuzzed

namespace {

// The bytes of the record of every location of a full walk, in walk order;
// a location whose record cannot be read gives "".
std::vector<std::string> walkRecords(BMTFile& db) {
  std::vector<std::string> out;
  Directory* d = db.directory;
  if (d->IsEmpty()) return out;
  d->first();
  do {
    long index = d->getLocationIndex();
    if (index < 0) continue;
    LocationData record;
    std::memset(&record, 0, sizeof record);
    try {
      db.getLocationData(index, record);
    } catch (BMTFile*) {
      out.emplace_back();
      continue;
    }
    out.push_back(testsupport::bytesOf(record));
  } while (d->next());
  return out;
}

// The group names of a walk step, ignoring case, as keys of its continent,
// country and state.
std::string foldedKey(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Whether the walk passes each continent, country and state once: no group
// comes back after another.
bool walkIsGrouped(BMTFile& db) {
  std::set<std::string> done[3];
  std::string current[3];
  bool first = true, grouped = true;
  forEachLocation(db.directory,
                  [&](Continent* continent, Country* country, State* state, Location*) {
                    std::string keys[3];
                    keys[0] = foldedKey(*continent);
                    keys[1] = keys[0] + '\0' + foldedKey(*country);
                    keys[2] = keys[1] + '\0' + foldedKey(*state);
                    for (int level = 0; level < 3; ++level) {
                      if (!first && keys[level] == current[level]) continue;
                      if (!first) done[level].insert(current[level]);
                      if (done[level].count(keys[level])) grouped = false;
                      current[level] = keys[level];
                    }
                    first = false;
                  });
  return grouped;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::size_t dataSize = data[0] | static_cast<std::size_t>(data[1]) << 8;
  int flags = data[2];
  const char* bytes = reinterpret_cast<const char*>(data) + 3;
  std::size_t rest = size - 3;
  if (dataSize > rest) dataSize = rest;

  FuzzRun run;
  const testsupport::TempDir& folder = run.folder();
  std::string dataFile = folder.file("fuzz.bmt");
  std::string dirFile = folder.file("fuzz.dir");
  testsupport::writeFile(dataFile, std::string(bytes, dataSize));
  testsupport::writeFile(dirFile, std::string(bytes + dataSize, rest - dataSize));
  bool dirOlder = (flags & 1) != 0;
  testsupport::setModificationTime(dataFile, dirOlder ? 1000000200 : 1000000000);
  testsupport::setModificationTime(dirFile, dirOlder ? 1000000000 : 1000000200);

  // The database imported into holds one record of its own.
  std::string intoFile = folder.file("into.bmt");
  testsupport::writeFile(intoFile, testsupport::bytesOf(testsupport::makeRecord(
                                       "Europe", "Norway", "Hordaland", "Bergen")));

  std::ostringstream bar;
  ProgressInfo info(bar, false, 0);  // the tool's report, quiet
  {
    BMTFile source(dataFile.c_str());
    std::vector<std::string> before = walkRecords(source);
    bool remade = false;
    try {
      source.remakeDatabase();
      remade = *getMetLastError() == '\0';
    } catch (BMTFile*) {
    }
    std::vector<std::string> after = walkRecords(source);
    bool grouped = !remade || walkIsGrouped(source);
    if (after != before) {
      std::sort(before.begin(), before.end());
      std::sort(after.begin(), after.end());
      if (after != before) std::abort();
    }
    if (!grouped) std::abort();

    BMTFile into(intoFile.c_str());
    try {
      into.merge(source, (flags & 2) != 0, info);
    } catch (BMTFile*) {
    }
    (void)walkRecords(into);
  }
  return 0;
}
