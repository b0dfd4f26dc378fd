#include "tool/record/CsvReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

// Every record of text; stops after a fatal one.
std::vector<CsvRecord> readAll(const std::string& text) {
  std::istringstream in(text);
  CsvReader reader(in);
  std::vector<CsvRecord> records;
  CsvRecord r;
  while (reader.next(&r)) records.push_back(r);
  return records;
}

using Fields = std::vector<std::string>;

TEST(CsvReaderTest, QuotedFieldsHoldCommasQuotesAndLineBreaks) {
  auto records = readAll(
      "a,\"b,c\",\"say \"\"hi\"\"\"\n"
      "\"two\nlines\",\"\",x\n"
      "last,\"cr\r\nlf\",y\n"
      "after,z,w\n");
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].fields, (Fields{"a", "b,c", "say \"hi\""}));
  EXPECT_EQ(records[1].fields, (Fields{"two\nlines", "", "x"}));
  EXPECT_EQ(records[2].fields, (Fields{"last", "cr\r\nlf", "y"}));
  // Line numbers are physical: each quoted line break pushes later records down.
  EXPECT_EQ(records[0].line, 1);
  EXPECT_EQ(records[1].line, 2);
  EXPECT_EQ(records[2].line, 4);
  EXPECT_EQ(records[3].line, 6);
  for (const auto& r : records) EXPECT_TRUE(r.error.empty()) << r.error;
}

TEST(CsvReaderTest, LineEndsOfEveryKindAndBlankLines) {
  auto records = readAll("a,b\r\nc,d\ne,f\rg,h\r\n\r\n\n,\ni,j");
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[0].fields, (Fields{"a", "b"}));
  EXPECT_EQ(records[1].fields, (Fields{"c", "d"}));
  EXPECT_EQ(records[2].fields, (Fields{"e", "f"}));
  EXPECT_EQ(records[3].fields, (Fields{"g", "h"}));
  EXPECT_EQ(records[4].fields, (Fields{"", ""}));  // a lone comma is a record
  EXPECT_EQ(records[4].line, 7);
  EXPECT_EQ(records[5].fields, (Fields{"i", "j"}));  // no line end at the end
  EXPECT_EQ(records[5].line, 8);
}

TEST(CsvReaderTest, ByteOrderMarkIsSkippedOnlyAtTheStart) {
  auto records = readAll("\xEF\xBB\xBFname,x\n\xEF\xBB\xBFy,z\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].fields[0], "name");
  EXPECT_EQ(records[1].fields[0], "\xEF\xBB\xBFy");
  // A partial mark is text.
  records = readAll("\xEF\xBBx,y\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].fields, (Fields{"\xEF\xBBx", "y"}));
}

TEST(CsvReaderTest, EmptyInputHasNoRecords) {
  EXPECT_TRUE(readAll("").empty());
  EXPECT_TRUE(readAll("\n\r\n").empty());
  EXPECT_TRUE(readAll("\xEF\xBB\xBF").empty());
}

TEST(CsvReaderTest, QuoteInsideUnquotedFieldIsText) {
  auto records = readAll("O\"Brien,5\"\n");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].fields, (Fields{"O\"Brien", "5\""}));
  EXPECT_TRUE(records[0].error.empty());
}

TEST(CsvReaderTest, TextAfterClosingQuoteFaultsOnlyItsRecord) {
  auto records = readAll("a,\"b\"junk,c\nd,e,f\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_FALSE(records[0].error.empty());
  EXPECT_FALSE(records[0].fatal);
  EXPECT_EQ(records[0].errorField, 1u);
  EXPECT_EQ(records[0].fields, (Fields{"a", "bjunk", "c"}));
  EXPECT_TRUE(records[1].error.empty());
  EXPECT_EQ(records[1].fields, (Fields{"d", "e", "f"}));
}

TEST(CsvReaderTest, UnclosedQuoteIsFatalAndNamesItsLine) {
  auto records = readAll("a,b\nc,\"open\nmore\nstill\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[1].fatal);
  EXPECT_EQ(records[1].line, 2);
  EXPECT_EQ(records[1].errorField, 1u);
  EXPECT_NE(records[1].error.find("line 2"), std::string::npos) << records[1].error;
}

}  // namespace
