#ifndef METDB_DATAFILE_WORKINGDIRECTORY_H_
#define METDB_DATAFILE_WORKINGDIRECTORY_H_

// WorkingDirectory moved to common/, below both directory/ and datafile/; this name
// stays for the host programs that include it.
#include "common/WorkingDirectory.h"

#endif  // METDB_DATAFILE_WORKINGDIRECTORY_H_
