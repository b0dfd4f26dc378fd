#include "tool/database/FileReplacement.h"

#include <filesystem>
#include <system_error>

namespace metdb {

namespace fs = std::filesystem;

FileReplacement::FileReplacement(const std::string& target)
    : target_(target), folder_(fs::path(target).parent_path().string()) {
  if (folder_.ok()) path_ = folder_.file("new");
}

bool FileReplacement::commit(std::string* error) {
  std::error_code ec;
  fs::rename(path_, target_, ec);
  if (ec) {
    *error = ec.message();
    return false;
  }
  return true;
}

}  // namespace metdb
