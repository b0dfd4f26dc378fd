#ifndef METDB_TOOL_DATABASE_FILEREPLACEMENT_H_
#define METDB_TOOL_DATABASE_FILEREPLACEMENT_H_

#include <string>

#include "tool/database/ScratchFolder.h"

namespace metdb {

// A new file for target, built in a work folder beside it and moved over it
// only once it is complete, so that a failed write never leaves a
// half-written file, nor spoils the one that stood there. What commit did
// not move is removed with the work folder when the object is destroyed.
class FileReplacement {
 public:
  // Makes the work folder in target's folder. ok() tells whether it
  // worked.
  explicit FileReplacement(const std::string& target);

  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Whether the work folder was made; if not, error() says why (a phrase).
  bool ok() const { return folder_.ok(); }
  const std::string& error() const { return folder_.error(); }

  // The path to write the new file to (in the work folder); empty when the
  // folder could not be made.
  const std::string& path() const { return path_; }

  // Moves the written file over target. Returns false with *error set (a
  // phrase) when the rename fails; target is then as it was.
  bool commit(std::string* error);

 private:
  std::string target_;
  ScratchFolder folder_;
  std::string path_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_FILEREPLACEMENT_H_
