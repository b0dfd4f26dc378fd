#include "tool/DataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace metdb {

std::string chooseDataFolder(const char* environment, const std::string& executable,
                             const std::string& sourceData) {
  if (environment != nullptr && *environment != '\0') return environment;
  if (!executable.empty()) {
    std::filesystem::path installed =
        std::filesystem::path(executable).parent_path().parent_path() / "share" / "metdb";
    std::error_code error;
    if (std::filesystem::is_directory(installed, error)) return installed.string();
  }
  return sourceData;
}

std::string dataFolder() {
  std::error_code error;
  // Linux names the running program's file here, whatever its name or the
  // current directory; elsewhere the link is missing and the other choices
  // remain.
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return chooseDataFolder(std::getenv("METDB_DATA_DIR"),
                          error ? std::string() : executable.string(), METDB_SOURCE_DATA_DIR);
}

}  // namespace metdb
