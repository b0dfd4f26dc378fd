#ifndef METDB_DATAFILE_STATIONFILEWRITE_H_
#define METDB_DATAFILE_STATIONFILEWRITE_H_

#include <string>

// Writes text to a new temporary file ("TQ_XXXXXX") in the folder of
// target, synced, with the permission bits of model (or of target when
// model is ""), modified no earlier than atLeastNs. Returns its name, or ""
// (nothing left behind, the reason noted) when it cannot be written. The
// caller renames it over target, as the directory file is renamed.
std::string writeStationFileBeside(const std::string& target, const std::string& text,
                                   const std::string& model, long long atLeastNs);

#endif  // METDB_DATAFILE_STATIONFILEWRITE_H_
