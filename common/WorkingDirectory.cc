#include "common/WorkingDirectory.h"

WorkingDirectory::WorkingDirectory(int drive, const char* dir) : savedDrive(platform::getdisk()) {
  platform::getcwd(savedDir, sizeof savedDir);
  savedHandle_ = platform::DirectoryHandle::openCurrent();
  platform::setdisk(drive);
  if (dir != nullptr) platform::chdir(dir);
}

WorkingDirectory::~WorkingDirectory() {
  platform::setdisk(savedDrive);
  // The handle reaches the folder itself, whatever its path has become; the
  // path is the fallback when the folder could not be opened.
  if (!savedHandle_.makeCurrent() && savedDir[0] != '\0') platform::chdir(savedDir);
}
