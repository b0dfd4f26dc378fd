#ifndef METDB_TOOL_DATABASE_SHAREDFOLDER_H_
#define METDB_TOOL_DATABASE_SHAREDFOLDER_H_

#include <string>

namespace metdb {

// Whether users other than the database's writers could replace or remove
// its files: whoever may write a folder that has no sticky bit may rename
// any file of it away and put another, or a link, in its place. The library
// never writes through a file it did not make, but the database that its
// users find afterwards is then no longer theirs.
//
// A folder that every user may write, without the sticky bit, is refused
// for changes: any account of the machine (a web server's, say) could swap
// the database. A folder that its group may write is how a team shares a
// database, and is accepted; when the data file is not writable by the
// group, though, the group's members could replace a database they may not
// change, and a warning says so. In such a folder a data file that is a
// symbolic link, which any member could have put there to have the
// database's writers write elsewhere, is refused. In a sticky folder (as
// /tmp) each user may replace only their own files.
//
// For a change of the database whose data file is dataFile (which may not
// exist yet): throws Error (kReadOnly), naming the folder and the remedy,
// when the change is refused; otherwise returns a warning sentence, or ""
// when there is nothing to warn of (or the folder cannot be asked).
std::string checkFolderSharing(const std::string& dataFile);

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_SHAREDFOLDER_H_
