#include "tool/database/FileReplacement.h"

#include <filesystem>
#include <system_error>

#include "tool/Error.h"

namespace metdb {

namespace fs = std::filesystem;

FileReplacement::FileReplacement(const std::string& target)
    : target_(target), folder_(fs::path(target).parent_path().string()) {
  if (!folder_.ok()) fail(folder_.error());
  path_ = folder_.file("new");
}

void FileReplacement::commit() {
  std::error_code ec;
  fs::rename(path_, target_, ec);
  if (ec) fail(ec.message());
}

void FileReplacement::fail(const std::string& why) const {
  throw Error("Cannot write \"" + target_ + "\"" + (why.empty() ? "" : ": " + why) + ".");
}

}  // namespace metdb
