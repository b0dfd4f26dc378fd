#ifndef METDB_TOOL_DATABASE_LEFTOVERS_H_
#define METDB_TOOL_DATABASE_LEFTOVERS_H_

#include <string>
#include <vector>

namespace metdb {

// The temporary files "TQ_" and six letters or digits that a killed writer
// (a compaction, an import, a saved directory) left in the folder of the
// data file dataFile: those that no live process holds. A writer locks its
// temporary file from the moment it is made (platform::DurableReplacement),
// so a lock that can be taken tells that its writer is gone. Names only,
// sorted; nothing when the folder cannot be listed.
std::vector<std::string> findLeftovers(const std::string& dataFile);

// Removes the leftovers of findLeftovers that were last changed a minute
// ago or more: a directory file being put in place by a writer of another
// database in the same folder is held by no lock for the moments between
// its writing and its rename. The same for the scratch folders of
// findScratchLeftovers in the data file's folder (those in the shared
// temporary folder are only listed by `check`: removing another's folder
// tree there is not safe). For a writer that holds the database's
// exclusive lock. Returns the names removed; failures are passed over (the
// next writer tries again).
std::vector<std::string> removeLeftovers(const std::string& dataFile);

// The scratch folders ".metdb-" and six characters (ScratchFolder) in
// folder that a killed command left: those whose lock file no live process
// holds. Paths, sorted; nothing when the folder cannot be listed.
std::vector<std::string> findScratchLeftovers(const std::string& folder);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_LEFTOVERS_H_
