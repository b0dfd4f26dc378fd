// Writes the fuzz targets' seed corpora with the library's and the tool's own
// writers: small valid directory files, selection files, profiles, databases
// and station lists, and excerpts of the published station lists. Usage:
// metdb_fuzz_seeds CORPUS_FOLDER (fuzz/corpus), in which the folders
// directory/, selection/, profile/, database/, csv/ and lists/ must exist.
// Existing seeds of the same names are replaced.

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "selection/TLocationSelection.h"
#include "tests/selection/SelectionTestUtil.h"
#include "tests/support/Records.h"
#include "tests/support/StationListExcerpts.h"
#include "tests/support/TempDir.h"
#include "tool/record/StationCsv.h"

using namespace metdb;  // NOLINT: the tool's library, fuzzed

namespace {

using selectiontest::chain;
using selectiontest::entry;
using testsupport::bytesOf;
using testsupport::makeRecord;
using testsupport::readFile;
using testsupport::writeFile;

std::vector<std::vector<LocationData>> recordSets() {
  return {
      {makeRecord("Europe", "Norway", "Hordaland", "Bergen", 2, 60.39f, 5.32f, 1)},
      {makeRecord("Europe", "Norway", "Oslo", "Oslo", 1, 59.91f, 10.75f, 2),
       makeRecord("Europe", "Norway", "Hordaland", "Bergen", 2, 60.39f, 5.32f, 1),
       makeRecord("Europe", "Sweden", "", "Kiruna", 3, 67.86f, 20.23f, -3),
       makeRecord("Asia", "Japan", "Hokkaido", "Sapporo", 1, 43.06f, 141.35f, 4)},
      {makeRecord("Africa", "Kenya", "Nairobi", "Nairobi", 1, -1.29f, 36.82f, 5),
       makeRecord("Africa", "Kenya", "Nairobi", "Nairobi", 1, -1.29f, 36.82f, 6),
       makeRecord("South America", "Chile", "Magallanes", "Punta Arenas", 4, -53.16f, -70.91f, 7),
       makeRecord("Oceania", "Australia", "Tasmania", "Hobart", 2, -42.88f, 147.33f, 8),
       makeRecord("Europe", "Switzerland", "Valais", "Zermatt", 5, 46.02f, 7.75f, 9)},
  };
}

// The data file and the directory file a database of records keeps.
void makeDatabase(const std::vector<LocationData>& records, std::string* data, std::string* dir) {
  testsupport::TempDir folder;
  std::string dataFile = folder.file("seed.bmt");
  writeFile(dataFile, bytesOf(records));
  { BMTFile db(dataFile.c_str()); }  // saves the directory it built
  *data = readFile(dataFile);
  *dir = readFile(folder.file("seed.dir"));
}

void writeSelections(const std::string& out) {
  TLocationSelection all;
  std::snprintf(all.name, sizeof all.name, "%s", "Everything in Europe");
  all.continentList = chain({entry("Europe", true)});
  all.write((out + "/europe.sel").c_str());

  TLocationSelection alps;
  std::snprintf(alps.name, sizeof alps.name, "%s", "Alps");
  alps.levelLimit = 3;
  alps.useLatLonLimits = true;
  alps.minLatitude = 45.5f;
  alps.maxLatitude = 48;
  alps.minLongitude = 5.9f;
  alps.maxLongitude = 17.2f;
  alps.continentList =
      chain({entry("Europe", false,
                   chain({entry("Austria", true),
                          entry("Switzerland", false,
                                entry("Valais", false,
                                      chain({entry("Sion", true), entry("Zermatt", true)})))}))});
  alps.write((out + "/alps.sel").c_str());

  TLocationSelection mixed;
  std::snprintf(mixed.name, sizeof mixed.name, "%s", "Two continents");
  mixed.continentList = chain({entry("Asia", false, entry("Japan", false, entry("Hokkaido", true))),
                               entry("Africa", false, entry("Kenya", true))});
  mixed.write((out + "/mixed.sel").c_str());
}

void writeProfiles(const std::string& out) {
  writeFile(
      out + "/plain.ini",
      "[Directories]\nHomeDir=/var/lib/metdb\n[Files]\nMetDataFile=/var/lib/metdb/world.bmt\n");
  writeFile(out + "/windows.ini",
            "\xEF\xBB\xBF; written on another system\r\n[directories]\r\n  homedir = "
            "\"C:\\\\METDB\"  \r\n\r\n[FILES]\r\nmetdatafile=\r\n");
  writeFile(out + "/home-only.ini",
            "[Other]\nMetDataFile=ignored.bmt\n[Directories]\nHomeDir=data\n");
}

void writeStationLists(const std::string& out) {
  std::vector<std::vector<LocationData>> sets = recordSets();
  for (std::size_t i = 0; i < sets.size(); ++i) {
    std::ostringstream text;
    StationCsv::write(text, sets[i]);
    writeFile(out + "/stations" + std::to_string(i) + ".csv", text.str());
  }
  writeFile(out + "/quoted.csv",
            "Name,Country,Continent,State,Level,Latitude,Longitude,extra\r\n"
            "\"Punta \"\"Arenas\"\"\",Chile,South America,,4, -53.16 ,-70.91,x\r\n"
            "\"Line\nbreak\",Chile,South America,,1,1e1,2,\r\n");
}

// The excerpts of the published lists that the readers' tests read, each
// after the lists target's options byte (fuzz/StationListFuzzer.cc).
void writePublishedLists(const std::string& out) {
  const char kSkip = 0x08, kOption = 0x10;
  const std::string ghcnd(testsupport::kGhcndExcerpt);
  const std::string isd(testsupport::kIsdExcerpt);
  const std::string airports(testsupport::kAirportsExcerpt);
  const std::string geonames(testsupport::kGeoNamesExcerpt);
  const std::string geojson(testsupport::kGeoJsonExcerpt);
  // Columns of other names, mapped by the target's --columns.
  const std::string mapped =
      "STATION;CC;LAT;LON;RANK;state;auxValue\n"
      "Zürich;CH;47°22'37\"N;8d33'E;2;ZH;7\n"
      "\"Tromsø\";NO;69.6489;18.95508;;;\n";
  writeFile(out + "/ghcnd-stations.txt", std::string(1, 2 | kSkip) + ghcnd);
  writeFile(out + "/isd-history.csv", std::string(1, 3 | kSkip) + isd);
  writeFile(out + "/ourairports.csv", std::string(1, 4 | kSkip) + airports);
  writeFile(out + "/geonames.txt", std::string(1, 5 | kSkip | kOption) + geonames);
  writeFile(out + "/geojson.json", std::string(1, 6 | kSkip) + geojson);
  writeFile(out + "/mapped.csv", std::string(1, 1 | kSkip | kOption) + mapped);
  writeFile(out + "/detected.csv", std::string(1, 0) + airports);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
    return 2;
  }
  std::string root = argv[1];
  std::vector<std::vector<LocationData>> sets = recordSets();
  for (std::size_t i = 0; i < sets.size(); ++i) {
    std::string data, dir;
    makeDatabase(sets[i], &data, &dir);
    writeFile(root + "/directory/" + std::to_string(i) + ".dir", dir);
    // The database target's input: the data file's length, flags (each set's
    // own), both files.
    std::string input;
    input += static_cast<char>(data.size() & 0xff);
    input += static_cast<char>(data.size() >> 8 & 0xff);
    input += static_cast<char>(i);
    writeFile(root + "/database/" + std::to_string(i) + ".bin", input + data + dir);
  }
  writeSelections(root + "/selection");
  writeProfiles(root + "/profile");
  writeStationLists(root + "/csv");
  writePublishedLists(root + "/lists");
  return 0;
}
