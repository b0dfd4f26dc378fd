// Hostile input that earlier tests leave out: names at and past the length
// limits, record names filling their fields, control bytes in names,
// directory files pointing past the data file, a selection file nested a
// million levels deep, data files that are folders, FIFOs or links to them,
// names planted where the library writes; station lists that are FIFOs,
// devices, idle pipes, endless lines or too wide, too large for the memory;
// a selection naming one continent again and again; files of zeros or text
// taken for data files; a folder that others may write, and the attacks of
// a member of the group that shares one.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "datafile/BMTFile.h"
#include "datafile/MetDatabaseLock.h"
#include "directory/Directory.h"
#include "module/CurrentDatabase.h"
#include "selection/TLocationSelection.h"
#include "tests/support/Records.h"
#include "tests/support/TempDir.h"
#include "tool/CheckPoint.h"
#include "tool/lists/StationListReading.h"
#include "tool/text/InputFile.h"

namespace {

using testsupport::bytesOf;
using testsupport::fileExists;
using testsupport::listFolder;
using testsupport::makeRecord;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::walkPaths;
using testsupport::writeFile;

// An absolute path of exactly length characters inside dir, made of folders
// of at most 200 characters (created) and a last part ending in ".bmt".
std::string pathOfLength(const TempDir& dir, std::size_t length) {
  std::string path = dir.path();
  while (length - path.size() > 210) {
    path += "/" + std::string(200, 'd');
    mkdir(path.c_str(), 0700);
  }
  std::size_t rest = length - path.size() - 1;
  return path + "/" + std::string(rest - 4, 'n') + ".bmt";
}

std::vector<LocationData> twoRecords() {
  return {makeRecord("Europe", "Norway", "Oslo", "Oslo", 1, 59.9f, 10.7f, 1),
          makeRecord("Europe", "Norway", "Oslo", "Blindern", 2, 59.9f, 10.7f, 2)};
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Runs the built tool in dir; its standard output (its errors in dir/.err).
std::string tool(const TempDir& dir, const std::string& args, int* status) {
  std::string command =
      "cd '" + dir.path() + "' && '" + METDB_TOOL + "' " + args + " >.out 2>.err </dev/null";
  int r = std::system(command.c_str());
  *status = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  return readFile(dir.file(".out"));
}

TEST(HostileNameLengthTest, DataFileNamesUpTo259WorkAndLongerOnesCreateNothing) {
  for (std::size_t length : {259u, 260u, 261u, 4096u}) {
    TempDir dir;
    std::string name = pathOfLength(dir, length);
    ASSERT_EQ(name.size(), length);
    {
      BMTFile db(name.c_str());
      LocationData r = twoRecords()[0];
      EXPECT_EQ(db.IsValid(), length <= 259) << length;
      EXPECT_EQ(db.addLocationData(r), length <= 259 ? 0 : -1) << length;
      db.setLocationData(0, r);
    }
    EXPECT_EQ(fileExists(name), length <= 259) << length;
  }
}

TEST(HostileNameLengthTest, SetMetDatabaseNeverOpensTheCutName) {
  TempDir dir;
  // The first 260 characters of the name form a path in an existing folder.
  std::string name = pathOfLength(dir, 260) + std::string(40, 'x');
  std::string cut = name.substr(0, 260);
  BMTFile* db = setMetDatabase(name.c_str());
  EXPECT_EQ(std::string(getMetDataFileName()), cut);
  EXPECT_FALSE(db->IsValid());
  setMetDatabase(dir.file("other.bmt").c_str());
  EXPECT_FALSE(fileExists(cut));
  EXPECT_FALSE(fileExists(MetDatabase::directoryFileName(cut)));
}

TEST(HostileNameLengthTest, SelectionFileNamesOfAnyLength) {
  for (std::size_t length : {259u, 260u, 261u, 4096u}) {
    TempDir dir;
    std::string name = pathOfLength(dir, length);
    TLocationSelection s;
    s.continentList = new TLocList("Europe", true);
    int written = s.write(name.c_str());
    // The system takes paths below 4096 bytes; a longer one fails cleanly.
    EXPECT_EQ(written, length < 4096 ? 1 : 0) << length;
    TLocationSelection back;
    EXPECT_EQ(back.read(name.c_str()), length < 4096 ? 1 : 0) << length;
    std::string folder = name.substr(0, name.rfind('/'));
    EXPECT_EQ(listFolder(folder).size(), length < 4096 ? 1u : 0u) << length;
  }
}

// Names that fill their fields without a terminator are cut to 20 or 30
// characters by every reader.
TEST(HostileRecordTest, NamesWithoutTerminatorAreBoundedEverywhere) {
  TempDir dir;
  LocationData r = makeRecord("", "", "", "", 1, 1, 2, 0);
  std::memset(r.continent, 'C', sizeof r.continent);
  std::memset(r.country, 'K', sizeof r.country);
  std::memset(r.state, 'S', sizeof r.state);
  std::memset(r.name, 'N', sizeof r.name);
  writeFile(dir.file("full.bmt"), bytesOf(r) + bytesOf(r));
  std::string expected = std::string(20, 'C') + "/" + std::string(30, 'K') + "/" +
                         std::string(30, 'S') + "/" + std::string(20, 'N');
  {
    // Built from the records, which give the whole field (not past it), and
    // saved on closing; the file reads back cut to 20 and 30 characters.
    BMTFile db(dir.file("full.bmt").c_str());
    std::string whole = std::string(21, 'C') + "/" + std::string(31, 'K') + "/" +
                        std::string(31, 'S') + "/" + std::string(21, 'N');
    EXPECT_EQ(walkPaths(db.directory), std::vector<std::string>(2, whole));
  }
  {
    BMTFile db(dir.file("full.bmt").c_str());  // read from the directory file
    EXPECT_FALSE(db.directory->changed);
    EXPECT_EQ(walkPaths(db.directory), std::vector<std::string>(2, expected));
  }
  TLocationSelection s;
  s.continentList = new TLocList(std::string(79, 'C').c_str(), false);
  std::memset(s.continentList->name, 'C', sizeof s.continentList->name);  // no terminator
  std::memset(s.name, 'X', sizeof s.name);
  ASSERT_EQ(s.write(dir.file("full.sel").c_str()), 1);
  TLocationSelection back;
  ASSERT_EQ(back.read(dir.file("full.sel").c_str()), 1);
  EXPECT_EQ(std::string(back.continentList->name), std::string(79, 'C'));

  int status = 0;
  std::string listed = tool(dir, "--db full.bmt list", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(listed.find(std::string(20, 'N')), std::string::npos);
  // The tool shows a full field's bytes, never past it.
  EXPECT_EQ(listed.find(std::string(22, 'N')), std::string::npos);
  std::string shown = tool(dir, "--db full.bmt show 0", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(shown.find(std::string(32, 'K')), std::string::npos);
  std::string exported = tool(dir, "--db full.bmt export --format json", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(exported.find(std::string(22, 'C')), std::string::npos);
}

// Control bytes other than CR and LF keep their lines; CR and LF make both
// writers refuse (tested with the writers).
TEST(HostileRecordTest, ControlBytesInNamesRoundTrip) {
  TempDir dir;
  std::string odd = "a\tb\x01\x1b\x7f";
  writeFile(dir.file("c.bmt"), bytesOf(makeRecord("Eu\x02", "No\x1f", "Os\x0b", odd.c_str())));
  { BMTFile db(dir.file("c.bmt").c_str()); }
  BMTFile db(dir.file("c.bmt").c_str());
  EXPECT_FALSE(db.directory->changed);
  EXPECT_EQ(walkPaths(db.directory), std::vector<std::string>({"Eu\x02/No\x1f/Os\x0b/" + odd}));
  TLocationSelection s;
  s.continentList = new TLocList(odd.c_str(), true);
  ASSERT_EQ(s.write(dir.file("c.sel").c_str()), 1);
  TLocationSelection back;
  ASSERT_EQ(back.read(dir.file("c.sel").c_str()), 1);
  EXPECT_EQ(std::string(back.continentList->name), odd);
}

// A directory file whose locations point past the data file's end or
// before its start: reads give no record, and a compaction keeps every
// record that a location really refers to.
TEST(HostileDirectoryFileTest, IndicesPastTheEndOrNegative) {
  TempDir dir;
  writeFile(dir.file("p.bmt"), bytesOf(twoRecords()));
  writeFile(
      dir.file("p.dir"),
      "3\nBlindern\n59.90 10.70 2 1\nOslo\n59.90 10.70 1 999999999999\nGhost\n1.00 2.00 1 -5\n"
      "1\nEurope\n1\nNorway\n1\nOslo\n3\n0 1 2 \n");
  testsupport::setModificationTime(dir.file("p.bmt"), 1000000000);
  testsupport::setModificationTime(dir.file("p.dir"), 1000000010);
  BMTFile db(dir.file("p.bmt").c_str());
  ASSERT_EQ(db.directory->locationCount, 3);
  LocationData r = makeRecord("X", "X", "X", "untouched");
  db.getLocationData(999999999999, r);
  db.getLocationData(-5, r);
  EXPECT_EQ(std::string(r.name), "untouched");
  db.remakeDatabase();
  std::vector<LocationData> after = testsupport::recordsOf(readFile(dir.file("p.bmt")));
  bool blindern = false;
  for (const LocationData& k : after) blindern = blindern || std::string(k.name) == "Blindern";
  EXPECT_TRUE(blindern);
}

TEST(HostileSelectionFileTest, AMillionNestedLevelsIsMalformedWithoutOverflow) {
  TempDir dir;
  std::string text = "deep\n1.10\n";
  text.reserve(8u << 20);
  for (int i = 0; i < 1000000; ++i) text += "x\n0\n<\n";
  writeFile(dir.file("deep.sel"), text);
  TLocationSelection s;
  EXPECT_EQ(s.read(dir.file("deep.sel").c_str()), -1);
  EXPECT_EQ(s.continentList, nullptr);
}

TEST(HostileDataFileTest, LinksToFoldersAndFifosAreNotValidLinksToFilesWork) {
  TempDir dir;
  mkdir(dir.file("folder").c_str(), 0700);
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  writeFile(dir.file("real.bmt"), bytesOf(twoRecords()));
  ASSERT_EQ(symlink(dir.file("folder").c_str(), dir.file("tofolder.bmt").c_str()), 0);
  ASSERT_EQ(symlink(dir.file("fifo").c_str(), dir.file("tofifo.bmt").c_str()), 0);
  ASSERT_EQ(symlink(dir.file("real.bmt").c_str(), dir.file("tofile.bmt").c_str()), 0);
  for (const char* name : {"tofolder.bmt", "tofifo.bmt"}) {
    BMTFile db(dir.file(name).c_str());
    EXPECT_FALSE(db.IsValid()) << name;
    LocationData r = twoRecords()[0];
    EXPECT_EQ(db.addLocationData(r), -1) << name;
  }
  {
    BMTFile db(dir.file("tofile.bmt").c_str());
    EXPECT_TRUE(db.IsValid());
    EXPECT_EQ(db.directory->locationCount, 2);
    db.remakeDatabase();  // replaces the link by the new file, the old file stays
  }
  EXPECT_EQ(readFile(dir.file("real.bmt")), bytesOf(twoRecords()));
  EXPECT_EQ(testsupport::recordsOf(readFile(dir.file("tofile.bmt"))).size(), 2u);
  for (const std::string& name : listFolder(dir.path())) {
    EXPECT_NE(name.compare(0, 3, "TQ_"), 0) << name;
  }
}

// Files planted at the names the library writes are replaced, never
// written through: a link there leads nowhere new, and its target's mode
// (another's file open to all) is not copied onto the file made there.
TEST(HostilePlantedNameTest, LinksAtTheWrittenNamesAreNotFollowed) {
  TempDir dir, elsewhere;
  writeFile(dir.file("p.bmt"), bytesOf(twoRecords()));
  std::string victim = elsewhere.file("victim");
  writeFile(victim, "keep");
  ASSERT_EQ(chmod(victim.c_str(), 0666), 0);
  mode_t mask = umask(022);
  ASSERT_EQ(symlink(victim.c_str(), dir.file("p.dir").c_str()), 0);
  ASSERT_EQ(symlink(elsewhere.file("new").c_str(), dir.file("s.sel").c_str()), 0);
  {
    BMTFile db(dir.file("p.bmt").c_str());
    db.directory->changed = true;
  }
  TLocationSelection s;
  s.continentList = new TLocList("Europe", true);
  EXPECT_EQ(s.write(dir.file("s.sel").c_str()), 1);
  EXPECT_EQ(readFile(victim), "keep");
  EXPECT_FALSE(fileExists(elsewhere.file("new")));
  umask(mask);
  struct stat st;
  ASSERT_EQ(lstat(dir.file("p.dir").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  ASSERT_EQ(stat(victim.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u);
}

// The attacks below run the tool as a user would and expect its refusal.
class HostileToolTest : public ::testing::Test {
 protected:
  // Runs the tool; its standard error.
  std::string refused(const std::string& args) {
    int status = 0;
    tool(dir_, args, &status);
    EXPECT_EQ(status, 1) << args;
    return readFile(dir_.file(".err"));
  }
  TempDir dir_;
};

TEST_F(HostileToolTest, FifoAndDeviceAreNoStationListsAndNoOpenHangs) {
  ASSERT_EQ(mkfifo(dir_.file("fifo").c_str(), 0600), 0);
  writeFile(dir_.file("db.bmt"), bytesOf(twoRecords()));
  EXPECT_TRUE(contains(refused("--db new.bmt create fifo"), "\"fifo\" is a FIFO"))
      << readFile(dir_.file(".err"));
  EXPECT_TRUE(contains(refused("--db new.bmt create /dev/zero"), "is a device"));
  EXPECT_TRUE(contains(refused("--db db.bmt import fifo"), "not a regular file"));
  EXPECT_TRUE(contains(refused("--db db.bmt list --selection fifo"),
                       "selection file \"fifo\": \"fifo\" is not a regular file"));
  EXPECT_FALSE(fileExists(dir_.file("new.bmt")));
}

TEST_F(HostileToolTest, ALineWithoutEndIsCutAtItsLimit) {
  writeFile(dir_.file("line.csv"), std::string(3u << 20, 'a'));
  EXPECT_TRUE(contains(refused("--db l.bmt create line.csv"),
                       "line 1: the line is longer than 1048576 bytes"));
  EXPECT_FALSE(fileExists(dir_.file("l.bmt")));
}

TEST_F(HostileToolTest, AHeaderOfThousandsOfColumnsIsRefusedShortly) {
  std::string header = "name,country,continent,latitude,longitude";
  for (int i = 0; i < 5000; ++i) header += ",x" + std::to_string(i);
  writeFile(dir_.file("wide.csv"), header + "\n");
  std::string err = refused("validate wide.csv");
  EXPECT_TRUE(contains(err, "past the 1000 fields that a row may have")) << err;
  EXPECT_LT(err.size(), 300u);
}

TEST_F(HostileToolTest, ASelectionNamingOneContinentOftenListsItOnce) {
  writeFile(dir_.file("db.bmt"), bytesOf(twoRecords()));
  std::string text = "many\n1.10\n";
  for (int i = 0; i < 100000; ++i) text += "Europe\n1\n";
  writeFile(dir_.file("many.sel"), text + ">\n5 90 -90 180 -180 0");
  int status = 0;
  std::string listed = tool(dir_, "--db db.bmt list --selection many.sel --columns name", &status);
  EXPECT_EQ(status, 0) << readFile(dir_.file(".err"));
  EXPECT_EQ(listed, "NAME\nBlindern\nOslo\n2 locations.\n");
}

// Distinct names, which no collapsing of repeats makes fewer, are limited
// before the library reads them into memory.
TEST_F(HostileToolTest, ASelectionOfTooManyNamesIsRefused) {
  writeFile(dir_.file("db.bmt"), bytesOf(twoRecords()));
  std::string text = "many\n1.10\n";
  text.reserve(2000010u * 11);
  for (int i = 0; i <= 2000000; ++i) text += "E" + std::to_string(i) + "\n1\n";
  writeFile(dir_.file("many.sel"), text + ">\n5 90 -90 180 -180 0");
  std::string err = refused("--db db.bmt list --selection many.sel");
  EXPECT_TRUE(contains(err, "holds about 2000002 names, more than the 2000000")) << err;
}

TEST_F(HostileToolTest, FilesOfZerosOrTextAreNoDatabaseToAnyCommand) {
  writeFile(dir_.file("zeros.bmt"), "");
  ASSERT_EQ(truncate(dir_.file("zeros.bmt").c_str(), 331L * 100000), 0);
  std::string text;
  while (text.size() < 331 * 3) text += "Oslo,Norway,Europe,59.9,10.7\n";
  writeFile(dir_.file("text.bmt"), text);
  for (const char* db : {"zeros.bmt", "text.bmt"}) {
    for (const char* command : {"info", "check", "list",
                                "add --name X --country Norway --continent Europe "
                                "--latitude 1 --longitude 2"}) {
      std::string err = refused(std::string("--db ") + db + " " + command);
      EXPECT_TRUE(contains(err, "does not look like a data file of locations")) << err;
    }
  }
  EXPECT_EQ(testsupport::readFile(dir_.file("zeros.bmt")).size(), 331u * 100000);
  EXPECT_FALSE(fileExists(dir_.file("zeros.dir")));
}

TEST_F(HostileToolTest, ACsvHoldingNulIsNamedAsSuch) {
  writeFile(dir_.file("db.bmt"), bytesOf(twoRecords()));
  writeFile(dir_.file("nul.csv"), std::string("name,country\nOs\0lo,NO\n", 22));
  std::string err = refused("--db db.bmt import nul.csv");
  EXPECT_TRUE(contains(err, "its byte 15 is NUL, which no text holds")) << err;
}

// A folder that every user may write without the sticky bit is refused for
// changes, reading goes on; one that its group may write is named when the
// data file is not the group's to write.
TEST_F(HostileToolTest, AFolderOthersMayReplaceFilesInIsNamed) {
  writeFile(dir_.file("db.bmt"), bytesOf(twoRecords()));
  auto add = [](const char* name) {
    return std::string("--db db.bmt add --name ") + name +
           " --state Oslo --country Norway --continent Europe --latitude 1 --longitude 2";
  };
  ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
  std::string err = refused(add("A"));
  EXPECT_TRUE(contains(err, "may be written by every user and has no sticky bit")) << err;
  int status = 0;
  tool(dir_, "--db db.bmt list", &status);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(chmod(dir_.path().c_str(), 01777), 0);
  tool(dir_, add("B"), &status);
  EXPECT_EQ(status, 0) << readFile(dir_.file(".err"));
  ASSERT_EQ(chmod(dir_.path().c_str(), 0770), 0);
  ASSERT_EQ(chmod(dir_.file("db.bmt").c_str(), 0644), 0);
  tool(dir_, add("C"), &status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(contains(readFile(dir_.file(".err")), "the group's members could replace"))
      << readFile(dir_.file(".err"));
  ASSERT_EQ(chmod(dir_.file("db.bmt").c_str(), 0664), 0);
  tool(dir_, add("D"), &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readFile(dir_.file(".err")), "");
  ASSERT_EQ(chmod(dir_.path().c_str(), 0700), 0);
}

// Reading from an idle pipe on standard input goes through check points, so
// that a signal stops it.
TEST(HostileStationListTest, AnIdleStandardInputReachesCheckPoints) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int saved = dup(STDIN_FILENO);
  ASSERT_EQ(dup2(fds[0], STDIN_FILENO), STDIN_FILENO);
  static int calls;
  calls = 0;
  struct Stop {};
  metdb::setCheckPointHook([] {
    if (++calls == 3) throw Stop();
  });
  bool stopped = false;
  try {
    metdb::InputFile file("-");
    std::istream in(&file);
    metdb::readAnyStationList(in, metdb::StationListReading());
  } catch (const Stop&) {
    stopped = true;
  }
  metdb::setCheckPointHook(nullptr);
  dup2(saved, STDIN_FILENO);
  close(saved);
  close(fds[0]);
  close(fds[1]);
  EXPECT_TRUE(stopped);
}

TEST(HostileStationListTest, AListLargerThanTheMemoryAllowsIsRefused) {
  std::string text = "name,country,continent,latitude,longitude\n";
  for (int i = 0; i < 2000; ++i) text += "P" + std::to_string(i) + ",NO,Europe,1,2\n";
  std::istringstream in(text);
  metdb::StationListReading reading;
  reading.memoryBudget = 1u << 20;
  metdb::StationCsvResult result = metdb::readAnyStationList(in, reading);
  ASSERT_TRUE(result.fatal);
  EXPECT_TRUE(result.rows.empty());
  EXPECT_TRUE(contains(result.errors.at(0).message, "larger than the free memory allows"));
}

TEST_F(HostileToolTest, ACurrentFolderDeeperThanThePathLimitIsNamed) {
  writeFile(dir_.file("s.csv"),
            "name,state,country,continent,latitude,longitude\nOslo,Oslo,Norway,Europe,59.9,10.7\n");
  // Made and entered a step at a time, as no single path may name it.
  std::string part(200, 'd');
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int err = open(dir_.file(".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (err < 0 || dup2(err, STDERR_FILENO) < 0 || chdir(dir_.path().c_str()) != 0) _exit(9);
    for (int i = 0; i < 22; ++i) {
      if (mkdir(part.c_str(), 0700) != 0 || chdir(part.c_str()) != 0) _exit(9);
    }
    execl(METDB_TOOL, METDB_TOOL, "--db", "x.bmt", "create", dir_.file("s.csv").c_str(),
          static_cast<char*>(nullptr));
    _exit(9);
  }
  int r = 0;
  ASSERT_EQ(waitpid(child, &r, 0), child);
  EXPECT_TRUE(WIFEXITED(r) && WEXITSTATUS(r) == 1);
  std::string err = readFile(dir_.file(".err"));
  EXPECT_TRUE(contains(err, "bytes the system takes (the current folder lies too deep)")) << err;
  // A tree this deep is removed by a tool that walks it by descriptors.
  std::system(("rm -rf '" + dir_.file(part) + "'").c_str());
}

// A team's folder: group-writable with the set-group-id bit, no sticky bit,
// holding a database its group may write, made by one member (the victim)
// while another member (the attacker) acts against it. Both are users other
// than root, as the permissions bind only then: the test runs as root (as
// CI does) and each side in a child that takes its user's identity.
class SharedGroupAttackTest : public ::testing::Test {
 protected:
  static constexpr uid_t kVictim = 65533, kAttacker = 65534;
  static constexpr gid_t kTeam = 65530;

  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to act as two other users of one group";
    ASSERT_EQ(chmod(dir_.path().c_str(), 0711), 0);
    for (uid_t user : {kVictim, kAttacker}) {
      std::string out = outFolder(user);
      ASSERT_EQ(mkdir(out.c_str(), 0700), 0);
      ASSERT_EQ(chown(out.c_str(), user, user), 0);
    }
    ASSERT_EQ(mkdir(team_.c_str(), 0700), 0);
    ASSERT_EQ(chown(team_.c_str(), kVictim, kTeam), 0);
    ASSERT_EQ(chmod(team_.c_str(), 02770), 0);
    // The victim's own file elsewhere, which links are planted to.
    writeFile(private_, "private");
    ASSERT_EQ(chown(private_.c_str(), kVictim, kVictim), 0);
    ASSERT_EQ(chmod(private_.c_str(), 0600), 0);
    writeFile(dir_.file("s.csv"),
              "name,state,country,continent,latitude,longitude\n"
              "Oslo,Oslo,Norway,Europe,59.9,10.7\nBergen,Vestland,Norway,Europe,60.4,5.3\n");
    ASSERT_EQ(runAs(kVictim, "--db s.bmt create ../s.csv"), 0) << err_;
  }

  std::string outFolder(uid_t user) const { return dir_.file("out" + std::to_string(user)); }

  // Makes this process user, whose one group is the team's; in a child.
  static void become(uid_t user) {
    gid_t groups[] = {kTeam};
    if (setgroups(1, groups) != 0 || setgid(kTeam) != 0 || setuid(user) != 0) _exit(98);
    umask(007);
  }

  // Runs body in a child as user.
  static int as(uid_t user, const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
      become(user);
      _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Runs the tool as user in the team's folder; its exit status, its
  // standard error in err_.
  int runAs(uid_t user, const std::string& args) {
    std::string out = outFolder(user);
    int status = as(user, [&]() {
      std::string command = "cd '" + team_ + "' && '" + METDB_TOOL + "' " + args + " >'" + out +
                            "/out' 2>'" + out + "/err' </dev/null";
      int r = std::system(command.c_str());
      return WIFEXITED(r) ? WEXITSTATUS(r) : 97;
    });
    err_ = readFile(out + "/err");
    return status;
  }

  std::string add(const std::string& name) {
    return "--db s.bmt add --name " + name +
           " --state Oslo --country Norway --continent Europe --latitude 59 --longitude 10";
  }

  // The victim's file kept its bytes and its bits.
  void expectPrivateUntouched() {
    struct stat st;
    ASSERT_EQ(stat(private_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(readFile(private_), "private");
  }

  TempDir dir_;
  std::string team_ = dir_.file("team");
  std::string private_ = dir_.file("private");
  std::string err_;
};

// The attacker replaces the lock file by one only they may open: the
// victim's next change puts a usable one in its place.
TEST_F(SharedGroupAttackTest, ALockFileMadeUnusableIsReplaced) {
  std::string lock = team_ + "/s.bmt.lock";
  ASSERT_EQ(as(kAttacker,
               [&]() {
                 unlink(lock.c_str());
                 int fd = open(lock.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
                 return fd >= 0 && fchmod(fd, 0600) == 0 ? 0 : 1;
               }),
            0);
  EXPECT_EQ(runAs(kVictim, add("A")), 0) << err_;
  struct stat st;
  ASSERT_EQ(stat(lock.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, kVictim);
  EXPECT_EQ(st.st_mode & 0777, 0660u);
}

// Holding the lock, the attacker keeps the victim waiting no longer than the
// wait the victim chose, and the refusal says what holds it.
TEST_F(SharedGroupAttackTest, AHeldLockStallsOnlyForTheWait) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  std::string db = team_ + "/s.bmt";
  pid_t holder = fork();
  if (holder == 0) {
    become(kAttacker);
    MetDatabaseLock lock(db.c_str());
    if (!lock.lock(MetDatabaseLock::kExclusive, 0) || write(ready[1], "x", 1) != 1) _exit(1);
    for (;;) pause();
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(runAs(kVictim, "--wait 0.3 " + add("A")), 1);
  EXPECT_TRUE(contains(err_, "another process is changing the database")) << err_;
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

// Links the attacker plants at the database's names are replaced, never
// followed; a data file that is a link is refused for changes.
TEST_F(SharedGroupAttackTest, PlantedLinksAreNeverFollowed) {
  ASSERT_EQ(as(kAttacker,
               [&]() {
                 for (const char* name : {"s.dir", "s.stn", "s.bmt.lock"}) {
                   std::string path = team_ + "/" + name;
                   unlink(path.c_str());
                   if (symlink(private_.c_str(), path.c_str()) != 0) return 1;
                 }
                 return 0;
               }),
            0);
  EXPECT_EQ(runAs(kVictim, add("A")), 0) << err_;
  EXPECT_EQ(runAs(kVictim, "--db s.bmt compact"), 0) << err_;
  expectPrivateUntouched();
  for (const char* name : {"s.dir", "s.bmt.lock"}) {
    struct stat st;
    ASSERT_EQ(lstat((team_ + "/" + name).c_str(), &st), 0) << name;
    EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
    EXPECT_EQ(st.st_uid, kVictim) << name;
  }
  std::string data = team_ + "/s.bmt";
  ASSERT_EQ(as(kAttacker,
               [&]() {
                 return rename(data.c_str(), (team_ + "/away").c_str()) == 0 &&
                                symlink(private_.c_str(), data.c_str()) == 0
                            ? 0
                            : 1;
               }),
            0);
  EXPECT_EQ(runAs(kVictim, add("B")), 1);
  EXPECT_TRUE(contains(err_, "is a symbolic link in a folder that its group may write")) << err_;
  expectPrivateUntouched();
}

// While the victim compacts, the attacker moves each temporary file away and
// puts a link to the victim's file in its place: no compaction renames the
// link over the database or changes the file it leads to.
TEST_F(SharedGroupAttackTest, SwappedTemporaryFilesAreNotRenamedOverTheDatabase) {
  pid_t swapper = fork();
  if (swapper == 0) {
    become(kAttacker);
    for (long n = 0;; ++n) {
      for (const std::string& name : listFolder(team_)) {
        if (name.compare(0, 3, "TQ_") != 0) continue;
        std::string path = team_ + "/" + name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) continue;
        if (rename(path.c_str(), (team_ + "/moved" + std::to_string(n)).c_str()) != 0 ||
            symlink(private_.c_str(), path.c_str()) != 0) {
          continue;
        }
      }
    }
  }
  for (int i = 0; i < 10; ++i) {
    int status = runAs(kVictim, "--db s.bmt compact");
    EXPECT_TRUE(status == 0 || (status == 1 && contains(err_, "another process"))) << err_;
  }
  kill(swapper, SIGKILL);
  waitpid(swapper, nullptr, 0);
  expectPrivateUntouched();
  struct stat st;
  ASSERT_EQ(lstat((team_ + "/s.bmt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
}

}  // namespace
