// Walking the directory in hierarchy order, and looking places up by name.
// Usage: walk_directory [FOLDER]
#include <metdb/metdb.h>

#include <cstdio>
#include <string>

#include "sample_database.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (!makeSampleDatabaseOrSay(path)) return 1;
  BMTFile db(path.c_str());
  if (!db.IsValid()) return 1;
  Directory* directory = db.directory;  // owned by db

  // first() and next() move the directory's one cursor; next() returns
  // false when it has come round to the first location again. The cursor's
  // arrays name the continent, country and state of the current location.
  if (!directory->IsEmpty()) {
    directory->first();
    do {
      long index = directory->getLocationIndex();
      if (index < 0) continue;  // a step without a current location
      Continent* continent = (*directory->continents)[directory->continentPos];
      Country* country = (*directory->curCountries)[directory->countryPos];
      State* state = (*directory->curStates)[directory->statePos];
      std::printf("%s / %s / %s / %s: record %ld\n", continent->c_str(), country->c_str(),
                  state->c_str(), directory->getLocationName(), index);
    } while (directory->next());
  }

  // Look-ups by name ignore letter case and return records the directory
  // owns, or null.
  Continent* europe = directory->getContinent("EUROPE");
  Country* norway = europe ? directory->getCountry("norway", europe->getCountries()) : nullptr;
  if (norway == nullptr) return 1;
  std::printf("%s has %u states\n", norway->c_str(), norway->getStates()->count());
  return 0;
}
