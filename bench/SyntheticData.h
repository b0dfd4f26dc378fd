// Synthetic databases for the benchmarks: a grouped data file of n records
// over 6 continents, 300 countries and 3000 states, names of 4 to 20
// characters, coordinates spread over the globe.
//
// syntheticRecords makes the records in memory, grouped but not sorted
// within a state. writeGroupedDatabase streams a file as the library itself
// writes one: every level in hierarchy order, groups of uneven size, so
// that a rebuild, a directory file and an import see the shape of a real
// database; it holds one state's records at a time.
#ifndef METDB_BENCH_SYNTHETICDATA_H_
#define METDB_BENCH_SYNTHETICDATA_H_

#include <stdlib.h>
#include <strings.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "datafile/LocationData.h"

namespace bench {

inline double peakMegabytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// n records in hierarchy groups; seed varies names and coordinates.
inline std::vector<LocationData> syntheticRecords(long n, unsigned seed = 1) {
  std::mt19937 rng(seed);
  std::vector<LocationData> out(static_cast<std::size_t>(n));
  const long states = 3000;
  for (long i = 0; i < n; ++i) {
    LocationData& r = out[static_cast<std::size_t>(i)];
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    long s = i * states / n;
    std::snprintf(r.continent, sizeof r.continent, "Continent%d", static_cast<int>(s / 500 % 100));
    std::snprintf(r.country, sizeof r.country, "Country%d", static_cast<int>(s / 10));
    std::snprintf(r.state, sizeof r.state, "State%d", static_cast<int>(s));
    std::size_t length = 4 + rng() % 17;
    for (std::size_t k = 0; k < length; ++k) r.name[k] = static_cast<char>('a' + rng() % 26);
    r.level = static_cast<std::int8_t>(rng() % 6);
    r.latitude = static_cast<float>(rng() % 18000) / 100.0f - 90.0f;
    r.longitude = static_cast<float>(rng() % 36000) / 100.0f - 180.0f;
    r.auxValue = static_cast<std::int16_t>(i % 30000);
  }
  return out;
}

// A capitalised name of 4 to 20 letters, the rest lower case, so that the
// case-insensitive order of the library is the order of the lower-case text.
inline std::string syntheticName(std::mt19937& rng) {
  std::string name(4 + rng() % 17, 'a');
  for (char& c : name) c = static_cast<char>('a' + rng() % 26);
  name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}

// The hierarchy of a synthetic database: names sorted within each parent,
// unique at each level, and how many records each state holds.
class SyntheticHierarchy {
 public:
  struct State {
    std::string continent, country, state;
    long records;
    unsigned seed;  // of its locations
  };

  // n records over `continents` continents, `countries` countries and
  // `states` states; group sizes vary by up to nine to one.
  SyntheticHierarchy(long n, int continents = 6, int countries = 300, int states = 3000) {
    std::mt19937 rng(7);
    std::vector<std::string> continentNames = uniqueSortedNames(rng, continents);
    std::vector<std::string> countryNames = uniqueSortedNames(rng, countries);
    std::vector<std::string> stateNames = uniqueSortedNames(rng, states);
    // Uneven shares: each group gets a weight of 1 to 9; cut points are the
    // cumulative weights scaled to the count below.
    std::vector<long> countryCut = cuts(rng, continents, countries);
    std::vector<long> stateCut = cuts(rng, countries, states);
    std::vector<long> recordCut = cuts(rng, states, n);
    for (int c = 0; c < continents; ++c) {
      // Countries are handed out to continents in runs; each run is sorted
      // already, being a slice of a sorted list.
      for (long k = countryCut[c]; k < countryCut[c + 1]; ++k) {
        for (long s = stateCut[k]; s < stateCut[k + 1]; ++s) {
          states_.push_back(State{continentNames[c], countryNames[k], stateNames[s],
                                  recordCut[s + 1] - recordCut[s],
                                  static_cast<unsigned>(s * 7919 + 1)});
        }
      }
    }
  }

  const std::vector<State>& states() const { return states_; }

 private:
  static std::vector<std::string> uniqueSortedNames(std::mt19937& rng, int count) {
    std::vector<std::string> names;
    while (static_cast<int>(names.size()) < count) {
      names.push_back(syntheticName(rng));
      std::sort(names.begin(), names.end(), lessIgnoringCase);
      names.erase(std::unique(names.begin(), names.end(), sameIgnoringCase), names.end());
    }
    return names;
  }
  static bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
  static bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
  }
  // parts + 1 ascending cut points from 0 to total.
  static std::vector<long> cuts(std::mt19937& rng, int parts, long total) {
    std::vector<long> weight(static_cast<std::size_t>(parts));
    long sum = 0;
    for (long& w : weight) sum += (w = 1 + static_cast<long>(rng() % 9));
    std::vector<long> out(1, 0);
    long running = 0;
    for (long w : weight) {
      running += w;
      out.push_back(static_cast<long>(static_cast<double>(total) * running / sum));
    }
    return out;
  }

  std::vector<State> states_;
};

// The records of one state in the library's location order: name ignoring
// case, higher level first, then latitude, then longitude. Coordinates have
// two decimals, as the directory file keeps them. With mixSeed nonzero,
// every other record is replaced by one made from mixSeed instead, so that
// two databases made with the same seed, one of them mixed, share half
// their records.
inline std::vector<LocationData> stateRecords(const SyntheticHierarchy::State& s,
                                              unsigned mixSeed = 0) {
  std::mt19937 rng(s.seed), other(s.seed ^ (mixSeed * 2654435761u));
  std::vector<LocationData> out(static_cast<std::size_t>(s.records));
  for (long i = 0; i < s.records; ++i) {
    std::mt19937& g = (mixSeed != 0 && i % 2 == 1) ? other : rng;
    // Both generators advance for every record, so that the shared half is
    // the same whatever mixSeed is.
    std::mt19937& unused = &g == &rng ? other : rng;
    LocationData& r = out[static_cast<std::size_t>(i)];
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    std::snprintf(r.continent, sizeof r.continent, "%s", s.continent.c_str());
    std::snprintf(r.country, sizeof r.country, "%s", s.country.c_str());
    std::snprintf(r.state, sizeof r.state, "%s", s.state.c_str());
    std::snprintf(r.name, sizeof r.name, "%s", syntheticName(g).c_str());
    r.level = static_cast<std::int8_t>(g() % 6);
    r.latitude = static_cast<float>(static_cast<long>(g() % 18001) - 9000) / 100.0f;
    r.longitude = static_cast<float>(static_cast<long>(g() % 36001) - 18000) / 100.0f;
    r.auxValue = static_cast<std::int16_t>(g() % 30000);
    for (int k = 0; k < 12; ++k) {
      r.seriesA[k] = static_cast<float>(k) + r.latitude;
      r.seriesC[k] = static_cast<std::int16_t>(k * 10);
      r.seriesE[k] = r.longitude - static_cast<float>(k);
    }
    if (mixSeed != 0) {
      syntheticName(unused);
      for (int k = 0; k < 4; ++k) unused();
    }
  }
  std::sort(out.begin(), out.end(), [](const LocationData& a, const LocationData& b) {
    int byName = strcasecmp(a.name, b.name);
    if (byName != 0) return byName < 0;
    if (a.level != b.level) return a.level > b.level;
    if (a.latitude != b.latitude) return a.latitude < b.latitude;
    return a.longitude < b.longitude;
  });
  return out;
}

// Writes a grouped data file of n records in hierarchy order (see
// stateRecords for mixSeed).
inline void writeGroupedDatabase(const std::string& path, long n, unsigned mixSeed = 0) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  SyntheticHierarchy hierarchy(n);
  for (const SyntheticHierarchy::State& s : hierarchy.states()) {
    std::vector<LocationData> records = stateRecords(s, mixSeed);
    out.write(reinterpret_cast<const char*>(records.data()),
              static_cast<std::streamsize>(records.size() * sizeof(LocationData)));
  }
}

inline void writeRecords(const std::string& path, const std::vector<LocationData>& records) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(records.data()),
            static_cast<std::streamsize>(records.size() * sizeof(LocationData)));
}

// A fresh folder under the system's temporary directory, removed (with
// what is in it) when destroyed.
class ScratchDir {
 public:
  ScratchDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/metdb-bench-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) != nullptr) path_ = buf.data();
  }
  ~ScratchDir() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace bench

#endif  // METDB_BENCH_SYNTHETICDATA_H_
