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
  // Makes the work folder in target's folder; throws Error ("Cannot write
  // TARGET: why.") when it cannot be made.
  explicit FileReplacement(const std::string& target);

  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The path to write the new file to (in the work folder).
  const std::string& path() const { return path_; }

  // Moves the written file over target; throws Error, with target as it
  // was, when the rename fails.
  void commit();

  // Throws the Error of a write that failed for why (a phrase): "Cannot
  // write TARGET: why." (without why: "Cannot write TARGET.").
  [[noreturn]] void fail(const std::string& why) const;

 private:
  std::string target_;
  ScratchFolder folder_;
  std::string path_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_FILEREPLACEMENT_H_
