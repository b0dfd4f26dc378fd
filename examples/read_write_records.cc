// Reading a record by its index and rewriting it in place.
// Usage: read_write_records [FOLDER]
#include <metdb/metdb.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "sample_database.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (!makeSampleDatabaseOrSay(path)) return 1;
  BMTFile db(path.c_str());
  if (!db.IsValid()) return 1;

  // The record index of a location comes from the directory.
  Directory* directory = db.directory;
  Continent* europe = directory->getContinent("Europe");
  Country* norway = europe ? directory->getCountry("Norway", europe->getCountries()) : nullptr;
  State* oslo = norway ? directory->getState("Oslo", norway->getStates()) : nullptr;
  Location* place = oslo ? directory->getLocation("Oslo", oslo->getLocations()) : nullptr;
  if (place == nullptr) return 1;
  const long index = place->locationIndex;

  LocationData record;
  db.getLocationData(index, record);  // a record that is not there leaves it unchanged
  std::printf("record %ld: %s, %s, level %d, %.2f %.2f\n", index, record.name, record.country,
              int{record.level}, record.latitude, record.longitude);

  // The application's own values may change freely. The names, level and
  // position are what the directory sorts by: a record whose key fields
  // change must be deleted and added again (see add_location.cc).
  record.auxValue = 42;
  for (int month = 0; month < 12; ++month) record.seriesA[month] = -4.3f + 1.5f * month;
  db.setLocationData(index, record);  // no result: a failed write only beeps

  // So read it back to know it was written; getMetLastError() says why not.
  LocationData check;
  db.getLocationData(index, check);
  if (std::memcmp(&check, &record, sizeof record) != 0) {
    std::fprintf(stderr, "record %ld was not written: %s\n", index, getMetLastError());
    return 1;
  }
  std::printf("record %ld rewritten: auxValue %d, seriesA[11] %.1f\n", index, int{check.auxValue},
              check.seriesA[11]);
  return 0;
}
