// A host program of libmetdb that sees only an installed copy: the headers
// under include/metdb, named <metdb/...> with the installation's include/ as
// the only include directory, and the exported interface of libmetdb.so. It
// opens a database, appends a record and reads it back, walks the directory,
// opens the database again from its saved directory, and builds an iterator
// over a selection. Parts whose headers are not installed are reported as
// skipped, so the program grows with the library.
//
// Usage: metdb_host DATAFILE. Run it in an empty folder: the iterator makes
// its temporary file in the current directory. Prints one line per check and
// exits with 1 when any check failed.
#include <metdb/metdb.h>

#include <cstdio>
#include <cstring>
#include <string>

// The library's own folders are not top-level names on a host's include
// path: its headers resolve only under metdb/.
#if __has_include("datafile/BMTFile.h") || __has_include("directory/Directory.h") || \
    __has_include("selection/TLocList.h") || __has_include("module/CurrentDatabase.h") || \
    __has_include("platform/Export.h")
#error "the library's source layout is on the include path; only <metdb/...> may resolve"
#endif

// Parts of the interface that this installation has. Their headers are also
// included one by one, as a host that does not want the umbrella would.
#if __has_include(<metdb/datafile/BMTFile.h>)
#define HAVE_BMTFILE 1
#include <metdb/datafile/BMTFile.h>
#else
#define HAVE_BMTFILE 0
#endif
#if __has_include(<metdb/module/CurrentDatabase.h>)
#define HAVE_MODULE 1
#include <metdb/module/CurrentDatabase.h>
#else
#define HAVE_MODULE 0
#endif
#if __has_include(<metdb/selection/TLocationIterator.h>) && \
    __has_include(<metdb/selection/TLocationSelection.h>)
#define HAVE_ITERATOR 1
#include <metdb/selection/TLocationIterator.h>
#include <metdb/selection/TLocationSelection.h>
#else
#define HAVE_ITERATOR 0
#endif

namespace {

int failures = 0;

void check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  if (!ok) ++failures;
}

[[maybe_unused]] void skip(const char* what) {
  std::printf("skipped: %s (header not installed)\n", what);
}

LocationData makeRecord(const char* name, const char* state, const char* country,
                        const char* continent, int level, float latitude, float longitude) {
  LocationData r;
  std::snprintf(r.name, sizeof r.name, "%s", name);
  std::snprintf(r.state, sizeof r.state, "%s", state);
  std::snprintf(r.country, sizeof r.country, "%s", country);
  std::snprintf(r.continent, sizeof r.continent, "%s", continent);
  r.level = static_cast<std::int8_t>(level);
  r.latitude = latitude;
  r.longitude = longitude;
  r.auxValue = 7;
  r.seriesC[11] = -3;
  return r;
}

[[maybe_unused]] bool sameRecord(const LocationData& a, const LocationData& b) {
  return std::strcmp(a.name, b.name) == 0 && std::strcmp(a.state, b.state) == 0 &&
         std::strcmp(a.country, b.country) == 0 && std::strcmp(a.continent, b.continent) == 0 &&
         a.level == b.level && a.latitude == b.latitude && a.longitude == b.longitude &&
         a.auxValue == b.auxValue && a.seriesC[11] == b.seriesC[11];
}

#if HAVE_BMTFILE
// Walks the whole directory from its first location; returns the record
// indices visited, in walk order, as text ("0 1 ").
std::string walk(Directory* directory) {
  std::string indices;
  if (directory->IsEmpty()) return indices;
  directory->first();
  do {
    indices += std::to_string(directory->getLocationIndex()) + " ";
  } while (directory->next());
  return indices;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: metdb_host DATAFILE\n");
    return 2;
  }
  const char* dataFile = argv[1];
  const LocationData bergen =
      makeRecord("Bergen", "Hordaland", "Norway", "Europe", 2, 60.39f, 5.32f);
  const LocationData lund = makeRecord("Lund", "Skane", "Sweden", "Europe", 1, 55.70f, 13.19f);

  // The records and their order, part of every version of the library.
  check(sizeof(LocationData) == 331, "a record is 331 bytes");
  Location a(bergen, 0), b(lund, 1);
  check(a < b && !(b < a) && !(a == b), "locations order by name");
  check(VELDstring("OSLO") == VELDstring("oslo"), "names compare ignoring case");

#if HAVE_MODULE
  check(std::string(getMetDLLVersion()) == "1.10", "library version 1.10");
#else
  skip("library version");
#endif

#if HAVE_BMTFILE
  {
    BMTFile db(dataFile);
    check(db.IsValid() && db.IsEmpty(), "a new database is valid and empty");
    LocationData first = bergen, second = lund;
    long i0 = db.addLocationData(first);
    long i1 = db.addLocationData(second);
    check(i0 == 0 && i1 == 1, "appending returns record indices 0 and 1");
    LocationData back;
    db.getLocationData(i1, back);
    check(sameRecord(back, lund), "a record reads back as written");
    LocationData previous;
    db.directory->addOrderedEntry(first, previous, i0);
    db.directory->addOrderedEntry(second, previous, i1);
    check(walk(db.directory) == "0 1 ", "the directory walks both locations in order");
  }  // saves the changed directory
  {
    BMTFile db(dataFile);
    check(db.IsValid() && !db.IsEmpty(), "the database opens again");
    check(walk(db.directory) == "0 1 ", "the saved directory walks the same locations");
    try {
      LocationData back;
      db.getLocationData(0, back);
      check(sameRecord(back, bergen), "the first record reads back after reopening");
    } catch (BMTFile*) {
      check(false, "reading a record of an existing data file");
    }
  }
#else
  (void)dataFile;
  skip("database");
#endif

#if HAVE_BMTFILE && HAVE_MODULE && HAVE_ITERATOR
  {
    // The iterator resolves against the current database.
    BMTFile* current = setMetDatabase(dataFile);
    check(current != nullptr && current->IsValid(), "the data file becomes the current database");
    TLocationSelection selection;
    selection.continentList = new TLocList("Europe", true);  // owned by the selection
    TLocationIterator it(&selection);
    check(it.getNumLocations() == 2, "the iterator lists both locations");
    bool walked = std::strcmp(it.locData.name, "Bergen") == 0 && it.next() &&
                  std::strcmp(it.locData.name, "Lund") == 0 && !it.next();
    check(walked, "the iterator loads each selected record in order");
  }
#else
  skip("iterator");
#endif

  std::printf("%s\n", failures ? "host: FAILED" : "host: ok");
  return failures ? 1 : 0;
}
