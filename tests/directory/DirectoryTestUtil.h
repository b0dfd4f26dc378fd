#ifndef METDB_TESTS_DIRECTORY_DIRECTORYTESTUTIL_H_
#define METDB_TESTS_DIRECTORY_DIRECTORYTESTUTIL_H_

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "datafile/LocationData.h"
#include "directory/Directory.h"

namespace directorytest {

// A record with the given names (cut to their fields), level and position.
inline LocationData record(const std::string& continent, const std::string& country,
                           const std::string& state, const std::string& name, int level = 0,
                           float latitude = 0, float longitude = 0) {
  LocationData d;
  std::strncpy(d.continent, continent.c_str(), sizeof d.continent - 1);
  d.continent[sizeof d.continent - 1] = '\0';
  std::strncpy(d.country, country.c_str(), sizeof d.country - 1);
  d.country[sizeof d.country - 1] = '\0';
  std::strncpy(d.state, state.c_str(), sizeof d.state - 1);
  d.state[sizeof d.state - 1] = '\0';
  std::strncpy(d.name, name.c_str(), sizeof d.name - 1);
  d.name[sizeof d.name - 1] = '\0';
  d.level = static_cast<std::int8_t>(level);
  d.latitude = latitude;
  d.longitude = longitude;
  return d;
}

// Feeds records to a directory as a rebuild does: one previous record for
// the whole sequence, record indices 0, 1, 2, ...
class Filler {
 public:
  explicit Filler(Directory* directory) : directory_(directory) {}
  void add(const LocationData& d) { directory_->addOrderedEntry(d, previous_, next_++); }
  const LocationData& previous() const { return previous_; }

 private:
  Directory* directory_;
  LocationData previous_;
  long next_ = 0;
};

// The three Scandinavian records used in many tests: Bergen (0), Voss (1),
// Lund (2).
inline void fillScandinavia(Directory* directory) {
  Filler f(directory);
  f.add(record("Europe", "Norway", "Hordaland", "Bergen", 2, 60.3913f, 5.3221f));
  f.add(record("Europe", "Norway", "Hordaland", "Voss", 1, 60.6280f, 6.4180f));
  f.add(record("Europe", "Sweden", "Skane", "Lund", 1, 55.7047f, 13.1910f));
}

// "continent/country/state/name#index" of the cursor's location, or "-" for
// a step without one.
inline std::string here(Directory& d) {
  if (d.getLocationIndex() < 0) return "-";
  return (*d.continents)[d.continentPos]->c_str() + std::string("/") +
         (*d.curCountries)[d.countryPos]->c_str() + "/" + (*d.curStates)[d.statePos]->c_str() +
         "/" + d.getLocationName() + "#" + std::to_string(d.getLocationIndex());
}

// One full walk from first(): every step, gaps included.
inline std::vector<std::string> walk(Directory& d) {
  std::vector<std::string> steps;
  if (d.IsEmpty()) return steps;
  d.first();
  do {
    steps.push_back(here(d));
  } while (d.next());
  return steps;
}

// A grouped run of n records over a few continents, dozens of countries and
// hundreds of states, with repeated names, levels -2..5 and coordinates of
// the given number of decimals. With two decimals the directory file keeps
// the coordinates exactly.
inline void fillGenerated(Directory* directory, int n, unsigned seed, int decimals = 4) {
  const int scale = decimals == 2 ? 100 : 10000;
  std::mt19937 rng(seed);
  auto word = [&rng](int length) {
    std::string s(static_cast<std::size_t>(length), ' ');
    for (char& c : s) c = static_cast<char>((rng() % 2 ? 'a' : 'A') + rng() % 26);
    return s;
  };
  Filler f(directory);
  int made = 0;
  for (int c = 0; made < n; ++c) {
    std::string continent = word(3 + static_cast<int>(rng() % 10));
    for (int k = 0; k < 12 && made < n; ++k) {
      std::string country = word(2 + static_cast<int>(rng() % 20));
      for (int s = 0; s < 10 && made < n; ++s) {
        std::string state = word(1 + static_cast<int>(rng() % 25));
        int locations = 1 + static_cast<int>(rng() % 15);
        for (int l = 0; l < locations && made < n; ++l, ++made) {
          std::string name = rng() % 8 == 0 ? "Same" : word(1 + static_cast<int>(rng() % 20));
          f.add(record(continent, country, state, name, static_cast<int>(rng() % 8) - 2,
                       static_cast<float>(rng() % (180 * scale)) / scale - 90.0f,
                       static_cast<float>(rng() % (360 * scale)) / scale - 180.0f));
        }
      }
    }
  }
}

}  // namespace directorytest

#endif  // METDB_TESTS_DIRECTORY_DIRECTORYTESTUTIL_H_
