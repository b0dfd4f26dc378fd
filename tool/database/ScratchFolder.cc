#include "tool/database/ScratchFolder.h"

#include <filesystem>
#include <random>
#include <system_error>

namespace metdb {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& parent) {
  static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, sizeof kDigits - 2);
  fs::path base = parent.empty() ? fs::path(".") : fs::path(parent);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = ".metdb-";
    for (int i = 0; i < 8; ++i) name += kDigits[pick(random)];
    fs::path candidate = base / name;
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
    if (ec) {
      error_ = "cannot make a work folder in \"" + base.string() + "\": " + ec.message();
      return;
    }
  }
  error_ = "cannot find a free name for a work folder in \"" + base.string() + "\"";
}

ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string ScratchFolder::file(const std::string& name) const { return path_ + "/" + name; }

}  // namespace metdb
