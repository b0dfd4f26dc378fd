// The module through the real load path: the built libmetdb.so is copied
// into a fresh folder with an ORVANE.INI beside it and loaded with dlopen,
// so that its load and unload steps run as they do in a host program.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "datafile/LocationData.h"
#include "module/CurrentDatabase.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::TempDir;

class LoadedLibrary {
 public:
  // Copies the library into folder and loads it from there.
  explicit LoadedLibrary(const std::string& folder) {
    std::string copy = folder + "/libmetdb.so";
    testsupport::writeFile(copy, testsupport::readFile(METDB_SHARED_LIBRARY));
    handle_ = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle_, nullptr) << dlerror();
  }
  ~LoadedLibrary() { unload(); }

  void unload() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
  }

  template <class F>
  F symbol(const char* mangled) {
    void* p = handle_ ? dlsym(handle_, mangled) : nullptr;
    EXPECT_NE(p, nullptr) << mangled;
    return reinterpret_cast<F>(p);
  }

  const char* fileName() { return symbol<const char* (*)()>("_Z18getMetDataFileNamev")(); }
  BMTFile* database() { return symbol<BMTFile* (*)()>("_Z14getMetDatabasev")(); }
  BMTFile* setDatabase(const char* name) {
    return symbol<BMTFile* (*)(const char*)>("_Z14setMetDatabasePKc")(name);
  }
  void closeDatabase() { symbol<void (*)()>("_Z16closeMetDatabasev")(); }

 private:
  void* handle_ = nullptr;
};

std::string configuredName(const std::string& ini, const std::string& cwd) {
  TempDir lib;
  if (!ini.empty()) testsupport::writeFile(lib.file("ORVANE.INI"), ini);
  testsupport::ScopedCwd in(cwd);
  LoadedLibrary library(lib.path());
  return library.fileName();
}

TEST(ModuleTest, ConfiguredDataFileName) {
  TempDir work;
  EXPECT_EQ(configuredName("", work.path()), work.path() + "/metdata.bmt");
  EXPECT_EQ(configuredName("[Directories]\nHomeDir=/srv/met\n", work.path()),
            "/srv/met/metdata.bmt");
  EXPECT_EQ(configuredName("[Directories]\nHomeDir=/srv/met/\n", work.path()),
            "/srv/met//metdata.bmt");
  EXPECT_EQ(configuredName("[directories]\r\nhomedir=\r\n", work.path()), "/metdata.bmt");
  EXPECT_EQ(configuredName("[Directories]\nHomeDir=/srv/met\n[Files]\nMetDataFile=/data/x.bmt\n",
                           work.path()),
            "/data/x.bmt");
}

TEST(ModuleTest, CurrentDatabaseIsMadeOnceAndReplacedOnRequest) {
  TempDir lib, work;
  testsupport::writeFile(lib.file("ORVANE.INI"),
                         "[Files]\nMetDataFile=" + work.file("cur.bmt") + "\n");
  LoadedLibrary library(lib.path());
  EXPECT_FALSE(testsupport::fileExists(work.file("cur.bmt")));
  BMTFile* first = library.database();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(library.database(), first);
  EXPECT_TRUE(testsupport::fileExists(work.file("cur.bmt")));

  // A name pointing into the old database is copied before it is deleted.
  library.setDatabase(work.file("other.bmt").c_str());
  BMTFile* other = library.database();
  library.setDatabase(other->fileName.c_str());
  EXPECT_EQ(std::string(library.fileName()), work.file("other.bmt"));
  // The module's own buffer passed back keeps its content.
  library.setDatabase(library.fileName());
  EXPECT_EQ(std::string(library.fileName()), work.file("other.bmt"));

  std::string longName = "/" + std::string(299, 'a');
  library.setDatabase(longName.c_str());
  EXPECT_EQ(std::string(library.fileName()), longName.substr(0, 260));
  VELDstring (*version)() = library.symbol<VELDstring (*)()>("_Z16getMetDLLVersionv");
  EXPECT_EQ(std::string(version()), "1.10");
}

// Enters Oslo into the current database's directory, which only the
// database's deletion saves.
void enterOslo(BMTFile* db) {
  LocationData rec;
  std::strcpy(rec.name, "Oslo");
  std::strcpy(rec.state, "Oslo");
  std::strcpy(rec.country, "Norway");
  std::strcpy(rec.continent, "Europe");
  LocationData previous;
  db->directory->addOrderedEntry(rec, previous, 0);
}

TEST(ModuleTest, UnloadingSavesAChangedDirectory) {
  TempDir lib, work;
  testsupport::writeFile(lib.file("ORVANE.INI"),
                         "[Files]\nMetDataFile=" + work.file("u.bmt") + "\n");
  LoadedLibrary library(lib.path());
  BMTFile* db = library.database();
  ASSERT_NE(db, nullptr);
  enterOslo(db);
  library.unload();
  std::string saved = testsupport::readFile(work.file("u.dir"));
  EXPECT_EQ(saved.substr(0, 7), "1\nOslo\n");
}

TEST(ModuleTest, ClosingSavesTheDirectoryAndTheNameStays) {
  TempDir lib, work;
  LoadedLibrary library(lib.path());
  testsupport::ScopedCwd in(work.path());
  library.setDatabase(work.file("c.bmt").c_str());
  enterOslo(library.database());
  library.closeDatabase();
  EXPECT_EQ(testsupport::readFile(work.file("c.dir")).substr(0, 7), "1\nOslo\n");
  library.closeDatabase();  // none current: nothing to do, no file made
  EXPECT_FALSE(testsupport::fileExists(work.file(".lock")));
  EXPECT_EQ(std::string(library.fileName()), work.file("c.bmt"));
  ASSERT_NE(library.database(), nullptr);
  EXPECT_TRUE(library.database()->IsValid());
}

}  // namespace
