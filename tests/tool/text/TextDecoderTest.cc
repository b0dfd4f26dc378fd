#include "tool/text/TextDecoder.h"

#include <gtest/gtest.h>

#include <istream>
#include <iterator>
#include <sstream>
#include <string>

#include "tool/Error.h"

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

// All that a decoder of encoding delivers from bytes, and its fault.
std::string decode(const std::string& bytes, const std::string& encoding, std::string* fault) {
  std::istringstream source(bytes);
  text::TextDecoder decoder(source.rdbuf(), encoding);
  std::istream in(&decoder);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  *fault = decoder.fault();
  return text;
}

TEST(TextDecoderTest, ConvertsLongTextAcrossItsChunks) {
  // Latin-1 "Zürich;" many times over: more than one chunk of the source.
  std::string latin1, utf8;
  for (int i = 0; i < 40000; ++i) {
    latin1 += "Z\xFCrich;";
    utf8 += "Z\xC3\xBCrich;";
  }
  std::string fault;
  EXPECT_EQ(decode(latin1, "latin1", &fault), utf8);
  EXPECT_EQ(fault, "");

  // UTF-16 with a byte order mark, and a character beyond U+FFFF whose
  // surrogate pair spans the end of the first 64 KiB read of the source.
  std::string utf16 = "\xFF\xFE", expected;
  for (int i = 0; i < 32766; ++i) {
    utf16 += std::string("a\0", 2);
    expected += "a";
  }
  utf16 += std::string(
      "\x3D\xD8\x00\xDE"
      "b\0",
      6);
  expected +=
      "\xF0\x9F\x98\x80"
      "b";
  EXPECT_EQ(decode(utf16, "utf-16", &fault), expected);
  EXPECT_EQ(fault, "");
}

TEST(TextDecoderTest, StopsBeforeBytesThatAreNoTextAndNamesThem) {
  std::string fault;
  EXPECT_EQ(decode("abc\x81"
                   "def",
                   "us-ascii", &fault),
            "abc");
  EXPECT_EQ(fault, "byte 0x81 is not us-ascii text");
  EXPECT_EQ(decode("ab\xE6\x9D", "utf-8", &fault), "ab");
  EXPECT_EQ(fault, "the text ends inside a utf-8 character (0xE6 0x9D)");

  EXPECT_TRUE(text::TextDecoder::knows("windows-1252"));
  EXPECT_FALSE(text::TextDecoder::knows("no-such-set"));
  EXPECT_FALSE(text::TextDecoder::knows(""));
  std::istringstream source("x");
  EXPECT_THROW(text::TextDecoder(source.rdbuf(), "no-such-set"), Error);
}

}  // namespace
