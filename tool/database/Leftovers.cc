#include "tool/database/Leftovers.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/Env.h"
#include "tool/database/ScratchFolder.h"

namespace metdb {

namespace {

constexpr std::int64_t kSettledNs = 60LL * 1000000000LL;

bool isTemporaryName(const std::string& name) {
  if (name.size() != 9 || name.compare(0, 3, "TQ_") != 0) return false;
  return std::all_of(name.begin() + 3, name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

bool isScratchName(const std::string& name) {
  return name.size() == 13 && name.compare(0, 7, ".metdb-") == 0;
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

// The paths of the entries of folder whose names pass isOurs, sorted by
// name; nothing when the folder cannot be listed.
std::vector<std::string> pathsIn(const std::string& folder, bool (*isOurs)(const std::string&)) {
  std::vector<std::string> names;
  if (!platform::Env::current()->listFolder(folder.empty() ? "." : folder, &names)) return {};
  std::sort(names.begin(), names.end());
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    if (isOurs(name)) paths.push_back(pathIn(folder, name));
  }
  return paths;
}

// Calls visit(path, name, status) for each temporary file of folder that
// no live process holds, with its lock taken by this process meanwhile.
template <typename Visit>
void forEachLeftover(const std::string& folder, Visit visit) {
  platform::Env* env = platform::Env::current();
  for (const std::string& path : pathsIn(folder, isTemporaryName)) {
    std::string name = path.substr(path.size() - 9);
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

// Calls visit(path, status) for each scratch folder in folder whose lock
// file no live process holds, with that lock taken by this process
// meanwhile. A folder made before its lock file counts once it is a
// minute old.
template <typename Visit>
void forEachScratchLeftover(const std::string& folder, Visit visit) {
  platform::Env* env = platform::Env::current();
  std::int64_t now = env->nowNs();
  for (const std::string& path : pathsIn(folder, isScratchName)) {
    platform::FileStatus status;
    if (!env->statusOf(path, &status, false) || status.kind != platform::FileStatus::kFolder) {
      continue;
    }
    int held = env->open(
        path + "/" + ScratchFolder::kHeldName,
        platform::Env::kReadWrite | platform::Env::kNoFollow | platform::Env::kNonBlocking, 0);
    if (held < 0) {
      if (errno == ENOENT && now - status.stamp.modifiedNs >= kSettledNs) visit(path, status);
      continue;
    }
    if (env->lock(held, 0, platform::Env::kExclusiveLock)) visit(path, status);
    env->close(held);
  }
}

}  // namespace

std::vector<std::string> findScratchLeftovers(const std::string& folder) {
  std::vector<std::string> found;
  forEachScratchLeftover(
      folder, [&](const std::string& path, const platform::FileStatus&) { found.push_back(path); });
  return found;
}

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
  forEachScratchLeftover(folderOf(dataFile),
                         [&](const std::string& path, const platform::FileStatus& status) {
                           if (now - status.stamp.modifiedNs < kSettledNs) return;
                           if (env->removeAll(path))
                             removed.push_back(path.substr(path.rfind('/') + 1));
                         });
  return removed;
}

}  // namespace metdb
