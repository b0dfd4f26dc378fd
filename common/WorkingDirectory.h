#ifndef METDB_COMMON_WORKINGDIRECTORY_H_
#define METDB_COMMON_WORKINGDIRECTORY_H_

#include "platform/CurrentDirectory.h"

// The scope of one file operation of a database or of its directory: while
// the object lives, the owner's home drive and directory are the process's
// current ones; its destruction, by whatever path the operation leaves
// (exceptions included), makes the caller's drive and directory current
// again. Relative file names of a database therefore always mean the same
// files, whatever the host does with its current directory between calls.
//
// Neither the switch nor the restore reports failure: when the home cannot
// be entered (removed, say) the operation runs in whatever directory is
// current. The caller's directory is kept as an open handle as well as a
// path, so it is restored even when its path does not fit savedDir or the
// folder has been renamed or removed meanwhile. Scopes nest; each restores
// what it found. Drives do not exist on this platform: the drive calls do
// nothing.
class WorkingDirectory {
 public:
  // Saves the current drive and directory, then selects drive and makes dir
  // current. A null dir leaves the directory alone.
  WorkingDirectory(int drive, const char* dir);
  // Selects the saved drive and makes the saved directory current again.
  ~WorkingDirectory();

  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  // The drive current at construction.
  int savedDrive;
  // The directory current at construction, terminated; empty when its path
  // needs more than 259 characters or could not be read (the handle below
  // still restores it then).
  char savedDir[260];

 private:
  platform::DirectoryHandle savedHandle_;
};

#endif  // METDB_COMMON_WORKINGDIRECTORY_H_
