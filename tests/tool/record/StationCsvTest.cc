#include "tool/record/StationCsv.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

using namespace metdb;  // NOLINT: the tool's library, under test

namespace {

const char kHeader[] = "name,state,country,continent,level,latitude,longitude\n";

StationCsvResult parseText(const std::string& text,
                           StationCsv::Mode mode = StationCsv::Mode::kStopAtFirstError) {
  std::istringstream in(text);
  return StationCsv::parse(in, mode);
}

// The only error of a list with one faulty row, as a sentence.
std::string onlyError(const std::string& text) {
  StationCsvResult r = parseText(text);
  if (r.errors.size() != 1) return "expected one error, got " + std::to_string(r.errors.size());
  return r.errors[0].describe("s.csv");
}

// A record whose unused name bytes are zero, as parse makes them.
LocationData cleanRecord(const char* name, const char* state, const char* country,
                         const char* continent) {
  LocationData d;
  std::memset(d.name, 0, sizeof d.name);
  std::memset(d.state, 0, sizeof d.state);
  std::memset(d.country, 0, sizeof d.country);
  std::memset(d.continent, 0, sizeof d.continent);
  std::strcpy(d.name, name);
  std::strcpy(d.state, state);
  std::strcpy(d.country, country);
  std::strcpy(d.continent, continent);
  return d;
}

// The record is packed, so its numbers are read as values (unary +): gtest's
// macros would otherwise bind references to misaligned members.

TEST(StationCsvTest, ReadsRowsIntoCleanRecords) {
  StationCsvResult r =
      parseText(std::string(kHeader) + "Bergen,Hordaland,Norway,Europe,2,60.3913,5.3221\n" +
                "Lund,Skane,Sweden,Europe,-1,55.7047,13.191\n");
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("");
  EXPECT_FALSE(r.fatal);
  EXPECT_TRUE(r.warnings.empty());
  ASSERT_EQ(r.rows.size(), 2u);
  const LocationData& b = r.rows[0].record;
  EXPECT_EQ(r.rows[0].line, 2);
  EXPECT_EQ(r.rows[1].line, 3);
  EXPECT_STREQ(b.name, "Bergen");
  EXPECT_STREQ(b.state, "Hordaland");
  EXPECT_STREQ(b.country, "Norway");
  EXPECT_STREQ(b.continent, "Europe");
  EXPECT_EQ(b.level, 2);
  EXPECT_FLOAT_EQ(+b.latitude, 60.3913f);
  EXPECT_FLOAT_EQ(+b.longitude, 5.3221f);
  EXPECT_EQ(+b.auxValue, 0);
  EXPECT_EQ(r.rows[1].record.level, -1);
  LocationData expected = cleanRecord("Bergen", "Hordaland", "Norway", "Europe");
  expected.level = 2;
  expected.latitude = 60.3913f;
  expected.longitude = 5.3221f;
  EXPECT_EQ(std::memcmp(&b, &expected, sizeof b), 0);
}

TEST(StationCsvTest, HeaderInAnyOrderAndCaseWithOptionalColumns) {
  StationCsvResult r = parseText(
      "\xEF\xBB\xBF LONGITUDE ,Latitude,seriesc5,AuxValue,Level,Continent,Country,State,Name,"
      "SeriesA12\r\n"
      "-70.65,-33.45,-7,1234,3,South America,Chile,Santiago,Santiago,21.5\r\n");
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("");
  ASSERT_EQ(r.rows.size(), 1u);
  const LocationData& d = r.rows[0].record;
  EXPECT_STREQ(d.name, "Santiago");
  EXPECT_STREQ(d.continent, "South America");
  EXPECT_EQ(d.level, 3);
  EXPECT_FLOAT_EQ(+d.latitude, -33.45f);
  EXPECT_FLOAT_EQ(+d.longitude, -70.65f);
  EXPECT_EQ(+d.auxValue, 1234);
  EXPECT_EQ(+d.seriesC[4], -7);
  EXPECT_FLOAT_EQ(+d.seriesA[11], 21.5f);
  EXPECT_EQ(+d.seriesC[3], 0);
  EXPECT_EQ(+d.seriesA[0], 0.0f);
}

TEST(StationCsvTest, QuotedNamesAndIgnoredColumnsSpanningLines) {
  StationCsvResult r = parseText(
      "name,notes,state,country,continent,level,latitude,longitude,remark\n"
      "\"Washington, D.C.\",\"first\nsecond\nthird\",District of Columbia,United States,"
      "North America,1,38.9,-77.04,x\n"
      "\"The \"\"Big\"\" Apple\",,New York,United States,North America,1,40.71,-74.01,\n");
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("");
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_STREQ(r.rows[0].record.name, "Washington, D.C.");
  EXPECT_STREQ(r.rows[1].record.name, "The \"Big\" Apple");
  EXPECT_EQ(r.rows[1].line, 5);
  // One warning for all unknown columns, on the header's line.
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0].line, 1);
  EXPECT_NE(r.warnings[0].message.find("\"notes\" and \"remark\""), std::string::npos)
      << r.warnings[0].message;
}

TEST(StationCsvTest, FaultsOfTheWholeFile) {
  StationCsvResult r = parseText("");
  EXPECT_TRUE(r.fatal);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_NE(r.errors[0].message.find("empty"), std::string::npos);
  r = parseText("\xEF\xBB\xBF\r\n\n");
  EXPECT_TRUE(r.fatal);

  EXPECT_EQ(onlyError("\nname,state,country,continent,level\nA,B,C,D,1\n"),
            "s.csv, line 2: the header lacks the columns \"latitude\" and \"longitude\".");
  r = parseText("name,state,country,continent,level,latitude,longitude,Name\n");
  EXPECT_TRUE(r.fatal);
  EXPECT_EQ(r.errors[0].column, "Name");

  // The level may be left out, as "metdb add" leaves it: it is 1.
  r = parseText("name,state,country,continent,latitude,longitude\nA,B,C,D,1,2\n");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.rows[0].record.level, 1);

  // A header alone is a good, empty list.
  r = parseText(kHeader);
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.rows.empty());

  // An unclosed quote ends the list, even when bad rows are skipped.
  r = parseText(std::string(kHeader) + "A,B,C,D,1,0,0\n\"open,B,C,D,1,0,0\nE,F,G,H,1,0,0\n",
                StationCsv::Mode::kSkipBadRows);
  EXPECT_TRUE(r.fatal);
  EXPECT_EQ(r.rows.size(), 1u);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].line, 3);
  EXPECT_EQ(r.errors[0].column, "name");
}

TEST(StationCsvTest, RowFaultsNameLineAndColumn) {
  std::string h = kHeader;
  EXPECT_EQ(onlyError(h + "A,B,C,D,1,0\n"),
            "s.csv, line 2, column \"longitude\": the row ends before this column (it has 6 "
            "fields, the header 7).");
  EXPECT_NE(onlyError(h + "A,B,C,D,1,0,0,extra\n").find("line 2: the row has 8 fields"),
            std::string::npos);
  EXPECT_EQ(onlyError(h + "A,B,C,D,1,9x,0\n"),
            "s.csv, line 2, column \"latitude\": \"9x\" does not parse as a number.");
  EXPECT_EQ(onlyError(h + "A,B,C,D,1.5,0,0\n"),
            "s.csv, line 2, column \"level\": \"1.5\" does not parse as a whole number.");
  EXPECT_EQ(onlyError(h + "A,B,C,D,1, ,0\n"),
            "s.csv, line 2, column \"latitude\": the field is empty.");
  EXPECT_EQ(onlyError(h + ",B,C,D,1,0,0\n"), "s.csv, line 2, column \"name\": the field is empty.");
  EXPECT_NE(onlyError(h + "\"A\"x,B,C,D,1,0,0\n").find("text after its closing quote"),
            std::string::npos);
  EXPECT_NE(onlyError(h + "\"two\nlines\",B,C,D,1,0,0\n").find("control character"),
            std::string::npos);
  EXPECT_NE(onlyError(h + "A,B,C\tx,D,1,0,0\n").find("column \"country\""), std::string::npos);
}

TEST(StationCsvTest, NonFiniteAndOddNumbersDoNotParse) {
  const char* bad[] = {"nan", "NaN", "-nan", "inf", "-inf", "Infinity", "0x10",
                       "1,5", "--1", "+-1",  "1e",  "e5",   "1 2",      "."};
  for (const char* text : bad) {
    std::string value = text;
    if (value.find(',') != std::string::npos) value = "\"" + value + "\"";
    std::string error = onlyError(std::string(kHeader) + "A,B,C,D,1,0," + value + "\n");
    EXPECT_NE(error.find("does not parse as a number"), std::string::npos) << text << ": " << error;
  }
  // Optional float columns refuse them as well, and values beyond a float.
  std::string h = "name,state,country,continent,level,latitude,longitude,seriesB3\n";
  EXPECT_NE(onlyError(h + "A,B,C,D,1,0,0,inf\n").find("column \"seriesB3\": \"inf\" does not"),
            std::string::npos);
  EXPECT_NE(onlyError(h + "A,B,C,D,1,0,0,1e39\n").find("32-bit float"), std::string::npos);
  // Blanks, a plus sign and exponents are fine; an empty optional value is 0.
  StationCsvResult r = parseText(h + "A,B,C,D, +7 ,+4.5e1,-1.5E+2,\n");
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("");
  EXPECT_EQ(r.rows[0].record.level, 7);
  EXPECT_EQ(+r.rows[0].record.latitude, 45.0f);
  EXPECT_EQ(+r.rows[0].record.longitude, -150.0f);
  EXPECT_EQ(+r.rows[0].record.seriesB[2], 0.0f);
}

TEST(StationCsvTest, RangesAreCheckedAtTheirBounds) {
  std::string h = "name,state,country,continent,level,latitude,longitude,auxValue,seriesC12\n";
  StationCsvResult r =
      parseText(h + "A,B,C,D,-128,-90,-180,-32768,-32768\n" + "A,B,C,D,127,90,180,32767,32767\n");
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("");
  EXPECT_EQ(r.rows[0].record.level, -128);
  EXPECT_EQ(+r.rows[0].record.auxValue, -32768);
  EXPECT_EQ(+r.rows[1].record.seriesC[11], 32767);
  EXPECT_EQ(+r.rows[1].record.longitude, 180.0f);

  struct Case {
    const char* row;
    const char* expected;
  } cases[] = {
      {"A,B,C,D,0,90.5,0,0,0", "column \"latitude\": \"90.5\" is outside -90..90"},
      {"A,B,C,D,0,-91,0,0,0", "column \"latitude\": \"-91\" is outside -90..90"},
      {"A,B,C,D,0,0,180.01,0,0", "column \"longitude\": \"180.01\" is outside -180..180"},
      {"A,B,C,D,128,0,0,0,0", "column \"level\": \"128\" is outside -128..127"},
      {"A,B,C,D,-129,0,0,0,0", "column \"level\": \"-129\" is outside -128..127"},
      {"A,B,C,D,0,0,0,32768,0", "column \"auxValue\": \"32768\" is outside -32768..32767"},
      {"A,B,C,D,0,0,0,0,-32769", "column \"seriesC12\": \"-32769\" is outside -32768..32767"},
      {"A,B,C,D,99999999999999999999,0,0,0,0",
       "column \"level\": \"99999999999999999999\" is outside -128..127"},
  };
  for (const Case& c : cases) {
    std::string error = onlyError(h + c.row + "\n");
    EXPECT_NE(error.find(std::string("line 2, ") + c.expected), std::string::npos)
        << c.row << ": " << error;
  }
}

TEST(StationCsvTest, LongNamesAreCutAtCharacterBoundariesWithAWarning) {
  // 19 ASCII bytes and a two-byte "é": 21 bytes, one too many for name.
  std::string name = "Aaaaaaaaaaaaaaaaaaa\xC3\xA9";
  // 28 ASCII bytes and a three-byte "€": 31 bytes for a 30-byte state.
  std::string state = std::string(28, 's') + "\xE2\x82\xAC";
  std::string exactCountry(30, 'c');
  StationCsvResult r =
      parseText(std::string(kHeader) + name + "," + state + "," + exactCountry + ",Europe,1,0,0\n");
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(fieldText(r.rows[0].record.name), name.substr(0, 19));
  EXPECT_EQ(fieldText(r.rows[0].record.state), std::string(28, 's'));
  EXPECT_EQ(fieldText(r.rows[0].record.country), exactCountry);
  ASSERT_EQ(r.warnings.size(), 2u);
  EXPECT_EQ(r.warnings[0].line, 2);
  EXPECT_EQ(r.warnings[0].column, "name");
  EXPECT_NE(r.warnings[0].message.find("longer than 20 bytes"), std::string::npos);
  EXPECT_EQ(r.warnings[1].column, "state");

  // A name of exactly 20 bytes that ends in a multi-byte character stays whole.
  std::string fits = std::string(18, 'n') + "\xC3\xA9";
  r = parseText(std::string(kHeader) + fits + ",S,C,Europe,1,0,0\n");
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r.warnings.empty());
  EXPECT_EQ(fieldText(r.rows[0].record.name), fits);

  // A complete character just before the cut is kept.
  std::string whole = std::string(18, 'w') + "\xC3\xA9" + "xyz";
  r = parseText(std::string(kHeader) + whole + ",S,C,Europe,1,0,0\n");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(fieldText(r.rows[0].record.name), whole.substr(0, 20));
}

TEST(StationCsvTest, StopAtFirstErrorAndSkipBadRows) {
  std::string text = std::string(kHeader) +
                     "Good1,B,C,D,1,0,0\n"
                     "Bad1 with a name too long,B,C,D,1,north,0\n"
                     "Good2,B,C,D,1,0,0\n"
                     "\"Bad\n2\",B,C,D,1,0,0\n"
                     "Good3,B,C,D,1,0,0\n";
  StationCsvResult r = parseText(text);
  EXPECT_FALSE(r.ok());
  EXPECT_FALSE(r.fatal);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].line, 3);
  EXPECT_EQ(r.rows.size(), 1u);

  r = parseText(text, StationCsv::Mode::kSkipBadRows);
  EXPECT_FALSE(r.fatal);
  EXPECT_TRUE(r.warnings.empty());  // the skipped row's cut name is not reported
  ASSERT_EQ(r.errors.size(), 2u);
  EXPECT_EQ(r.errors[0].line, 3);
  EXPECT_EQ(r.errors[1].line, 5);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_STREQ(r.rows[2].record.name, "Good3");
  EXPECT_EQ(r.rows[2].line, 7);
}

TEST(StationCsvTest, BytesThatAreNotUtf8AreFaultsWithTheirLineAndColumn) {
  std::string h = kHeader;
  EXPECT_EQ(onlyError(h + "Oslo,Oslo,Norway,Europe,1,0,0\nZ\xFCrich,ZH,Switzerland,Europe,1,0,0\n"),
            "s.csv, line 3, column \"name\": the field is not UTF-8 (its byte 2 is 0xFC); give "
            "the file's character set with --encoding, such as --encoding latin1.");

  // Read in a character set, the list's text is converted; bytes that are
  // no text in it end the list where they stand.
  StationCsv::Options options;
  options.encoding = "us-ascii";
  options.mode = StationCsv::Mode::kSkipBadRows;
  std::istringstream in(h + "A,B,C,D,1,0,0\n\"two\nlines\",B,C\x81,D,1,0,0\nE,F,G,H,1,0,0\n");
  StationCsvResult r = StationCsv::parse(in, options);
  EXPECT_TRUE(r.fatal);
  EXPECT_EQ(r.rows.size(), 1u);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].describe("s.csv"),
            "s.csv, line 4, column \"country\": byte 0x81 is not us-ascii text.");
}

TEST(StationCsvTest, TheDelimiterIsTheOneThatSplitsTheHeaderIntoKnownColumns) {
  // Semicolons, with a comma inside a quoted column name.
  StationCsvResult r = parseText(
      "name;state;country;continent;latitude;longitude;\"note, free\"\n"
      "Z\xC3\xBCrich;ZH;Switzerland;Europe;47.37;8.54;\"a, b\"\n");
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(+r.rows[0].record.longitude, 8.54f);
  // Both outside quotes: the commas split it into more known names.
  r = parseText("name,state,country,continent,latitude,longitude;x\nA,B,C,D,1,2;3\n");
  ASSERT_FALSE(r.ok());
  EXPECT_NE(r.errors[0].message.find("lacks the column \"longitude\""), std::string::npos);

  StationCsv::Options options;
  options.delimiter = ',';
  std::istringstream in("name;state;country;continent;latitude;longitude\n");
  r = StationCsv::parse(in, options);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_NE(r.errors[0].message.find("(it holds semicolons: give --delimiter ';' if they "
                                     "separate its columns)"),
            std::string::npos)
      << r.errors[0].message;
}

TEST(StationCsvTest, RowsRepeatingAnEarlierRowAreLeftOutWithAWarning) {
  std::string text = std::string(kHeader) +
                     "Oslo,Oslo,Norway,Europe,1,59.9,0\n"
                     "Oslo,Oslo,Norway,Europe,2,59.9,0\n"    // another level
                     "OSLO,oslo,NORWAY,europe,1,59.90,-0\n"  // the same as line 2
                     "Oslo,Oslo,Norway,Europe,1,59.9,0\n";   // and again
  StationCsvResult r = parseText(text);
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("");
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[1].line, 3);
  EXPECT_EQ(r.duplicateRows, 2);
  // One warning tells them all, as every other warning does.
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0].describe("s.csv"),
            "s.csv, line 4: this row repeats line 2 (the same name, state, country, continent, "
            "level, latitude and longitude) and is left out, as is 1 more row that repeats an "
            "earlier one (\"metdb validate --repeats\" with the same options lists them all).");
  EXPECT_EQ(r.repeatedLines, (std::vector<std::pair<long, long>>{{4, 2}, {5, 2}}));

  StationCsv::Options options;
  options.keepDuplicates = true;
  std::istringstream in(text);
  r = StationCsv::parse(in, options);
  EXPECT_EQ(r.rows.size(), 4u);
  EXPECT_TRUE(r.warnings.empty());
}

TEST(StationCsvTest, WriterRoundTripsEveryField) {
  std::vector<LocationData> records;
  LocationData a =
      cleanRecord("Washington, D.C.", "District of Columbia", "United States", "North America");
  a.level = -128;
  a.latitude = 38.9072f;
  a.longitude = -77.0369f;
  a.auxValue = -32768;
  for (int m = 0; m < 12; ++m) {
    a.seriesA[m] = 0.1f * static_cast<float>(m) - 0.55f;
    a.seriesB[m] = m % 2 ? FLT_MAX : -FLT_MIN;
    a.seriesC[m] = static_cast<std::int16_t>(m * 3000 - 16000);
    a.seriesD[m] = m % 3 ? 1e-40f : -0.0f;  // a subnormal and a negative zero
    a.seriesE[m] = 1.0f / 3.0f + static_cast<float>(m);
  }
  records.push_back(a);
  records.push_back(cleanRecord("The \"Big\" Apple", " padded ", "Côte d'Ivoire", "Africa"));
  records.push_back(cleanRecord("x", "", "y", "z"));
  records.back().level = 127;
  records.back().latitude = -90.0f;
  records.back().longitude = 180.0f;

  std::ostringstream out;
  StationCsv::write(out, records);
  std::istringstream in(out.str());
  StationCsvResult r = StationCsv::parse(in);
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("") << "\n" << out.str();
  EXPECT_TRUE(r.warnings.empty());
  ASSERT_EQ(r.rows.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(std::memcmp(&r.rows[i].record, &records[i], sizeof(LocationData)), 0) << "row " << i;
  }
  // Negative zero keeps its sign.
  EXPECT_TRUE(std::signbit(r.rows[0].record.seriesD[0]));
}

TEST(StationCsvTest, SampleListReadsWithoutErrors) {
  std::ifstream in(METDB_SOURCE_DIR "/data/stations.csv", std::ios::binary);
  ASSERT_TRUE(in) << "data/stations.csv is missing";
  StationCsvResult r = StationCsv::parse(in);
  ASSERT_TRUE(r.ok()) << r.errors[0].describe("stations.csv");
  EXPECT_GE(r.rows.size(), 300u);
  for (const StationCsvIssue& w : r.warnings) {
    EXPECT_NE(w.message.find("is cut to"), std::string::npos) << w.describe("stations.csv");
  }
}

}  // namespace
