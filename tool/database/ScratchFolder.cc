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
    return;
  }
  platform::Env* env = platform::Env::current();
  held_ = env->open(file(kHeldName),
                    platform::Env::kReadWrite | platform::Env::kCreate | platform::Env::kExclusive |
                        platform::Env::kNoFollow,
                    0600);
  if (held_ >= 0) env->lock(held_, 0, platform::Env::kExclusiveLock);
}

ScratchFolder::~ScratchFolder() {
  platform::Env* env = platform::Env::current();
  if (!path_.empty()) env->removeAll(path_);
  if (held_ >= 0) env->close(held_);
}

std::string ScratchFolder::file(const std::string& name) const { return path_ + "/" + name; }

}  // namespace metdb
