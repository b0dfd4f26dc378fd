#include "platform/DosTime.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "gtest/gtest.h"
#include "platform/FileHandle.h"
#include "tests/support/TempDir.h"

namespace platform {
namespace {

constexpr std::time_t k2000Noon = 946729810;  // 2000-01-01 12:30:10 UTC
constexpr std::uint32_t k1980Packed = (1u << 21) | (1u << 16);

TEST(DosTimeTest, PacksInUtcAndClampsOutsideTheRange) {
  EXPECT_EQ(673276869u, packDosTime(k2000Noon));
  EXPECT_EQ(673276869u, packDosTime(k2000Noon + 1));  // two-second resolution
  EXPECT_EQ(k1980Packed, packDosTime(315532800));     // 1980-01-01 00:00:00
  EXPECT_EQ(k1980Packed, packDosTime(0));
  EXPECT_EQ(k1980Packed, packDosTime(-86400));
  const std::uint32_t latest = packDosTime(4354819199);  // 2107-12-31 23:59:59
  EXPECT_EQ(127u, latest >> 25);
  EXPECT_EQ(latest, packDosTime(4354819200));  // 2108
  EXPECT_EQ(latest, packDosTime(LLONG_MAX));
}

TEST(DosTimeTest, LaterMomentsPackGreaterAcrossAYear) {
  std::uint32_t previous = packDosTime(1609459200 - 1);  // the end of 2020
  for (std::time_t t = 1609459200; t < 1609459200 + 366 * 86400; t += 3607) {
    std::uint32_t now = packDosTime(t);
    ASSERT_GT(now, previous) << "at " << t;
    previous = now;
  }
}

TEST(FileHandleTest, GivesLengthAndModificationStamp) {
  testsupport::TempDir dir;
  std::string name = dir.file("data");
  testsupport::writeFile(name, "12345");
  struct timespec times[2] = {{k2000Noon, 0}, {k2000Noon, 0}};
  ASSERT_EQ(0, utimensat(AT_FDCWD, name.c_str(), times, 0));

  FileHandle handle(name.c_str());
  ASSERT_TRUE(handle.valid());
  EXPECT_EQ(5, handle.length());
  EXPECT_EQ(673276869u, handle.getftime());
  handle.close();
  EXPECT_EQ(0u, handle.getftime());

  FileHandle missing(dir.file("missing").c_str());
  EXPECT_FALSE(missing.valid());
  EXPECT_EQ(-1, missing.length());
  EXPECT_EQ(0u, missing.getftime());
}

TEST(FileHandleTest, OpensAFifoWithoutBlocking) {
  testsupport::TempDir dir;
  std::string name = dir.file("fifo");
  ASSERT_EQ(0, mkfifo(name.c_str(), 0600));
  FileHandle handle(name.c_str());
  EXPECT_TRUE(handle.valid());
  EXPECT_EQ(-1, handle.length());
}

}  // namespace
}  // namespace platform
