#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "directory/Directory.h"
#include "platform/CurrentDirectory.h"
#include "tests/directory/DirectoryTestUtil.h"
#include "tests/support/TempDir.h"

namespace {

using directorytest::Filler;
using directorytest::fillGenerated;
using directorytest::fillScandinavia;
using directorytest::record;
using directorytest::walk;
using testsupport::fileExists;
using testsupport::listFolder;
using testsupport::readFile;
using testsupport::ScopedCwd;
using testsupport::TempDir;
using testsupport::writeFile;
using Steps = std::vector<std::string>;

const char kScandinavia[] =
    "3\n"
    "Bergen\n60.39 5.32 2 0\n"
    "Lund\n55.70 13.19 1 2\n"
    "Voss\n60.63 6.42 1 1\n"
    "1\n"
    "Europe\n"
    "2\n"
    "Norway\n1\nHordaland\n2\n0 2 \n"
    "Sweden\n1\nSkane\n1\n1 \n";

// The locations in walk order.
std::vector<Location*> walkedLocations(Directory& d) {
  std::vector<Location*> out;
  if (d.IsEmpty()) return out;
  d.first();
  do {
    if (d.getLocationIndex() >= 0) out.push_back((*d.curLocations)[d.locationPos]);
  } while (d.next());
  return out;
}

TEST(DirectoryWriteTest, WritesTheScandinavianExampleByteForByte) {
  TempDir dir;
  Directory d(dir.file("met.dir").c_str());
  fillScandinavia(&d);
  ASSERT_TRUE(d.write());
  EXPECT_EQ(readFile(dir.file("met.dir")), kScandinavia);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(d.getLocation(p)->locListIndex, p);
  EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"met.dir"}));
}

TEST(DirectoryWriteTest, EmptyDirectoryIsTwoZeroLines) {
  TempDir dir;
  Directory d(dir.file("e.dir").c_str());
  ASSERT_TRUE(d.write());
  EXPECT_EQ(readFile(dir.file("e.dir")), "0\n0\n");
  Directory back(dir.file("e.dir").c_str());
  EXPECT_TRUE(back.read());
  EXPECT_TRUE(back.IsEmpty());
  EXPECT_EQ(back.locationCount, 0);
}

TEST(DirectoryWriteTest, NumberFormats) {
  TempDir dir;
  Directory d(dir.file("n.dir").c_str());
  Filler f(&d);
  f.add(record("A", "B", "C", "Sydney", -1, -33.8688f, 151.2093f));
  f.add(record("A", "B", "C", "Zero", 0, -0.001f, 0.015f));
  ASSERT_TRUE(d.write());
  std::string text = readFile(dir.file("n.dir"));
  EXPECT_NE(text.find("Sydney\n-33.87 151.21 -1 0\n"), std::string::npos) << text;
  // As printf rounds: a small negative value keeps its sign.
  EXPECT_NE(text.find("Zero\n-0.00 0.01 0 1\n"), std::string::npos) << text;
}

TEST(DirectoryWriteTest, NumbersLinesAreWhatPrintfMakes) {
  TempDir dir;
  Directory d(dir.file("p.dir").c_str());
  Filler f(&d);
  std::mt19937 rng(11);
  std::vector<LocationData> records;
  for (int i = 0; i < 500; ++i) {
    float lat = static_cast<float>(static_cast<int>(rng() % 2000001) - 1000000) / 1000.0f;
    float lon = std::ldexp(static_cast<float>(rng() % 100000), static_cast<int>(rng() % 40) - 20);
    if (i == 0) lon = std::numeric_limits<float>::max();
    // Names in record order sort in record order too.
    char name[8];
    std::snprintf(name, sizeof name, "n%04d", i);
    records.push_back(record("A", "B", "C", name, static_cast<int>(rng() % 256) - 128, lat, lon));
    f.add(records.back());
  }
  ASSERT_TRUE(d.write());
  std::string expected = "500\n";
  for (int i = 0; i < 500; ++i) {
    char line[256];
    std::snprintf(line, sizeof line, "%s\n%.2f %.2f %d %ld\n", records[i].name,
                  static_cast<double>(records[i].latitude),
                  static_cast<double>(records[i].longitude), static_cast<int>(records[i].level),
                  static_cast<long>(i));
    expected += line;
  }
  EXPECT_EQ(readFile(dir.file("p.dir")).substr(0, expected.size()), expected);
}

TEST(DirectoryWriteTest, ReferencesArePositionsEachFollowedByASpace) {
  TempDir dir;
  Directory d(dir.file("r.dir").c_str());
  Filler f(&d);
  // Names chosen so that the state's two locations sort to positions 4 and 9.
  for (const char* name : {"a", "b", "c", "d"}) f.add(record("K", "L", "M", name));
  f.add(record("K", "L", "S", "e"));
  f.add(record("K", "L", "S", "j"));
  for (const char* name : {"f", "g", "h", "i"}) f.add(record("K", "L", "T", name));
  ASSERT_TRUE(d.write());
  EXPECT_NE(readFile(dir.file("r.dir")).find("\nS\n2\n4 9 \n"), std::string::npos);
}

TEST(DirectoryWriteTest, RoundTripOfAGeneratedHierarchy) {
  TempDir dir;
  Directory d(dir.file("g.dir").c_str());
  fillGenerated(&d, 10000, 7, 2);
  ASSERT_EQ(d.locationCount, 10000);
  ASSERT_TRUE(d.write());
  std::string first = readFile(dir.file("g.dir"));

  Directory back(dir.file("g.dir").c_str());
  ASSERT_TRUE(back.read());
  EXPECT_FALSE(back.changed);
  EXPECT_EQ(back.locationCount, 10000);
  EXPECT_EQ(walk(back), walk(d));
  // The same levels, and the coordinates as the file rounded them.
  std::vector<Location*> was = walkedLocations(d);
  std::vector<Location*> is = walkedLocations(back);
  ASSERT_EQ(was.size(), is.size());
  for (std::size_t i = 0; i < was.size(); ++i) {
    EXPECT_EQ(was[i]->level, is[i]->level);
    EXPECT_NEAR(was[i]->latitude, is[i]->latitude, 0.0051);
    EXPECT_NEAR(was[i]->longitude, is[i]->longitude, 0.0051);
  }
  ASSERT_TRUE(back.write());
  EXPECT_EQ(readFile(dir.file("g.dir")), first);
}

// With more decimals than the file keeps, equal names may come back in
// another order within locList, but the hierarchy is the same.
TEST(DirectoryWriteTest, RoundingKeepsTheWalk) {
  TempDir dir;
  Directory d(dir.file("g.dir").c_str());
  fillGenerated(&d, 10000, 7, 4);
  ASSERT_TRUE(d.write());
  Directory back(dir.file("g.dir").c_str());
  ASSERT_TRUE(back.read());
  EXPECT_EQ(walk(back), walk(d));
}

TEST(DirectoryWriteTest, LocationNamesAreCutToTheirLengthWhenRead) {
  TempDir dir;
  Directory d(dir.file("l.dir").c_str());
  Location* l = new Location("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  State* s = new State("0123456789012345678901234567890123456789");
  Country* c = new Country("C");
  Continent* k = new Continent("K");
  s->getLocations()->add(l);
  c->getStates()->add(s);
  k->getCountries()->add(c);
  d.continents->add(k);
  d.locList->add(l);
  d.locationCount = 1;
  ASSERT_TRUE(d.write());
  Directory back(dir.file("l.dir").c_str());
  ASSERT_TRUE(back.read());
  EXPECT_EQ(walk(back), (Steps{"K/C/012345678901234567890123456789/ABCDEFGHIJKLMNOPQRST#0"}));
}

TEST(DirectoryWriteTest, ANameWithALineBreakRemovesTheFile) {
  for (const char* bad : {"Ber\ngen", "Ber\rgen"}) {
    TempDir dir;
    writeFile(dir.file("b.dir"), kScandinavia);
    Directory d(dir.file("b.dir").c_str());
    Filler f(&d);
    f.add(record("Europe", "Norway", "Hordaland", bad));
    EXPECT_FALSE(d.write());
    EXPECT_TRUE(listFolder(dir.path()).empty());
  }
  TempDir dir;
  Directory d(dir.file("s.dir").c_str());
  Filler f(&d);
  f.add(record("Europe", "Nor\nway", "Hordaland", "Bergen"));
  EXPECT_FALSE(d.write());
  EXPECT_FALSE(fileExists(dir.file("s.dir")));
}

TEST(DirectoryWriteTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string name = dir.file("f.dir");
  writeFile(name, kScandinavia);
  pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    Directory d(name.c_str());
    fillGenerated(&d, 2000, 3);
    _exit(d.write() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "write reported success";
  EXPECT_EQ(readFile(name), kScandinavia);
  EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"f.dir"}));
}

TEST(DirectoryWriteTest, AFolderThatCannotTakeTheFileReportsFailure) {
  TempDir dir;
  writeFile(dir.file("plain"), "x");
  Directory d(dir.file("plain/x.dir").c_str());
  fillScandinavia(&d);
  EXPECT_FALSE(d.write());
  // A folder in the way of the name: the rename fails, the temporary goes.
  ASSERT_EQ(mkdir(dir.file("taken.dir").c_str(), 0755), 0);
  writeFile(dir.file("taken.dir/keep"), "k");
  Directory e(dir.file("taken.dir").c_str());
  fillScandinavia(&e);
  EXPECT_FALSE(e.write());
  EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"plain", "taken.dir"}));
}

TEST(DirectoryWriteTest, KeepsTheOldFilesPermissions) {
  TempDir dir;
  writeFile(dir.file("p.dir"), "0\n0\n");
  ASSERT_EQ(chmod(dir.file("p.dir").c_str(), 0640), 0);
  Directory d(dir.file("p.dir").c_str());
  fillScandinavia(&d);
  ASSERT_TRUE(d.write());
  struct stat st;
  ASSERT_EQ(stat(dir.file("p.dir").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  mode_t mask = umask(022);
  Directory n(dir.file("new.dir").c_str());
  ASSERT_TRUE(n.write());
  umask(mask);
  ASSERT_EQ(stat(dir.file("new.dir").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(DirectoryReadTest, ReadsTheScandinavianExample) {
  TempDir dir;
  writeFile(dir.file("met.dir"), kScandinavia);
  Directory d(dir.file("met.dir").c_str());
  ASSERT_TRUE(d.read());
  EXPECT_EQ(d.locationCount, 3);
  EXPECT_FALSE(d.changed);
  EXPECT_EQ(d.curLocations, nullptr);  // read leaves the cursor alone
  EXPECT_EQ(walk(d), (Steps{"Europe/Norway/Hordaland/Bergen#0", "Europe/Norway/Hordaland/Voss#1",
                            "Europe/Sweden/Skane/Lund#2"}));
  Location* bergen = d.getLocation(0);
  EXPECT_EQ(bergen->level, 2);
  EXPECT_FLOAT_EQ(bergen->latitude, 60.39f);
  EXPECT_FLOAT_EQ(bergen->longitude, 5.32f);
}

TEST(DirectoryReadTest, AcceptsCrLfAndBlankLinesBeforeCounts) {
  std::string crlf;
  for (char c : std::string(kScandinavia)) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  TempDir dir;
  writeFile(dir.file("c.dir"), crlf);
  Directory d(dir.file("c.dir").c_str());
  ASSERT_TRUE(d.read());
  EXPECT_EQ(walk(d), (Steps{"Europe/Norway/Hordaland/Bergen#0", "Europe/Norway/Hordaland/Voss#1",
                            "Europe/Sweden/Skane/Lund#2"}));
  ASSERT_TRUE(d.write());
  EXPECT_EQ(readFile(dir.file("c.dir")), kScandinavia);

  // Count lines may follow empty lines; the rest of a count line is skipped;
  // the last line may lack its line end.
  writeFile(dir.file("b.dir"), "\n 1  junk\nX\n1 2 3 4 rest\n\n1\nK\n1\nC\n1\nS\n1\n0");
  Directory b(dir.file("b.dir").c_str());
  ASSERT_TRUE(b.read());
  EXPECT_EQ(walk(b), (Steps{"K/C/S/X#4"}));
}

TEST(DirectoryReadTest, EmptyRecordsAndLevelsOfAnyEightBits) {
  TempDir dir;
  writeFile(dir.file("e.dir"), "1\nx\n0 0 300 5\n2\nA\n0\nB\n1\nC\n2\nS\n1\n0 \nT\n0\n\n");
  Directory d(dir.file("e.dir").c_str());
  ASSERT_TRUE(d.read());
  EXPECT_EQ(d.getLocation(0)->level, 44);  // the low eight bits of 300
  EXPECT_EQ(walk(d), (Steps{"-", "B/C/S/x#5", "-"}));
}

TEST(DirectoryReadTest, NonFiniteCoordinatesSurviveARoundTrip) {
  TempDir dir;
  Directory d(dir.file("nan.dir").c_str());
  Filler f(&d);
  f.add(record("A", "B", "C", "n", 1, std::numeric_limits<float>::quiet_NaN(),
               std::numeric_limits<float>::infinity()));
  f.add(record("A", "B", "C", "m", 1, -std::numeric_limits<float>::infinity(), 2));
  ASSERT_TRUE(d.write());
  Directory back(dir.file("nan.dir").c_str());
  ASSERT_TRUE(back.read());
  ASSERT_EQ(back.locationCount, 2);
  Location* n = back.getLocation(1);
  EXPECT_TRUE(std::isnan(n->latitude));
  EXPECT_EQ(n->longitude, std::numeric_limits<float>::infinity());
  EXPECT_EQ(back.getLocation(0)->latitude, -std::numeric_limits<float>::infinity());
}

// Two locations whose latitudes round to the same value while their
// longitudes stand the other way round: section 1 reads back in another
// order than it was written, and the states must still get their own.
TEST(DirectoryReadTest, RoundedCoordinatesKeepEveryStatesLocations) {
  TempDir dir;
  Directory d(dir.file("r.dir").c_str());
  Filler f(&d);
  f.add(record("K", "C", "First", "Twin", 1, 50.001f, 9.0f));
  f.add(record("K", "C", "Second", "Twin", 1, 50.002f, 8.0f));
  ASSERT_TRUE(d.write());
  Directory back(dir.file("r.dir").c_str());
  ASSERT_TRUE(back.read());
  EXPECT_EQ(walk(back), (Steps{"K/C/First/Twin#0", "K/C/Second/Twin#1"}));
  EXPECT_EQ(back.getLocation(0)->locationIndex, 1);  // sorted by longitude now
  ASSERT_TRUE(back.write());
  Directory again(dir.file("r.dir").c_str());
  ASSERT_TRUE(again.read());
  EXPECT_EQ(walk(again), (Steps{"K/C/First/Twin#0", "K/C/Second/Twin#1"}));
}

const char kNulInName[] = "1\nBer\0gen\n60.39 5.32 2 0\n1\nE\n1\nN\n1\nH\n1\n0 \n";

TEST(DirectoryReadTest, EveryKindOfDamageGivesAnEmptyDirectory) {
  const std::string good = kScandinavia;
  std::vector<std::string> damaged = {
      "",                                                    // no count
      "x\n",                                                 // count not a number
      "-1\n0\n",                                             // negative count
      "99999999999\n",                                       // count too large
      "1\nBergen\n",                                         // missing numbers line
      "1\nBergen\n60.39 5.32 2\n1\nE\n1\nN\n1\nH\n1\n0 \n",  // numbers line short
      "1\nBergen\nnorth 5.32 2 0\n1\nE\n1\nN\n1\nH\n1\n0 \n",
      "1\nBergen\n60.39 5.32 2.5 0\n1\nE\n1\nN\n1\nH\n1\n0 \n",
      "1\nBergen\n60.39 5.32 9999999999 0\n1\nE\n1\nN\n1\nH\n1\n0 \n",
      std::string(kNulInName, sizeof kNulInName - 1),
      "1\nBergen\n60.39 5.32 2 0\n",                           // no hierarchy
      "1\nBergen\n60.39 5.32 2 0\n1\n",                        // missing continent line
      "1\nBergen\n60.39 5.32 2 0\n1\nE\n1\nN\n1\nH\n1\n1 \n",  // reference outside
      "1\nBergen\n60.39 5.32 2 0\n1\nE\n1\nN\n1\nH\n1\n-1 \n",
      "1\nBergen\n60.39 5.32 2 0\n1\nE\n1\nN\n1\nH\n2\n0 0 \n",  // given twice
      "1\nBergen\n60.39 5.32 2 0\n1\nE\n1\nN\n2\nH\n1\n0 \nI\n1\n0 \n",
      "2\nA\n1 1 1 0\nB\n2 2 2 1\n1\nE\n1\nN\n1\nH\n2\n0 \n1 \n",  // fewer on the line
      "2\nA\n1 1 1 0\nB\n2 2 2 1\n1\nE\n1\nN\n1\nH\n1\n0 \n",      // B unreferenced
      "1\nBergen\n60.39 5.32 2 0\n1\nE\n1\nN\n1\nH\n1\n",          // references missing
      "1\nBergen\n60.39 5.32 2 0\n1\nE\n-2\n",                     // negative count
      good.substr(0, good.size() / 2),                             // truncated
  };
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    TempDir dir;
    writeFile(dir.file("d.dir"), damaged[i]);
    Directory d(dir.file("d.dir").c_str());
    EXPECT_FALSE(d.read()) << "case " << i;
    EXPECT_TRUE(d.IsEmpty()) << "case " << i;
    EXPECT_EQ(d.locList->count(), 0u) << "case " << i;
    EXPECT_EQ(d.locationCount, 0) << "case " << i;
    EXPECT_EQ(d.getLocation(0), nullptr);
  }
  TempDir dir;
  Directory missing(dir.file("none.dir").c_str());
  EXPECT_FALSE(missing.read());
  EXPECT_TRUE(missing.IsEmpty());
  Directory folder(dir.path().c_str());
  EXPECT_FALSE(folder.read());
}

TEST(DirectoryReadTest, ADamagedReadKeepsWhatTheDirectoryHeld) {
  TempDir dir;
  writeFile(dir.file("d.dir"), "1\nBergen\n60.39 5.32 2 0\n1\nE\n1\nN\n1\nH\n1\n3 \n");
  Directory d(dir.file("d.dir").c_str());
  fillScandinavia(&d);
  EXPECT_FALSE(d.read());
  EXPECT_EQ(d.locationCount, 3);
  EXPECT_EQ(walk(d).size(), 3u);
}

TEST(DirectoryReadTest, ReadingIntoAFilledDirectoryAddsAndCountsEverything) {
  TempDir dir;
  writeFile(dir.file("a.dir"), "1\nTokyo\n35.68 139.69 1 9\n1\nAsia\n1\nJapan\n1\nKanto\n1\n0 \n");
  Directory d(dir.file("a.dir").c_str());
  fillScandinavia(&d);
  ASSERT_TRUE(d.read());
  EXPECT_EQ(d.locationCount, 4);  // what the lists hold, not the file's 1
  EXPECT_EQ(walk(d), (Steps{"Asia/Japan/Kanto/Tokyo#9", "Europe/Norway/Hordaland/Bergen#0",
                            "Europe/Norway/Hordaland/Voss#1", "Europe/Sweden/Skane/Lund#2"}));
}

TEST(DirectoryReadTest, ThePartsReadOneLevelEach) {
  Directory d("x.dir");
  std::istringstream in(kScandinavia);
  ASSERT_TRUE(d.readLocList(in));
  EXPECT_EQ(d.locationCount, 3);
  EXPECT_EQ(d.locList->count(), 3u);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "1");  // the stream stands right after section 1
  std::getline(in, line);
  Continent* europe = new Continent(line.c_str());
  d.continents->add(europe);
  ASSERT_TRUE(d.readCountries(in, europe));
  EXPECT_EQ(walk(d).size(), 3u);
  EXPECT_FALSE(d.readCountries(in, nullptr));

  std::ostringstream out;
  d.setLocListIndices();
  d.writeCountries(out, europe->getCountries());
  EXPECT_EQ(out.str(), "2\nNorway\n1\nHordaland\n2\n0 2 \nSweden\n1\nSkane\n1\n1 \n");
  std::ostringstream none;
  d.writeLocations(none, nullptr);
  EXPECT_EQ(none.str(), "0\n\n");

  // Locations read but never given to a state go with the directory.
  Directory partial("y.dir");
  std::istringstream in2(kScandinavia);
  ASSERT_TRUE(partial.readLocList(in2));
}

TEST(DirectoryFileTest, IsFileEmptyAndTimeStamps) {
  TempDir dir;
  Directory d(dir.file("t.dir").c_str());
  EXPECT_TRUE(d.IsFileEmpty());
  EXPECT_EQ(d.getTimeStamp(), 0u);
  writeFile(dir.file("t.dir"), "");
  EXPECT_TRUE(d.IsFileEmpty());
  writeFile(dir.file("t.dir"), "0\n");
  EXPECT_FALSE(d.IsFileEmpty());

  // 2000-01-01 12:30:10 UTC.
  struct timespec times[2] = {{946729810, 0}, {946729810, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, dir.file("t.dir").c_str(), times, 0), 0);
  EXPECT_EQ(d.getTimeStamp(), 673276869u);
  times[0].tv_sec = times[1].tv_sec = 946729812;
  ASSERT_EQ(utimensat(AT_FDCWD, dir.file("t.dir").c_str(), times, 0), 0);
  EXPECT_GT(d.getTimeStamp(), 673276869u);

  d.clearDirFile();
  EXPECT_FALSE(fileExists(dir.file("t.dir")));
  d.clearDirFile();  // a missing file is no error
  EXPECT_TRUE(d.IsFileEmpty());
  Directory folder(dir.path().c_str());
  EXPECT_TRUE(folder.IsFileEmpty());
}

TEST(DirectoryFileTest, RelativeNamesMeanTheHomeDirectory) {
  TempDir home;
  TempDir elsewhere;
  ScopedCwd inHome(home.path());
  Directory d("rel.dir");
  fillScandinavia(&d);
  {
    ScopedCwd moved(elsewhere.path());
    ASSERT_TRUE(d.write());
    EXPECT_EQ(platform::currentDirectory(), elsewhere.path());
    EXPECT_FALSE(d.IsFileEmpty());
    EXPECT_NE(d.getTimeStamp(), 0u);
    Directory back(nullptr);
    back.fileName = "rel.dir";  // a directory made here reads from here
    EXPECT_FALSE(back.read());
    EXPECT_EQ(platform::currentDirectory(), elsewhere.path());
  }
  EXPECT_TRUE(fileExists(home.file("rel.dir")));
  EXPECT_TRUE(listFolder(elsewhere.path()).empty());
}

TEST(DirectoryFileTest, AHomeOfAnyLength) {
  TempDir dir;
  std::string deep = dir.path();
  while (deep.size() < 600) {
    deep += "/" + std::string(60, 'd');
    ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
  }
  {
    ScopedCwd inDeep(deep);
    Directory d("long.dir");
    EXPECT_EQ(d.homeDir[0], '\0');  // does not fit
    EXPECT_EQ(d.homePath(), deep);
    fillScandinavia(&d);
    ScopedCwd away(dir.path());
    ASSERT_TRUE(d.write());
    EXPECT_EQ(platform::currentDirectory(), dir.path());
  }
  EXPECT_EQ(readFile(deep + "/long.dir"), kScandinavia);
}

}  // namespace
