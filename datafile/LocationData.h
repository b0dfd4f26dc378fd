#ifndef METDB_DATAFILE_LOCATIONDATA_H_
#define METDB_DATAFILE_LOCATIONDATA_H_

// LocationData moved to common/, below both directory/ and datafile/; this name
// stays for the host programs that include it.
#include "common/LocationData.h"

#endif  // METDB_DATAFILE_LOCATIONDATA_H_
