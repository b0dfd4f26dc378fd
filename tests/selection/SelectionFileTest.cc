#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "selection/TLocationSelection.h"
#include "tests/selection/SelectionTestUtil.h"
#include "tests/support/TempDir.h"

using selectiontest::alpsFile;
using selectiontest::chain;
using selectiontest::entry;
using selectiontest::fillAlps;
using selectiontest::listText;
using testsupport::TempDir;

namespace {

void expectDefaults(const TLocationSelection& s) {
  EXPECT_EQ(s.continentList, nullptr);
  EXPECT_EQ(s.levelLimit, 5);
  EXPECT_EQ(s.maxLatitude, 90);
  EXPECT_EQ(s.minLatitude, -90);
  EXPECT_EQ(s.maxLongitude, 180);
  EXPECT_EQ(s.minLongitude, -180);
  EXPECT_FALSE(s.useLatLonLimits);
}

// Reads text as a selection file into s.
int readText(TLocationSelection& s, const std::string& text) {
  TempDir dir;
  testsupport::writeFile(dir.file("sel"), text);
  return s.read(dir.file("sel").c_str());
}

TEST(SelectionFileTest, AlpsExampleLineForLineAndBack) {
  TempDir dir;
  TLocationSelection s;
  fillAlps(s);
  ASSERT_EQ(s.write(dir.file("alps.sel").c_str()), 1);
  EXPECT_EQ(testsupport::readFile(dir.file("alps.sel")), alpsFile());
  EXPECT_EQ(testsupport::listFolder(dir.path()), std::vector<std::string>{"alps.sel"});

  TLocationSelection back;
  ASSERT_EQ(back.read(dir.file("alps.sel").c_str()), 1);
  EXPECT_STREQ(back.name, "Alps");
  EXPECT_EQ(listText(back.continentList), listText(s.continentList));
  TLocList* europe = back.continentList;
  ASSERT_NE(europe, nullptr);
  EXPECT_STREQ(europe->name, "Europe");
  EXPECT_FALSE(europe->selectAll);
  EXPECT_EQ(europe->nextEntry, nullptr);
  ASSERT_NE(europe->subList, nullptr);
  EXPECT_TRUE(europe->subList->selectAll);
  EXPECT_STREQ(europe->subList->nextEntry->subList->subList->nextEntry->name, "Zermatt");
  EXPECT_EQ(back.levelLimit, 3);
  EXPECT_EQ(back.maxLatitude, 48);
  EXPECT_EQ(back.minLatitude, 45.5f);
  EXPECT_EQ(back.maxLongitude, 11);
  EXPECT_EQ(back.minLongitude, 5.75f);
  EXPECT_TRUE(back.useLatLonLimits);
}

TEST(SelectionFileTest, FreshSelectionIsFourLinesWithoutFinalLineEnd) {
  TempDir dir;
  testsupport::ScopedCwd cwd(dir.path());
  TLocationSelection s;
  std::strcpy(s.name, "Test");
  ASSERT_EQ(s.write("test.sel"), 1);  // relative to the current directory
  EXPECT_EQ(testsupport::readFile(dir.file("test.sel")), "Test\n1.10\n>\n5 90 -90 180 -180 0");

  TLocationSelection back;
  fillAlps(back);
  ASSERT_EQ(back.read("test.sel"), 1);
  EXPECT_STREQ(back.name, "Test");
  expectDefaults(back);
}

TEST(SelectionFileTest, CrLfFileReadsLikeLf) {
  std::string crlf;
  for (const char* c = alpsFile(); *c; ++c)
    crlf += *c == '\n' ? std::string("\r\n") : std::string(1, *c);
  TLocationSelection s, expected;
  fillAlps(expected);
  ASSERT_EQ(readText(s, crlf), 1);
  EXPECT_STREQ(s.name, "Alps");
  EXPECT_EQ(listText(s.continentList), listText(expected.continentList));
  EXPECT_TRUE(s.useLatLonLimits);
  EXPECT_EQ(s.minLongitude, 5.75f);
}

TEST(SelectionFileTest, LongNamesAreCutToTheirFields) {
  std::string forty(40, 'n'), hundred(100, 'e');
  TLocationSelection s;
  ASSERT_EQ(readText(s, forty + "\n1.10\n" + hundred + "\n1\n>\n"), 1);
  EXPECT_EQ(std::string(s.name), forty.substr(0, 29));
  ASSERT_NE(s.continentList, nullptr);
  EXPECT_EQ(std::string(s.continentList->name), hundred.substr(0, 79));

  // A host that fills the fields to the end, without a NUL, gets the first
  // 29 and 79 characters written.
  TempDir dir;
  std::memset(s.name, 'x', sizeof s.name);
  std::memset(s.continentList->name, 'y', sizeof s.continentList->name);
  ASSERT_EQ(s.write(dir.file("full").c_str()), 1);
  EXPECT_EQ(
      testsupport::readFile(dir.file("full")),
      std::string(29, 'x') + "\n1.10\n" + std::string(79, 'y') + "\n1\n>\n5 90 -90 180 -180 0");
}

TEST(SelectionFileTest, VersionMustBeExactly110) {
  for (const char* version : {"1.1", "1.10 ", "", "1.100000000000", "1.1O"}) {
    TLocationSelection s;
    fillAlps(s);
    EXPECT_EQ(readText(s, std::string("Mine\n") + version + "\n>\n3 1 2 3 4 1"), -1) << version;
    EXPECT_STREQ(s.name, "Mine");
    expectDefaults(s);
  }
}

TEST(SelectionFileTest, FlagLinesAreFalseOnlyWhenStartingWithZero) {
  struct Case {
    const char* line;
    bool selectAll;
  } cases[] = {{"0", false}, {"0x", false}, {"1", true}, {"true", true},
               {"no", true}, {"", true},    {" 0", true}};
  for (const Case& c : cases) {
    TLocationSelection s;
    ASSERT_EQ(readText(s, std::string("F\n1.10\nAsia\n") + c.line + "\n>\n"), 1) << c.line;
    ASSERT_NE(s.continentList, nullptr);
    EXPECT_EQ(s.continentList->selectAll, c.selectAll) << '"' << c.line << '"';
  }
}

TEST(SelectionFileTest, EmptyNameLinesGiveEmptyNames) {
  TLocationSelection s;
  ASSERT_EQ(readText(s, "\n1.10\n\n0\nx\n1\n>\n"), 1);
  EXPECT_STREQ(s.name, "");
  ASSERT_NE(s.continentList, nullptr);
  EXPECT_STREQ(s.continentList->name, "");
  EXPECT_STREQ(s.continentList->nextEntry->name, "x");
}

TEST(SelectionFileTest, FloatsInSixSignificantDigits) {
  TempDir dir;
  TLocationSelection s;
  s.maxLatitude = 45.1234567f;
  s.minLongitude = -0.5f;
  s.maxLongitude = 1e7f;
  ASSERT_EQ(s.write(dir.file("f").c_str()), 1);
  EXPECT_EQ(testsupport::readFile(dir.file("f")), "\n1.10\n>\n5 45.1235 -90 1e+07 -0.5 0");
  TLocationSelection back;
  ASSERT_EQ(back.read(dir.file("f").c_str()), 1);
  EXPECT_EQ(back.maxLatitude, 45.1235f);
  EXPECT_EQ(back.maxLongitude, 1e7f);
}

TEST(SelectionFileTest, LimitsThatFailToParseKeepTheirDefaults) {
  TLocationSelection s;
  EXPECT_EQ(readText(s, "L\n1.10\n>\n3 48 abc 11 5 1"), 1);
  EXPECT_EQ(s.levelLimit, 3);
  EXPECT_EQ(s.maxLatitude, 48);
  EXPECT_EQ(s.minLatitude, -90);
  EXPECT_EQ(s.maxLongitude, 180);
  EXPECT_FALSE(s.useLatLonLimits);

  EXPECT_EQ(readText(s, "L\n1.10\n>\n3 48 45 11 5 2"), 1);  // a bool is 0 or 1
  EXPECT_EQ(s.minLongitude, 5);
  EXPECT_FALSE(s.useLatLonLimits);

  EXPECT_EQ(readText(s, "L\n1.10\n>\n-7\n1\n2\n3\n4\n1\n"), 1);  // any whitespace separates
  EXPECT_EQ(s.levelLimit, -7);
  EXPECT_TRUE(s.useLatLonLimits);

  EXPECT_EQ(readText(s, "L\n1.10\n>"), 1);  // no limits line at all
  EXPECT_STREQ(s.name, "L");
  expectDefaults(s);
}

// Every prefix of the Alps file: up to the end of the continent level's ">"
// the list section is incomplete and read fails cleanly; from there on only
// the limits are short.
TEST(SelectionFileTest, TruncatedFilesNeverLoopAndFailWhileTheListIsOpen) {
  const std::string full = alpsFile();
  const std::size_t listEnd = full.find(">\n3 48") + 1;
  for (std::size_t n = 0; n <= full.size(); ++n) {
    TLocationSelection s;
    fillAlps(s);
    int result = readText(s, full.substr(0, n));
    if (n < listEnd) {
      EXPECT_EQ(result, -1) << n;
      EXPECT_EQ(s.continentList, nullptr) << n;
      EXPECT_EQ(s.levelLimit, 5) << n;
      // A short version line keeps the name; a short list section clears it.
      const std::size_t versionRead = std::strlen("Alps\n1.10");
      EXPECT_EQ(std::string(s.name),
                n < versionRead ? full.substr(0, std::min<std::size_t>(n, 4)) : "")
          << n;
    } else {
      EXPECT_EQ(result, 1) << n;
      EXPECT_NE(s.continentList, nullptr) << n;
    }
  }
}

TEST(SelectionFileTest, MalformedListSectionsClearTheSelection) {
  const char* bad[] = {
      "S\n1.10\nEurope\n0\n5 90 -90 180 -180 0",  // the continent ">" missing
      "S\n1.10\nEurope\n0\n<\nSpain\n1\n>\n",     // ends inside the continent level
      "S\n1.10\nEurope\n0\n<\nSpain\n1\n",        // ends inside a sub-level
      "S\n1.10\nEurope\n",                        // ends before a flag line
      "S\n1.10\n",                                // no list section
  };
  for (const char* text : bad) {
    TLocationSelection s;
    fillAlps(s);
    EXPECT_EQ(readText(s, text), -1) << text;
    EXPECT_STREQ(s.name, "");
    expectDefaults(s);
  }
}

std::string nested(int levels) {
  std::string text = "Deep\n1.10\n";
  for (int i = 0; i < levels; ++i)
    text += "n" + std::to_string(i) + "\n0\n" + (i + 1 < levels ? "<\n" : "");
  for (int i = 0; i < levels; ++i) text += ">\n";
  return text + "5 90 -90 180 -180 0";
}

TEST(SelectionFileTest, NestingDeeperThan64LevelsIsMalformed) {
  TLocationSelection s;
  ASSERT_EQ(readText(s, nested(64)), 1);
  int depth = 0;
  for (TLocList* e = s.continentList; e != nullptr; e = e->subList) ++depth;
  EXPECT_EQ(depth, 64);
  EXPECT_EQ(readText(s, nested(65)), -1);
  EXPECT_EQ(s.continentList, nullptr);
}

TEST(SelectionFileTest, MarkerLinesAsNamesAndRepeatedSubLists) {
  TLocationSelection s;
  // "<" as a level's first line is a name: no entry could own a sub-list.
  ASSERT_EQ(readText(s, "M\n1.10\n<\n1\n>\n"), 1);
  EXPECT_STREQ(s.continentList->name, "<");
  // A second sub-list for one entry replaces the first (and frees it).
  ASSERT_EQ(readText(s, "M\n1.10\nA\n0\n<\nB\n1\n>\n<\nC\n1\n>\n>\n"), 1);
  EXPECT_EQ(listText(s.continentList), "A\n0\n<\nC\n1\n>\n");
}

TEST(SelectionFileTest, ReadLeavesTheSelectionAloneWhenTheFileCannotBeOpened) {
  TempDir dir;
  TLocationSelection s;
  fillAlps(s);
  const std::string before = listText(s.continentList);
  EXPECT_EQ(s.read(dir.file("missing").c_str()), 0);
  EXPECT_EQ(s.read(dir.path().c_str()), 0);  // a folder
  EXPECT_EQ(s.read(nullptr), 0);
  EXPECT_STREQ(s.name, "Alps");
  EXPECT_EQ(listText(s.continentList), before);
  EXPECT_EQ(s.levelLimit, 3);
}

TEST(SelectionFileTest, UnstorableNamesMakeWriteFailWithoutTouchingTheFile) {
  TempDir dir;
  const std::string path = dir.file("sel");
  testsupport::writeFile(path, "old");
  auto attempt = [&](void (*spoil)(TLocationSelection&)) {
    TLocationSelection s;
    fillAlps(s);
    spoil(s);
    return s.write(path.c_str());
  };
  EXPECT_EQ(attempt([](TLocationSelection& s) { std::strcpy(s.name, "two\nlines"); }), 0);
  EXPECT_EQ(attempt([](TLocationSelection& s) { std::strcpy(s.name, "cr\r"); }), 0);
  EXPECT_EQ(attempt([](TLocationSelection& s) {
              std::strcpy(s.continentList->subList->nextEntry->subList->subList->name, "Si\non");
            }),
            0);
  EXPECT_EQ(attempt([](TLocationSelection& s) { std::strcpy(s.continentList->name, ">"); }), 0);
  EXPECT_EQ(
      attempt([](TLocationSelection& s) { std::strcpy(s.continentList->subList->name, "<"); }), 0);
  EXPECT_EQ(testsupport::readFile(path), "old");
  EXPECT_EQ(testsupport::listFolder(dir.path()), std::vector<std::string>{"sel"});

  TLocationSelection s;
  std::strcpy(s.name, "x\ny");
  EXPECT_EQ(s.write(dir.file("new").c_str()), 0);
  EXPECT_FALSE(testsupport::fileExists(dir.file("new")));
}

TEST(SelectionFileTest, WriteFailsWhereNoFileCanBeCreated) {
  TempDir dir;
  TLocationSelection s;
  testsupport::writeFile(dir.file("plain"), "x");
  EXPECT_EQ(s.write(dir.file("missing/sel").c_str()), 0);
  EXPECT_EQ(s.write(dir.file("plain/sel").c_str()), 0);  // a path through a file
  ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0700), 0);
  EXPECT_EQ(s.write(dir.file("folder").c_str()), 0);  // a folder of that name
  EXPECT_EQ(s.write(""), 0);
  EXPECT_EQ(testsupport::listFolder(dir.path()), (std::vector<std::string>{"folder", "plain"}));
  EXPECT_TRUE(testsupport::listFolder(dir.file("folder")).empty());
}

// A write that runs out of room (a file size limit, which holds for root as
// well) reports failure and leaves the old file whole.
TEST(SelectionFileTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.file("sel");
  testsupport::writeFile(path, "old contents");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    TLocationSelection s;
    TLocList** link = &s.continentList;
    for (int i = 0; i < 1000; ++i) {
      *link = new TLocList(("Place " + std::to_string(i)).c_str(), true);
      link = &(*link)->nextEntry;
    }
    _exit(s.write(path.c_str()) == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "write reported success";
  EXPECT_EQ(testsupport::readFile(path), "old contents");
  EXPECT_EQ(testsupport::listFolder(dir.path()), std::vector<std::string>{"sel"});
}

TEST(SelectionFileTest, WriteReplacesAnExistingFileKeepingItsPermissions) {
  TempDir dir;
  const std::string path = dir.file("sel");
  testsupport::writeFile(path, std::string(5000, 'z'));
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  TLocationSelection s;
  fillAlps(s);
  ASSERT_EQ(s.write(path.c_str()), 1);
  EXPECT_EQ(testsupport::readFile(path), alpsFile());
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

}  // namespace
