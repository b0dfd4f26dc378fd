// Synthetic databases for the benchmarks: a grouped data file of n records
// over 6 continents, 300 countries and 3000 states, names of 4 to 20
// characters, coordinates spread over the globe.
#ifndef METDB_BENCH_SYNTHETICDATA_H_
#define METDB_BENCH_SYNTHETICDATA_H_

#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

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
