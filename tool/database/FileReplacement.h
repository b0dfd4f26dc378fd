#ifndef METDB_TOOL_DATABASE_FILEREPLACEMENT_H_
#define METDB_TOOL_DATABASE_FILEREPLACEMENT_H_

#include <memory>
#include <ostream>
#include <string>

#include "platform/DurableReplacement.h"

namespace metdb {

// A new file for target, written beside it and put in its place durably
// only once it is complete (platform::DurableReplacement): a failed write
// never leaves a half-written file nor spoils the one that stood there, and
// after a power cut the name holds the old file or the new one. What
// commit() did not put in place is removed when the object is destroyed.
class FileReplacement {
 public:
  // Creates the temporary file in target's folder; throws Error ("Cannot
  // write TARGET: why.") when it cannot be made.
  explicit FileReplacement(const std::string& target);
  ~FileReplacement();

  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The new file's content goes here (buffered; binary).
  std::ostream& out() { return *out_; }

  // Writes what is buffered, syncs the new file, renames it over target and
  // syncs the folder; throws Error, with target as it was, when any step
  // fails (a failed sync is never retried), or, when only the folder's sync
  // failed, with the new file in place ("... was written, but ...; it may
  // not survive a power cut.").
  void commit();

  // Throws the Error of a write that failed for why (a phrase): "Cannot
  // write TARGET: why." (without why: "Cannot write TARGET.").
  [[noreturn]] void fail(const std::string& why) const;

 private:
  class Buffer;

  std::string target_;
  platform::DurableReplacement replacement_;
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::ostream> out_;
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_FILEREPLACEMENT_H_
