#ifndef METDB_DATAFILE_RECORDORDER_H_
#define METDB_DATAFILE_RECORDORDER_H_

#include "common/LocationData.h"

// The order in which an import pairs records: by continent, country, state
// and name ignoring ASCII case, then the lower level first, then the smaller
// latitude, then the smaller longitude. Returns -1, 0 or 1 as a comes before,
// equals or comes after b. auxValue and the series take no part.
int compareLocationData(const LocationData& a, const LocationData& b);

#endif  // METDB_DATAFILE_RECORDORDER_H_
