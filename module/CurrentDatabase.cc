#include "module/CurrentDatabase.h"

#include <cstring>
#include <string>

#include "platform/CurrentDirectory.h"
#include "platform/Failure.h"
#include "platform/ModulePath.h"
#include "platform/Profile.h"

namespace {

// Values of "ORVANE.INI" are read into buffers of this size, so at most 259
// characters of a value are used.
constexpr std::size_t kProfileBuffer = 260;

char metDataFileName[261];
BMTFile* metDatabase = nullptr;
// Whether metDatabase is lent by its owner (lendMetDatabase) rather than the
// library's own.
bool lent = false;

// Deletes the current database when it is the library's own; forgets it.
void dropCurrent() {
  if (!lent) delete metDatabase;
  metDatabase = nullptr;
  lent = false;
}

// Copies at most 260 characters of text into metDataFileName, terminated.
void storeFileName(const std::string& text) {
  std::size_t n = text.size() < 260 ? text.size() : 260;
  std::memcpy(metDataFileName, text.data(), n);
  metDataFileName[n] = '\0';
}

// The load step: the configured data file name, from "ORVANE.INI" in the
// folder of the loaded library.
__attribute__((constructor)) void loadModule() {
  std::string folder;
  platform::splitPath(platform::moduleFileName(), &folder, nullptr, nullptr);
  std::string iniFile = folder + "ORVANE.INI";

  std::string cwd = platform::currentDirectory().substr(0, kProfileBuffer - 1);
  char homeDir[kProfileBuffer];
  platform::getPrivateProfileString("Directories", "HomeDir", cwd.c_str(), homeDir, sizeof homeDir,
                                    iniFile.c_str());
  std::string defaultFile = std::string(homeDir) + "/metdata.bmt";
  char configured[kProfileBuffer];
  platform::getPrivateProfileString("Files", "MetDataFile", defaultFile.c_str(), configured,
                                    sizeof configured, iniFile.c_str());
  storeFileName(configured);
}

// The unload step: the current database saves its directory when needed.
__attribute__((destructor)) void unloadModule() { dropCurrent(); }

}  // namespace

BMTFile* getMetDatabase() {
  if (metDatabase == nullptr) setMetDatabase(metDataFileName);
  return metDatabase;
}

BMTFile* setMetDatabase(const char* name) { return setMetDatabase(name, BMTFile::kReadWrite); }

BMTFile* setMetDatabase(const char* name, BMTFile::Access access) {
  // The name is copied first: it may point into the database deleted below.
  std::string copy = name ? std::string(name) : std::string();
  dropCurrent();
  if (name != metDataFileName) storeFileName(copy);
  metDatabase = new BMTFile(metDataFileName, access);
  return metDatabase;
}

void closeMetDatabase() { dropCurrent(); }

void lendMetDatabase(BMTFile* database) {
  // Already current, lent or the library's own (which stays its own).
  if (database == metDatabase) return;
  if (database == nullptr && !lent) return;
  dropCurrent();
  metDatabase = database;
  lent = database != nullptr;
}

const char* getMetLastError() { return platform::lastFailure(); }

const char* getMetDataFileName() { return metDataFileName; }

VELDstring getMetDLLVersion() { return VELDstring("1.10"); }
