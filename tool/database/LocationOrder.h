#ifndef METDB_TOOL_DATABASE_LOCATIONORDER_H_
#define METDB_TOOL_DATABASE_LOCATIONORDER_H_

#include <string>
#include <vector>

namespace metdb {

class SelectedLocations;

// What selected locations can be ordered by instead of the walk.
enum class SortKey {
  kName,
  kLatitude,
  kLongitude,
  kLevel,
  kIndex,  // the record index
  kCountry,
  kState,
  kContinent,
};

// The key names as a user writes them, in the order above: "name",
// "latitude", ..., "continent".
const std::vector<std::string>& sortKeyNames();

// The key of a name of sortKeyNames(), matched exactly. Throws Error
// naming the name and every key there is when it is none of them.
SortKey parseSortKey(const std::string& name);

// The record indices of the locations selected walks, ordered by key:
// ascending, or descending when descending is true. Names are compared by
// their search keys (searchKey: case, accents and script set aside);
// numbers by value, with a coordinate that is no number after every other
// in either direction. Locations of equal keys keep their walk order.
//
// The records are read once, in walk order, with a check point each
// (forEach); only the keys are kept, one (record index, key) pair per
// location, so that a million locations take tens of megabytes, not the
// records' hundreds. Throws what forEach throws.
std::vector<long> sortedRecordIndices(SelectedLocations& selected, SortKey key, bool descending);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_LOCATIONORDER_H_
