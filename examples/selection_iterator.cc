// A saved selection and the iterator over the records it selects.
// Usage: selection_iterator [FOLDER]
// The iterator makes its temporary index file in the current directory (or
// the system's temporary folder), and the selection file is named relative
// to it too.
#include <metdb/metdb.h>

#include <cstdio>
#include <string>

#include "sample_database.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (!makeSampleDatabaseOrSay(path)) return 1;

  // Selections and iterators work on the current database, never on a
  // BMTFile of the host's own: make the database current first. Without
  // this, the first use would open the configured database (ORVANE.INI, by
  // default metdata.bmt in the current directory at load time), creating
  // an empty one there.
  if (!setMetDatabase(path.c_str())->IsValid()) {
    std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), getMetLastError());
    return 1;
  }

  // Europe, of it Norway and Sweden whole, up to level 2. Entries of a level
  // follow the directory's order. The selection owns the entries.
  TLocationSelection selection;
  std::snprintf(selection.name, sizeof selection.name, "%s", "Norway and Sweden");
  TLocList* europe = new TLocList("Europe", false);
  europe->subList = new TLocList("Norway", true);
  europe->subList->nextEntry = new TLocList("Sweden", true);
  selection.continentList = europe;
  selection.levelLimit = 2;
  std::printf("all of it in the database: %s\n", selection.allSelectionInMetDB() ? "yes" : "no");

  const std::string selectionFile = folder + "/nordic.sel";
  if (selection.write(selectionFile.c_str()) != 1) return 1;
  TLocationSelection saved;
  if (saved.read(selectionFile.c_str()) != 1) return 1;
  std::printf("read back \"%s\"\n", saved.name);

  // The iterator resolves the selection once, when it is built, into the
  // record indices it selects in directory order, and loads the record at
  // each position into locData. It refers to the selection (which must
  // outlive it) and reads records through the current database.
  TLocationIterator iterator(&saved);
  std::printf("%ld locations selected\n", iterator.getNumLocations());
  if (!iterator.isEmpty()) {
    iterator.first();
    do {
      std::printf("record %ld: %s, %s, level %d\n", iterator.recordIndex, iterator.locData.name,
                  iterator.locData.country, int{iterator.locData.level});
    } while (iterator.next());
  }
  return 0;
}
