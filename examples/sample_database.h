// The small database that every example makes first, and the two helpers it
// is written with. A host that makes a database of its own does the same:
// append the records in hierarchy order and enter each into the directory
// as it goes.
#ifndef METDB_EXAMPLES_SAMPLE_DATABASE_H_
#define METDB_EXAMPLES_SAMPLE_DATABASE_H_

#include <metdb/metdb.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

// Copies text into a name field, cut to the field, and fills the rest of the
// field with NULs, so that every byte written to the data file is defined.
template <std::size_t N>
void setName(char (&field)[N], const char* text) {
  std::strncpy(field, text, N - 1);
  field[N - 1] = '\0';
}

// A record with the given names, level and position. The constructor has
// set every number (auxValue, the five series) to zero.
inline LocationData makeRecord(const char* continent, const char* country, const char* state,
                               const char* name, int level, float latitude, float longitude) {
  LocationData record;
  setName(record.continent, continent);
  setName(record.country, country);
  setName(record.state, state);
  setName(record.name, name);
  record.level = static_cast<std::int8_t>(level);
  record.latitude = latitude;
  record.longitude = longitude;
  return record;
}

// Makes a new database of six locations at path (a data file that must not
// exist yet, and its directory file beside it). The records go in hierarchy
// order: all of a continent together, within it all of a country, within
// that all of a state. That is the order the directory's filling operation,
// addOrderedEntry, expects. False when a step failed; getMetLastError()
// says why.
inline bool makeSampleDatabase(const std::string& path) {
  const LocationData records[] = {
      makeRecord("Asia", "Japan", "Tokyo", "Tokyo", 1, 35.69f, 139.69f),
      makeRecord("Europe", "Finland", "Uusimaa", "Helsinki", 1, 60.17f, 24.94f),
      makeRecord("Europe", "Norway", "Oslo", "Oslo", 1, 59.91f, 10.75f),
      makeRecord("Europe", "Norway", "Vestland", "Bergen", 2, 60.39f, 5.32f),
      makeRecord("Europe", "Sweden", "Skane", "Lund", 3, 55.70f, 13.19f),
      makeRecord("Europe", "Sweden", "Stockholm", "Stockholm", 1, 59.33f, 18.07f),
  };
  BMTFile db(path.c_str());  // creates the empty data file
  if (!db.IsValid() || !db.IsEmpty()) return false;
  LocationData previous;  // the previous record of the sequence: names empty
  for (LocationData record : records) {
    long index = db.addLocationData(record);
    if (index < 0) return false;
    db.directory->addOrderedEntry(record, previous, index);
  }
  return db.storeDirectory();  // the destructor would save it too, silently
}

// makeSampleDatabase, saying on standard error why it failed.
inline bool makeSampleDatabaseOrSay(const std::string& path) {
  if (makeSampleDatabase(path)) return true;
  std::fprintf(stderr, "cannot make %s: %s\n", path.c_str(), getMetLastError());
  return false;
}

#endif  // METDB_EXAMPLES_SAMPLE_DATABASE_H_
