#include "tool/database/ScratchFolder.h"

#include <stdlib.h>  // mkdtemp (POSIX)

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace metdb {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& parent) {
  fs::path base = parent.empty() ? fs::path(".") : fs::path(parent);
  // The standard library has no exclusive creation of a uniquely named
  // folder; mkdtemp is POSIX's, and makes the folder readable by its owner
  // only, which suits a folder of unfinished files.
  std::string name = (base / ".metdb-XXXXXX").string();
  if (::mkdtemp(name.data()) == nullptr) {
    error_ = "cannot make a work folder in \"" + base.string() +
             "\": " + std::generic_category().message(errno);
    return;
  }
  path_ = name;
}

ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string ScratchFolder::file(const std::string& name) const { return path_ + "/" + name; }

}  // namespace metdb
