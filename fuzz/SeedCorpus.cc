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

// Short excerpts of the published lists, laid out as their descriptions
// give them (the same as tests/tool/lists/StationListsTest.cc reads), each
// after the lists target's options byte (fuzz/StationListFuzzer.cc).
void writePublishedLists(const std::string& out) {
  const char kSkip = 0x08, kOption = 0x10;
  const std::string ghcnd =
      "SZ000006717  47.4800    8.5331  426.0    ZURICH/KLOTEN                  GSN     06670\n"
      "USW00094728  40.7789  -73.9692   39.6 NY NEW YORK CNTRL PK TWR              HCN 72506\n"
      "NOE00100686  69.6500   18.9333  100.0    TROMSO                                 01026\n"
      "ASN00066062 -33.8607  151.2050   39.0 NS SYDNEY (OBSERVATORY HILL)                   \n";
  const std::string isd =
      "\"USAF\",\"WBAN\",\"STATION NAME\",\"CTRY\",\"STATE\",\"ICAO\",\"LAT\",\"LON\","
      "\"ELEV(M)\",\"BEGIN\",\"END\"\n"
      "\"066700\",\"99999\",\"ZURICH/KLOTEN\",\"SZ\",\"\",\"LSZH\",\"+47.480\",\"+008.536\","
      "\"+0432.0\",\"19310101\",\"20251231\"\n"
      "\"010010\",\"99999\",\"JAN MAYEN(NOR-NAVY)\",\"NO\",\"\",\"ENJA\",\"+70.933\",\"-008.667\","
      "\"+0009.0\",\"19310101\",\"20251231\"\n"
      "\"999999\",\"00001\",\"NO POSITION\",\"US\",\"CA\",\"\",\"\",\"\",\"\",\"20010101\","
      "\"20011231\"\n";
  const std::string airports =
      "id,ident,type,name,latitude_deg,longitude_deg,elevation_ft,continent,iso_country,"
      "iso_region,municipality\n"
      "2434,LSZH,large_airport,Zürich Airport,47.458056,8.548056,1417,EU,CH,CH-ZH,Zürich\n"
      "2435,LSZR,medium_airport,St. Gallen Altenrhein Airport,47.4850,9.5608,1306,EU,CH,CH-SG,"
      "Altenrhein\n"
      "9999,CH-0001,heliport,Some Heliport,47.0,8.0,1500,EU,CH,CH-ZH,Zug\n"
      "9998,XXCL,closed,Closed Field,46.0,7.0,1000,EU,CH,CH-VS,Sion\n";
  const std::string geonames =
      "2657896\tZürich\tZurich\tZurich,Zürich\t47.36667\t8.55\tP\tPPLA\tCH\t\t25\t112\t261"
      "\t\t341730\t\t429\tEurope/Zurich\t2024-01-01\n"
      "3133880\tTromsø\tTromso\t\t69.6489\t18.95508\tP\tPPLA2\tNO\t\t54\t5401\t\t\t41915\t\t28"
      "\tEurope/Oslo\t2024-01-01\n";
  const std::string geojson =
      "{\"type\":\"FeatureCollection\",\"features\":["
      "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[8.54,47.37]},"
      "\"properties\":{\"name\":\"Zürich\",\"state\":\"ZH\",\"country\":\"Switzerland\","
      "\"continent\":\"Europe\",\"level\":2,\"auxValue\":7,\"seriesA1\":1.5}},"
      "{\"type\":\"Feature\",\"geometry\":null,\"properties\":{\"name\":\"Nowhere\"}}]}";
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
