#include "tool/database/SharedFolder.h"

#include <filesystem>

#include "platform/Env.h"
#include "tool/Error.h"

namespace metdb {

namespace {

constexpr unsigned kSticky = 01000;
constexpr unsigned kGroupWrite = 0020;
constexpr unsigned kOthersWrite = 0002;

}  // namespace

std::string checkFolderSharing(const std::string& dataFile) {
  platform::Env* env = platform::Env::current();
  std::string folder = std::filesystem::path(dataFile).parent_path().string();
  if (folder.empty()) folder = ".";
  platform::FileStatus status;
  if (!env->statusOf(folder, &status, true) || status.kind != platform::FileStatus::kFolder ||
      (status.permissions & kSticky) != 0) {
    return "";
  }
  if ((status.permissions & kOthersWrite) != 0) {
    throw Error("The folder \"" + folder +
                    "\" may be written by every user and has no sticky bit, so anyone could "
                    "replace or remove the database's files; nothing was changed. Take the "
                    "others' write permission away (chmod o-w), or give the folder the sticky "
                    "bit as /tmp has (chmod +t), first.",
                Error::Cause::kReadOnly);
  }
  if ((status.permissions & kGroupWrite) == 0) return "";
  platform::FileStatus data;
  if (!env->statusOf(dataFile, &data, false)) return "";
  if (data.kind == platform::FileStatus::kOther) {
    throw Error("The data file \"" + dataFile +
                    "\" is a symbolic link in a folder that its group may write without the "
                    "sticky bit, where any member could have put it; nothing was changed. Name "
                    "the file it leads to instead.",
                Error::Cause::kReadOnly);
  }
  if (data.kind != platform::FileStatus::kRegular || (data.permissions & kGroupWrite) != 0) {
    return "";
  }
  return "The folder \"" + folder +
         "\" may be written by its group and has no sticky bit, so the group's members could "
         "replace this database's files though they may not write them; \"chmod +t\" (or "
         "\"chmod g-w\") on the folder keeps them out, \"chmod g+w\" on the database's files "
         "lets them in.";
}

}  // namespace metdb
