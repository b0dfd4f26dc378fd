#include "tool/database/ScratchFolder.h"

#include <cerrno>
#include <system_error>

#include "platform/Env.h"

namespace metdb {

ScratchFolder::ScratchFolder(const std::string& parent) {
  std::string base = parent.empty() ? "." : parent;
  // Created exclusively under a name no other process can guess, open to
  // its owner only, which suits a folder of unfinished files.
  if (!platform::Env::current()->createUniqueFolder(base, ".metdb-", &path_)) {
    error_ =
        "cannot make a work folder in \"" + base + "\": " + std::generic_category().message(errno);
    path_.clear();
  }
}

ScratchFolder::~ScratchFolder() {
  if (!path_.empty()) platform::Env::current()->removeAll(path_);
}

std::string ScratchFolder::file(const std::string& name) const { return path_ + "/" + name; }

}  // namespace metdb
