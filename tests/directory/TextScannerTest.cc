#include "directory/TextScanner.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "directory/FileBuffer.h"
#include "platform/File.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kLines = "abc\r\n" + std::string(600, 'x') + "\r\n" + "ab\rcd\n" + "1234\r\nlast";

void expectLines(TextScanner& s) {
  std::string line;
  ASSERT_TRUE(s.readLine(&line, 20));
  EXPECT_EQ(line, "abc");
  ASSERT_TRUE(s.readLine(&line, 300));  // longer than the kept part: cut, rest skipped
  EXPECT_EQ(line, std::string(300, 'x'));
  ASSERT_TRUE(s.readLine(&line, 20));
  EXPECT_EQ(line, "ab\rcd");
  ASSERT_TRUE(s.readLine(&line, 4));  // the CR falls outside the kept part
  EXPECT_EQ(line, "1234");
  ASSERT_TRUE(s.readLine(&line, 20));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(s.readLine(&line, 20));
}

TEST(TextScannerTest, LinesKeepTheirStartAndLoseOnlyAFinalCr) {
  std::stringbuf in(kLines);
  TextScanner s(&in);
  expectLines(s);
}

// A file's buffer is scanned a block at a time: lines that cross blocks
// read as from any other stream.
TEST(TextScannerTest, LinesAcrossTheBlocksOfAFile) {
  testsupport::TempDir dir;
  std::string path = dir.file("lines");
  std::ofstream(path, std::ios::binary) << kLines;
  for (std::size_t block : {1, 2, 3, 7, 4096}) {
    platform::File file;
    ASSERT_TRUE(file.open(path, platform::File::kReadOnly));
    FileBuffer buffer(&file, block);
    TextScanner s(&buffer);
    expectLines(s);
  }
  platform::File file;
  ASSERT_TRUE(file.open(path, platform::File::kReadOnly));
  FileBuffer buffer(&file, 5);
  TextScanner s(&buffer);
  s.skipLine();
  s.skipLine();
  std::string line;
  ASSERT_TRUE(s.readLine(&line, 20));
  EXPECT_EQ(line, "ab\rcd");
}

TEST(TextScannerTest, IntegersWithTheirLimits) {
  std::stringbuf in("\n\n  +12 x\n-9223372036854775808\n9223372036854775808\n- 1\n");
  TextScanner s(&in);
  long long v = 0;
  ASSERT_TRUE(s.readInteger(&v));
  EXPECT_EQ(v, 12);
  EXPECT_FALSE(s.readIntegerOnLine(&v));  // "x"
  s.skipLine();
  ASSERT_TRUE(s.readInteger(&v));
  EXPECT_EQ(v, LLONG_MIN);
  EXPECT_FALSE(s.readInteger(&v));  // one past the largest
  s.skipLine();
  EXPECT_FALSE(s.readInteger(&v));  // a sign alone

  std::stringbuf line("1 2\n3");
  TextScanner t(&line);
  ASSERT_TRUE(t.readIntegerOnLine(&v));
  ASSERT_TRUE(t.readIntegerOnLine(&v));
  EXPECT_FALSE(t.readIntegerOnLine(&v));  // the line ends before a third
}

TEST(TextScannerTest, NumbersLinesAsScanfReadsThem) {
  float lat = 0;
  float lon = 0;
  int level = 0;
  long index = 0;
  auto parse = [&](const std::string& text) {
    return TextScanner::parseNumbers(text.data(), text.data() + text.size(), &lat, &lon, &level,
                                     &index);
  };
  ASSERT_TRUE(parse(" -33.87\t+151.21 -1 12 and more"));
  EXPECT_FLOAT_EQ(lat, -33.87f);
  EXPECT_FLOAT_EQ(lon, 151.21f);
  EXPECT_EQ(level, -1);
  EXPECT_EQ(index, 12);
  ASSERT_TRUE(parse("1.5-2.5 3 4"));  // no blank needed between numbers
  EXPECT_FLOAT_EQ(lon, -2.5f);
  ASSERT_TRUE(parse("nan -inf 0 0"));
  EXPECT_TRUE(std::isnan(lat));
  EXPECT_TRUE(std::isinf(lon));
  EXPECT_FALSE(parse("1 2 3"));
  EXPECT_FALSE(parse("1 2 3 x"));
  EXPECT_FALSE(parse("1e999 2 3 4"));
  EXPECT_FALSE(parse("1 2 2147483648 4"));
  EXPECT_FALSE(parse("+-1 2 3 4"));
  EXPECT_FALSE(parse(""));
}

}  // namespace
