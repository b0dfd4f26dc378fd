#ifndef METDB_TESTS_SELECTION_DATABASETESTUTIL_H_
#define METDB_TESTS_SELECTION_DATABASETESTUTIL_H_

#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/LocationData.h"
#include "module/CurrentDatabase.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"

namespace selectiontest {

// A data file of the given records, in file order, made the current
// database. The directory is rebuilt from the records, so they must come
// grouped by continent, country and state. Each call makes a new file (the
// database replaced saves its directory beside its data file, which must
// not pass for the next one's).
inline BMTFile* makeCurrentDatabase(const testsupport::TempDir& dir,
                                    const std::vector<LocationData>& records) {
  static int made = 0;
  std::string path = dir.file("met" + std::to_string(++made) + ".bmt");
  testsupport::writeFile(path, testsupport::bytesOf(records));
  return setMetDatabase(path.c_str());
}

// A small database. Record indices in comments; directory order within a
// state is by name, then higher level first.
//   Europe / Austria / Tyrol:        0 Innsbruck, 1 Kufstein
//   Europe / Switzerland / Bern:     2 Thun
//   Europe / Switzerland / Valais:   3 Zermatt, 4 Sion (level 3), 5 Sion (level 1), 6 Brig
//   North America / Canada / Yukon:  7 Whitehorse
inline std::vector<LocationData> smallWorld() {
  using testsupport::makeRecord;
  return {
      makeRecord("Europe", "Austria", "Tyrol", "Innsbruck", 1, 47.26f, 11.39f, 0),
      makeRecord("Europe", "Austria", "Tyrol", "Kufstein", 2, 47.58f, 12.17f, 1),
      makeRecord("Europe", "Switzerland", "Bern", "Thun", 1, 46.75f, 7.63f, 2),
      makeRecord("Europe", "Switzerland", "Valais", "Zermatt", 2, 46.02f, 7.75f, 3),
      makeRecord("Europe", "Switzerland", "Valais", "Sion", 3, 46.23f, 7.36f, 4),
      makeRecord("Europe", "Switzerland", "Valais", "Sion", 1, 46.23f, 7.36f, 5),
      makeRecord("Europe", "Switzerland", "Valais", "Brig", 1, 46.32f, 7.99f, 6),
      makeRecord("North America", "Canada", "Yukon", "Whitehorse", 1, 60.72f, -135.06f, 7),
  };
}

}  // namespace selectiontest

#endif  // METDB_TESTS_SELECTION_DATABASETESTUTIL_H_
