#ifndef METDB_TOOL_DATABASE_SCRATCHFOLDER_H_
#define METDB_TOOL_DATABASE_SCRATCHFOLDER_H_

#include <string>

namespace metdb {

// A new, empty folder of the tool's own, removed with everything in it when
// the object is destroyed. Commands build new files in one and move them
// into place when they are complete, so that a failure never leaves a
// half-written file where the user's files are.
class ScratchFolder {
 public:
  // Creates a folder named ".metdb-" and a unique suffix inside parent
  // ("" for the current directory), open to its owner only. The creation
  // itself is exclusive, so two runs never share a folder. The folder's
  // file kHeldName stays locked while the object lives, so that a later
  // command tells a folder that a killed one left (findScratchLeftovers)
  // from a live one's. ok() tells whether it worked; error() then says why
  // not.
  explicit ScratchFolder(const std::string& parent);
  ~ScratchFolder();

  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The file in each scratch folder that its maker holds locked.
  static constexpr const char* kHeldName = ".held";

  bool ok() const { return !path_.empty(); }
  const std::string& error() const { return error_; }
  // The folder's path; empty when it could not be made.
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string file(const std::string& name) const;

 private:
  std::string path_;
  std::string error_;
  int held_ = -1;  // kHeldName, open and locked
};

}  // namespace metdb

#endif  // METDB_TOOL_DATABASE_SCRATCHFOLDER_H_
