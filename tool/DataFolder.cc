#include "tool/DataFolder.h"

#include "platform/Env.h"

namespace metdb {

std::string chooseDataFolder(const char* environment, const std::string& executable,
                             const std::string& sourceData) {
  if (environment != nullptr && *environment != '\0') return environment;
  std::string::size_type bin = executable.rfind('/');
  if (bin != std::string::npos) {
    // PREFIX/bin/metdb -> PREFIX/share/metdb
    std::string::size_type prefix = executable.rfind('/', bin == 0 ? 0 : bin - 1);
    std::string installed =
        (prefix == std::string::npos ? std::string(".") : executable.substr(0, prefix)) +
        "/share/metdb";
    if (platform::Env::current()->kindOf(installed) == platform::FileStatus::kFolder) {
      return installed;
    }
  }
  return sourceData;
}

std::string dataFolder() {
  platform::Env* env = platform::Env::current();
  // The running program's file, whatever its name or the current
  // directory; "" where the system cannot tell, and the other choices remain.
  std::string variable = env->variable("METDB_DATA_DIR");
  return chooseDataFolder(variable.c_str(), env->programFile(), METDB_SOURCE_DATA_DIR);
}

}  // namespace metdb
