// Adding a location into its group: a one-record database imported with
// BMTFile::merge, which writes the data file and its directory anew in
// hierarchy order.
// Usage: add_location [FOLDER]
#include <metdb/metdb.h>

#include <cstdio>
#include <string>

#include "sample_database.h"

namespace {

// Hears an import. The library calls finish, showText, showLocation and
// showNumber; the closing report's line 1 is the number of new records.
class ImportReport : public InfoDevice {
 public:
  void finish() override { finished = true; }
  void showText(const VELDstring&, int) override {}
  void showLocation(const VELDstring&, const VELDstring&, const VELDstring&,
                    const VELDstring&) override {}
  void showNumber(long value, int line) override {
    if (line == 1) added = value;
  }

  bool finished = false;
  long added = 0;
};

// Adds record to db in its continent, country and state. scratch names a
// data file that does not exist, in a folder the host may write (the new
// record's own small database; removed again). Returns true when the record
// was added; false when db holds an equal record (the same names ignoring
// case, level and position; it is kept as it is) or a step failed, with
// getMetLastError() saying why.
bool addIntoGroup(BMTFile& db, const LocationData& record, const std::string& scratch) {
  bool added = false;
  {
    BMTFile one(scratch.c_str());
    LocationData copy = record;
    long index = one.IsValid() ? one.addLocationData(copy) : -1;
    if (index >= 0) {
      LocationData previous;
      one.directory->addOrderedEntry(copy, previous, index);
      ImportReport report;
      db.merge(one, false, report);  // false: an equal record of db stays
      added = report.finished && report.added == 1;
    }
  }
  // The small database's data, directory and lock files: nothing uses them.
  const std::string directoryFile = MetDatabase::directoryFileName(scratch);
  std::remove(scratch.c_str());
  std::remove(directoryFile.c_str());
  std::remove((scratch + ".lock").c_str());
  return added;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const std::string path = folder + "/stations.bmt";
  if (!makeSampleDatabaseOrSay(path)) return 1;
  BMTFile db(path.c_str());
  if (!db.IsValid()) return 1;

  LocationData voss = makeRecord("Europe", "Norway", "Vestland", "Voss", 2, 60.63f, 6.42f);
  if (!addIntoGroup(db, voss, folder + "/new-location.bmt")) {
    std::fprintf(stderr, "Voss was not added: %s\n", getMetLastError());
    return 1;
  }
  // A second time it is refused: the database holds an equal record.
  std::printf("added Voss; again: %s\n",
              addIntoGroup(db, voss, folder + "/new-location.bmt") ? "added" : "refused");

  // The data file is in hierarchy order, Voss beside Bergen, and the
  // directory's record indices follow it.
  const long records = db.fileLength() / kLocationDataSize;
  for (long index = 0; index < records; ++index) {
    LocationData record;
    db.getLocationData(index, record);
    std::printf("record %ld: %s / %s / %s\n", index, record.country, record.state, record.name);
  }
  return 0;
}
