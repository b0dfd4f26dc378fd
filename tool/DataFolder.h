#ifndef METDB_TOOL_DATAFOLDER_H_
#define METDB_TOOL_DATAFOLDER_H_

#include <string>

namespace metdb {

// The folder of the tool's reference data (geo/: countries and their
// outlines; tz/: time zones), which an installation keeps in
// PREFIX/share/metdb. The first
// of these that applies:
//   1. the environment variable METDB_DATA_DIR, when set and not empty,
//      whether or not the folder exists (the user's choice is not second-
//      guessed; reading a file from it then fails naming the file);
//   2. share/metdb beside the bin/ of the running program (PREFIX/bin/metdb
//      gives PREFIX/share/metdb), when that folder exists;
//   3. the data/ folder of the source tree the library was built from, so
//      that the programs of a build tree and the tests find the data
//      without an installation.
// Never throws; the folder may turn out to lack a file, which the reader
// of that file reports.
std::string dataFolder();

// The same choice from given facts, for which dataFolder() asks the
// system: environment is the value of METDB_DATA_DIR (null when unset),
// executable the running program's path (empty when unknown), sourceData
// the source tree's data/ folder.
std::string chooseDataFolder(const char* environment, const std::string& executable,
                             const std::string& sourceData);

}  // namespace metdb

#endif  // METDB_TOOL_DATAFOLDER_H_
