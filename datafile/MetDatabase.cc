#include "datafile/MetDatabase.h"

#include <cstring>

#include "platform/CurrentDirectory.h"

MetDatabase::MetDatabase(const char* dataFileName)
    : directory(new Directory(directoryFileName(dataFileName ? dataFileName : "").c_str())),
      homeDrive(platform::getdisk()),
      homePath(platform::currentDirectory()) {
  std::strncpy(homeDir, homePath.c_str(), sizeof homeDir - 1);
  homeDir[sizeof homeDir - 1] = '\0';
}

MetDatabase::~MetDatabase() {
  if (saveDirectory && (directory->changed || directory->IsFileEmpty())) directory->write();
  delete directory;
}

void MetDatabase::openDatabase() {
  if (!IsValid()) return;
  if (IsEmpty()) return;
  if (IsDirectoryOutofDate() || directory->IsFileEmpty()) {
    constructDirectory();
  } else if (!directory->read()) {
    // A damaged directory file leaves the directory empty: the records are
    // the truth, so build it from them (and save it when closing).
    constructDirectory();
  }
}

std::string MetDatabase::directoryFileName(const std::string& dataFileName) {
  std::size_t slash = dataFileName.rfind('/');
  std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = dataFileName.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return "default.dir";
  std::string result = dataFileName.substr(0, dot + 1) + "dir";
  if (dataFileName.size() > dot + 4) result += dataFileName.substr(dot + 4);
  return result;
}
