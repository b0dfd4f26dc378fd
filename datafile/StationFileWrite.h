#ifndef METDB_DATAFILE_STATIONFILEWRITE_H_
#define METDB_DATAFILE_STATIONFILEWRITE_H_

#include <string>

#include "platform/DurableReplacement.h"

// Begins replacement (of a station file) and writes text into its
// temporary file, with the permission bits of model (those of the target,
// or of a new file, when model is "" or the target), modified no earlier
// than atLeastNs. The caller commits it, which syncs it and renames it into
// place durably. False (nothing left behind, the reason noted) when it
// cannot be written.
bool writeStationFileBeside(platform::DurableReplacement* replacement, const std::string& text,
                            const std::string& model, long long atLeastNs);

#endif  // METDB_DATAFILE_STATIONFILEWRITE_H_
