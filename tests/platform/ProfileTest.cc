#include "platform/Profile.h"

#include <string>

#include "gtest/gtest.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

class ProfileTest : public ::testing::Test {
 protected:
  std::string read(const char* section, const char* key, const char* def = "DEF",
                   std::size_t size = 260) {
    std::string out(size + 1, '#');
    std::size_t n = getPrivateProfileString(section, key, def, &out[0], size, name_.c_str());
    EXPECT_EQ(out.c_str(), out.substr(0, n)) << "count and terminator disagree";
    return out.substr(0, n);
  }
  void write(const std::string& text) { testsupport::writeFile(name_, text); }

  testsupport::TempDir dir_;
  std::string name_ = dir_.file("ORVANE.INI");
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ("DEF", read("Files", "MetDataFile"));
  EXPECT_EQ("", read("Files", "MetDataFile", nullptr));
  write("[Files]\nMetDataFile=x.bmt\n");
  EXPECT_EQ("DEF", read("Directories", "HomeDir"));
  EXPECT_EQ("DEF", read("Files", "Other"));
  EXPECT_EQ("x.bmt", read("Files", "MetDataFile"));
}

TEST_F(ProfileTest, EmptyValueIsNotMissing) {
  write("[Directories]\nHomeDir=\nOther =   \n");
  EXPECT_EQ("", read("Directories", "HomeDir"));
  EXPECT_EQ("", read("Directories", "Other"));
}

TEST_F(ProfileTest, TrimsQuotesCommentsAndLineEnds) {
  write(
      "; leading comment\r\n"
      "  [Directories]  \r\n"
      "  ; HomeDir=commented\r\n"
      "no equals sign here\r\n"
      "\tHomeDir \t=  D:\\met dir  \r\n"
      "Quoted=\"  spaced  \"\r\n"
      "Half=\"open\r\n");
  EXPECT_EQ("D:\\met dir", read("Directories", "HomeDir"));
  EXPECT_EQ("  spaced  ", read("Directories", "Quoted"));
  EXPECT_EQ("\"open", read("Directories", "Half"));
  EXPECT_EQ("DEF", read("Directories", "no equals sign here"));
}

TEST_F(ProfileTest, MatchesIgnoringCaseAndFirstMatchWins) {
  write(
      "[files]\nMETDATAFILE=first\nmetdatafile=second\n"
      "[Other]\nKey=other\n"
      "[FILES]\nMetDataFile=third\nOnlyHere=late\n");
  EXPECT_EQ("first", read("Files", "MetDataFile"));
  EXPECT_EQ("other", read("OTHER", "key"));
  EXPECT_EQ("DEF", read("Files", "OnlyHere"));  // only the first such section counts
}

TEST_F(ProfileTest, CutsToTheCallersBuffer) {
  std::string longValue(300, 'v');
  write("[Files]\nMetDataFile=" + longValue + "\n");
  EXPECT_EQ(longValue.substr(0, 259), read("Files", "MetDataFile"));
  EXPECT_EQ("", read("Files", "MetDataFile", "DEF", 1));
  EXPECT_EQ("vvv", read("Files", "MetDataFile", "DEF", 4));
  EXPECT_EQ("DE", read("Files", "Missing", "DEF", 3));
  EXPECT_EQ(0u, getPrivateProfileString("Files", "MetDataFile", "", nullptr, 0, name_.c_str()));
}

TEST_F(ProfileTest, SurvivesBinaryAndLastLineWithoutLineEnd) {
  std::string junk;
  for (int i = 0; i < 200000; ++i) junk += static_cast<char>(i * 7919 % 256);
  write(junk + "\n[Files]\nMetDataFile=found");
  EXPECT_EQ("found", read("Files", "MetDataFile"));
  const char withNul[] = "[Files]\nMetDataFile\0X=bad\nMetDataFile=good\n";
  write(std::string(withNul, sizeof withNul - 1));
  EXPECT_EQ("good", read("Files", "MetDataFile"));
}

}  // namespace
}  // namespace platform
