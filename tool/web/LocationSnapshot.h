#ifndef METDB_TOOL_WEB_LOCATIONSNAPSHOT_H_
#define METDB_TOOL_WEB_LOCATIONSNAPSHOT_H_

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "datafile/LocationData.h"
#include "datafile/StationInfo.h"
#include "directory/Directory.h"
#include "tool/geo/GeoIndex.h"
#include "tool/search/SearchIndex.h"

namespace metdb {

// One state of a database, read whole into memory and never changed
// afterwards, so that many requests can read it at once while another
// process edits the files: every record, a directory of its own built from
// them in walk order (for find and the filters), and the nearest index.
// Shared by shared_ptr; the server swaps in a new one when the files change.
class LocationSnapshot {
 public:
  // Reads the database of dataFile (shared lock while it opens, waiting up
  // to waitSeconds for a writer). Throws Error as opening does.
  static std::shared_ptr<const LocationSnapshot> load(const std::string& dataFile,
                                                      double waitSeconds);

  ~LocationSnapshot();
  LocationSnapshot(const LocationSnapshot&) = delete;
  LocationSnapshot& operator=(const LocationSnapshot&) = delete;

  // The directory (non-const for the tool's queries, which take a Directory*
  // but only read its arrays) and its entries in walk order.
  Directory* directory() const { return directory_.get(); }
  const std::vector<Location*>& entries() const { return entries_; }
  // The entries' directory coordinates and levels, in the same order, packed
  // so that a box or level test over every location reads one array.
  struct Spot {
    float latitude;
    float longitude;
    int level;
  };
  const std::vector<Spot>& spots() const { return spots_; }
  // The places in spots() of every spot that may lie in the box (degrees;
  // a west east of the east crosses the 180th meridian), each once, in no
  // order: those of the one-degree cells the box overlaps, and those off
  // the globe. False
  // (and *places untouched) when they would be more than an eighth of all,
  // where one pass over spots() costs less.
  bool spotsInBox(float south, float west, float north, float east,
                  std::vector<std::uint32_t>* places) const;
  // The record of a record index; null when there is none.
  const LocationData* record(long index) const;
  // The nearest index over every entry with a usable position, in walk
  // order; its points' recordIndex is the record's.
  const GeoIndex& geoIndex() const { return *geoIndex_; }
  // find's index over the directory's names, built on the first call (about
  // a second at 10^6 locations; other callers wait for it) and kept while
  // the snapshot lives.
  const SearchIndex& searchIndex() const;
  // Whether the database has a station file (then every feature carries
  // the station columns, null where unknown).
  bool hasStations() const { return hasStations_; }
  // The station information of a record index; null when none is known.
  const StationInfo* station(long index) const;
  // Whether the location of a record index operated on day (YYYY-MM-DD):
  // one without station information or dates counts as operating.
  bool activeOn(long index, const std::string& day) const;
  // The record indices of the locations holding text as an identifier, as
  // identifiedLocations finds them in the station file.
  std::set<long> identified(const std::string& text) const;

  // The number of locations.
  long count() const { return static_cast<long>(entries_.size()); }

 private:
  LocationSnapshot();
  void indexCells();
  std::unique_ptr<Directory> directory_;
  std::vector<Location*> entries_;
  std::vector<Spot> spots_;
  // spots_' places by one-degree cell (latitude major), and of those off
  // the globe (or not numbers).
  std::vector<std::uint32_t> cellStart_;
  std::vector<std::uint32_t> cellPlaces_;
  std::vector<std::uint32_t> offGlobe_;
  std::vector<LocationData> records_;  // by record index
  std::vector<bool> present_;
  // The station file as it was read with the records, once per state.
  bool hasStations_ = false;
  std::unordered_map<long, StationInfo> stations_;
  std::unordered_map<std::string, std::vector<long>> holders_;  // by identifier
  std::unique_ptr<GeoIndex> geoIndex_;
  mutable std::once_flag searchIndexBuilt_;
  mutable std::unique_ptr<SearchIndex> searchIndex_;
};

}  // namespace metdb

#endif  // METDB_TOOL_WEB_LOCATIONSNAPSHOT_H_
