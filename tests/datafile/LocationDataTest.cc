#include "datafile/LocationData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "tests/support/TempDir.h"

namespace {

TEST(LocationDataTest, ConstructorClearsFirstNameBytesAndNumbersOnly) {
  alignas(LocationData) unsigned char storage[sizeof(LocationData)];
  std::memset(storage, 'x', sizeof storage);
  LocationData* d = new (storage) LocationData;
  const unsigned char* b = storage;
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[1], 'x');
  EXPECT_EQ(b[21], 0);
  EXPECT_EQ(b[22], 'x');
  EXPECT_EQ(b[52], 0);
  EXPECT_EQ(b[51], 'x');
  EXPECT_EQ(b[83], 0);
  EXPECT_EQ(b[103], 'x');
  for (int i = 104; i < 331; ++i) EXPECT_EQ(b[i], 0) << "byte " << i;
  d->~LocationData();
}

TEST(LocationDataTest, FieldsAreLittleEndianAtTheirOffsets) {
  LocationData d;
  d.level = -3;
  d.latitude = 1.0f;  // 0x3f800000
  d.auxValue = 0x1234;
  d.seriesC[11] = -2;
  d.seriesE[11] = -1.0f;  // 0xbf800000
  const unsigned char* b = reinterpret_cast<const unsigned char*>(&d);
  EXPECT_EQ(b[104], 0xfd);
  EXPECT_EQ(b[105], 0x00);
  EXPECT_EQ(b[108], 0x3f);
  EXPECT_EQ(b[107], 0x80);
  EXPECT_EQ(b[113], 0x34);
  EXPECT_EQ(b[114], 0x12);
  EXPECT_EQ(b[233], 0xfe);
  EXPECT_EQ(b[234], 0xff);
  EXPECT_EQ(b[330], 0xbf);
  EXPECT_EQ(b[329], 0x80);
}

TEST(LocationDataTest, RoundTripThroughFileKeepsEveryByte) {
  testsupport::TempDir dir;
  LocationData d;
  unsigned char* b = reinterpret_cast<unsigned char*>(&d);
  for (int i = 0; i < 331; ++i) b[i] = static_cast<unsigned char>(i * 7 + 3);
  std::strcpy(d.name, "Oslo");  // bytes after the terminator stay as they were
  std::string path = dir.file("one.bmt");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&d), sizeof d);
  }
  std::string bytes = testsupport::readFile(path);
  ASSERT_EQ(bytes.size(), 331u);
  LocationData back;
  std::memcpy(&back, bytes.data(), sizeof back);
  EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0);
}

TEST(LocationDataTest, FieldTextStopsAtTerminatorOrFieldEnd) {
  LocationData d;
  std::strcpy(d.name, "12345678901234567890");  // 20 characters fill the field
  EXPECT_EQ(d.name[20], '\0');
  EXPECT_EQ(fieldText(d.name), "12345678901234567890");
  std::memset(d.state, 'S', sizeof d.state);  // no terminator at all
  EXPECT_EQ(fieldText(d.state), std::string(31, 'S'));
  d.country[0] = '\0';
  EXPECT_EQ(fieldText(d.country), "");
}

}  // namespace
