#include "tool/database/Leftovers.h"

#include <algorithm>
#include <cstdint>

#include "platform/Env.h"

namespace metdb {

namespace {

constexpr std::int64_t kSettledNs = 60LL * 1000000000LL;

bool isTemporaryName(const std::string& name) {
  if (name.size() != 9 || name.compare(0, 3, "TQ_") != 0) return false;
  return std::all_of(name.begin() + 3, name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

std::string folderOf(const std::string& dataFile) {
  std::size_t slash = dataFile.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : dataFile.substr(0, slash);
}

std::string pathIn(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Calls visit(path, handle, status) for each temporary file of folder that
// no live process holds, with its lock taken by this process meanwhile.
template <typename Visit>
void forEachLeftover(const std::string& folder, Visit visit) {
  platform::Env* env = platform::Env::current();
  std::vector<std::string> names;
  if (!env->listFolder(folder.empty() ? "." : folder, &names)) return;
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (!isTemporaryName(name)) continue;
    std::string path = pathIn(folder, name);
    int file = env->open(
        path, platform::Env::kReadWrite | platform::Env::kNoFollow | platform::Env::kNonBlocking,
        0);
    if (file < 0) continue;
    platform::FileStatus status;
    if (env->status(file, &status) && status.kind == platform::FileStatus::kRegular &&
        env->lock(file, 0, platform::Env::kExclusiveLock)) {
      visit(path, name, status);
    }
    env->close(file);
  }
}

}  // namespace

std::vector<std::string> findLeftovers(const std::string& dataFile) {
  std::vector<std::string> found;
  forEachLeftover(folderOf(dataFile), [&](const std::string&, const std::string& name,
                                          const platform::FileStatus&) { found.push_back(name); });
  return found;
}

std::vector<std::string> removeLeftovers(const std::string& dataFile) {
  platform::Env* env = platform::Env::current();
  std::int64_t now = env->nowNs();
  std::vector<std::string> removed;
  forEachLeftover(folderOf(dataFile), [&](const std::string& path, const std::string& name,
                                          const platform::FileStatus& status) {
    if (now - status.stamp.modifiedNs < kSettledNs) return;
    // Still the file whose lock is held here, not one put under its name
    // since.
    platform::FileStatus named;
    if (!env->statusOf(path, &named, false) || !named.stamp.sameFile(status.stamp)) return;
    if (env->remove(path)) removed.push_back(name);
  });
  return removed;
}

}  // namespace metdb
