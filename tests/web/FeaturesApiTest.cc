// The OGC API - Features pages answered without a socket: the documents,
// the items' paging, box, search and nearest, the errors, and a change by
// another process seen by the next request.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "tests/cli/ToolRun.h"
#include "tool/CheckPoint.h"
#include "tool/web/FeaturesApi.h"

namespace {

using metdb::WebRequest;
using metdb::WebResponse;
using nlohmann::json;

class FeaturesApiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testsupport::TempDir();
    testsupport::writeFile(
        dir_->file("w.csv"),
        testsupport::readFile(std::string(METDB_SOURCE_DIR) + "/data/stations.csv"));
    ASSERT_EQ(tooltest::run(*dir_, {"--db", "w.bmt", "create", "w.csv"}).status, 0);
    source_ = new metdb::SnapshotSource(dir_->file("w.bmt"), 5);
  }
  static void TearDownTestSuite() {
    delete source_;
    delete dir_;
  }

  WebResponse get(const std::string& path, metdb::QueryParameters params = {},
                  const std::string& accept = "") {
    metdb::FeaturesApi api(*source_, "http://127.0.0.1:1", "test");
    WebRequest r;
    r.path = path;
    r.params = std::move(params);
    r.accept = accept;
    return api.answer(r);
  }
  json getJson(const std::string& path, metdb::QueryParameters params = {}) {
    WebResponse r = get(path, std::move(params));
    EXPECT_EQ(r.status, 200) << path << ": " << r.body;
    return json::parse(r.body);
  }

  static testsupport::TempDir* dir_;
  static metdb::SnapshotSource* source_;
};

testsupport::TempDir* FeaturesApiTest::dir_ = nullptr;
metdb::SnapshotSource* FeaturesApiTest::source_ = nullptr;

const char kItems[] = "/collections/locations/items";

std::string linkOf(const json& doc, const std::string& rel) {
  for (const json& l : doc["links"]) {
    if (l["rel"] == rel) return l["href"];
  }
  return "";
}

TEST_F(FeaturesApiTest, DescribesTheServiceAsTheStandardAsks) {
  json landing = getJson("/");
  EXPECT_EQ(linkOf(landing, "service-desc"), "http://127.0.0.1:1/api");
  EXPECT_EQ(linkOf(landing, "conformance"), "http://127.0.0.1:1/conformance");
  EXPECT_EQ(linkOf(landing, "data"), "http://127.0.0.1:1/collections");
  json conformance = getJson("/conformance");
  EXPECT_EQ(conformance["conformsTo"].size(), 4u);
  WebResponse api = get("/api");
  EXPECT_EQ(api.contentType, "application/vnd.oai.openapi+json;version=3.0");
  json openapi = json::parse(api.body);
  EXPECT_EQ(openapi["openapi"], "3.0.3");
  EXPECT_TRUE(openapi["paths"].contains("/collections/locations/items/{featureId}"));
  json collections = getJson("/collections");
  ASSERT_EQ(collections["collections"].size(), 1u);
  EXPECT_EQ(collections["collections"][0]["id"], "locations");
}

TEST_F(FeaturesApiTest, PagesThroughEveryLocationWithCountsAndLinks) {
  std::set<long> seen;
  long offset = 0;
  for (int page = 0; page < 100; ++page) {
    json doc = getJson(kItems, {{"limit", "100"}, {"offset", std::to_string(offset)}});
    EXPECT_EQ(doc["type"], "FeatureCollection");
    EXPECT_EQ(doc["numberMatched"], 312);
    EXPECT_EQ(doc["numberReturned"], doc["features"].size());
    EXPECT_EQ(linkOf(doc, "prev").empty(), offset == 0);
    for (const json& f : doc["features"]) seen.insert(f["id"].get<long>());
    std::string next = linkOf(doc, "next");
    if (next.empty()) break;
    EXPECT_NE(next.find("limit=100&offset=" + std::to_string(offset + 100)), std::string::npos);
    offset += 100;
  }
  EXPECT_EQ(seen.size(), 312u);
  EXPECT_EQ(getJson(kItems)["numberReturned"], 10);
}

TEST_F(FeaturesApiTest, ABoxWhoseWestLiesEastOfItsEastCrossesTheAntimeridian) {
  json doc = getJson(kItems, {{"bbox", "170,-30,-170,30"}, {"limit", "1000"}});
  ASSERT_GT(doc["numberMatched"].get<long>(), 1);
  bool sawFiji = false;
  for (const json& f : doc["features"]) {
    double lon = f["geometry"]["coordinates"][0];
    EXPECT_TRUE(lon >= 170 || lon <= -170) << lon;
    if (f["properties"]["name"] == "Fiji") sawFiji = true;
  }
  EXPECT_TRUE(sawFiji);
  json all = getJson(kItems, {{"bbox", "-180,-90,180,90"}});
  EXPECT_EQ(all["numberMatched"], 312);
}

// A box or level alone is answered by one pass over the positions (or, for
// a small box, over those of the cells it overlaps); with a pattern, by the
// directory's walk (selectLocations): both pick the same.
TEST_F(FeaturesApiTest, ABoxAloneSelectsAsTheFiltersDo) {
  for (const char* box : {"-20,-40,60,70", "170,-30,-170,30", "0,35,30,60", "175,-40,-160,10",
                          "-180,-90,-170,-80", "170,80,180,90", "24.9,60.1,25,60.2"}) {
    json alone = getJson(kItems, {{"bbox", box}, {"level", "2"}, {"limit", "1000"}});
    json walked =
        getJson(kItems, {{"bbox", box}, {"level", "2"}, {"continent", "*"}, {"limit", "1000"}});
    EXPECT_EQ(alone["numberMatched"], walked["numberMatched"]) << box;
    EXPECT_EQ(alone["features"], walked["features"]) << box;
  }
}

// Work past the request's time limit ends at a check point and reaches the
// server (which answers 503) instead of becoming an answer of the API.
TEST_F(FeaturesApiTest, WorkPastItsTimeLimitEndsForTheServerToAnswer) {
  metdb::CheckPointDeadline passed(-1);
  EXPECT_THROW(get(kItems, {{"q", "a"}, {"limit", "1000"}}), metdb::TimeLimitExceeded);
}

TEST_F(FeaturesApiTest, TakesTheToolsQueries) {
  json found = getJson(kItems, {{"q", "galapagos"}});
  ASSERT_GE(found["numberMatched"].get<long>(), 1);
  EXPECT_EQ(found["features"][0]["properties"]["name"], "Galapagos");

  json near = getJson(kItems, {{"near", "-18,178"}, {"k", "3"}});
  ASSERT_EQ(near["numberReturned"], 3);
  EXPECT_EQ(near["features"][0]["properties"]["name"], "Fiji");
  EXPECT_LE(near["features"][0]["properties"]["distanceKm"].get<double>(),
            near["features"][1]["properties"]["distanceKm"].get<double>());
  json within = getJson(kItems, {{"near", "-18,178"}, {"within_km", "100"}});
  EXPECT_EQ(within["numberMatched"], 1);

  json chile = getJson(kItems, {{"country", "chile"}, {"limit", "1000"}});
  ASSERT_GE(chile["numberMatched"].get<long>(), 1);
  for (const json& f : chile["features"]) EXPECT_EQ(f["properties"]["country"], "Chile");
  json level = getJson(kItems, {{"level", "1"}, {"continent", "Pacific*"}, {"limit", "1000"}});
  for (const json& f : level["features"]) {
    EXPECT_LE(f["properties"]["level"].get<int>(), 1);
    EXPECT_EQ(f["properties"]["continent"], "Pacific Ocean");
  }
}

TEST_F(FeaturesApiTest, GivesOneLocationByItsRecordIndex) {
  json first = getJson(kItems, {{"limit", "1"}})["features"][0];
  json one = getJson(std::string(kItems) + "/" + first["id"].dump());
  EXPECT_EQ(one["properties"], first["properties"]);
  EXPECT_EQ(get(std::string(kItems) + "/99999").status, 404);
  EXPECT_EQ(get(std::string(kItems) + "/-1").status, 404);
  EXPECT_EQ(get(std::string(kItems) + "/abc").status, 404);
}

TEST_F(FeaturesApiTest, AnswersEveryBadParameterWith400NamingIt) {
  const std::pair<metdb::QueryParameters, const char*> cases[] = {
      {{{"limit", "0"}}, "limit"},
      {{{"limit", "10001"}}, "limit"},
      {{{"limit", "ten"}}, "limit"},
      {{{"limit", "99999999999999999999"}}, "limit"},
      {{{"offset", "-1"}}, "offset"},
      {{{"bbox", "1,2,3"}}, "bbox"},
      {{{"bbox", "1,2,3,x"}}, "bbox"},
      {{{"bbox", "0,10,10,-10"}}, "bbox"},
      {{{"bbox", "-190,0,0,10"}}, "bbox"},
      {{{"bbox", "0,-95,10,10"}}, "bbox"},
      {{{"bbox", "nan,0,1,1"}}, "bbox"},
      {{{"bbox", "1e999,0,1,1"}}, "bbox"},
      {{{"bbox-crs", "EPSG:3857"}}, "bbox-crs"},
      {{{"near", "91,0"}}, "near"},
      {{{"near", "0"}}, "near"},
      {{{"k", "5"}}, "near"},
      {{{"near", "0,0"}, {"k", "0"}}, "k"},
      {{{"near", "0,0"}, {"within_km", "-1"}}, "within_km"},
      {{{"q", "  "}}, "q"},
      {{{"q", "\xff\xfe"}}, "UTF-8"},
      {{{"q", std::string(300, 'a')}}, "q"},
      {{{"level", "200"}}, "level"},
      {{{"active", "2000-13-01"}}, "active"},
      {{{"active", "yesterday"}}, "active"},
      {{{"f", "xml"}}, "f"},
      {{{"limit", "5"}, {"limit", "6"}}, "limit"},
      {{{"foo", "1"}}, "foo"},
  };
  for (const auto& [params, name] : cases) {
    WebResponse r = get(kItems, params);
    EXPECT_EQ(r.status, 400) << name;
    EXPECT_EQ(r.contentType, "application/json");
    json body = json::parse(r.body);
    EXPECT_EQ(body["code"], "InvalidParameterValue");
    EXPECT_NE(body["description"].get<std::string>().find(name), std::string::npos)
        << body["description"];
  }
  EXPECT_EQ(get("/collections", {{"limit", "5"}}).status, 400);
}

TEST_F(FeaturesApiTest, RefusesOtherMethodsAndPaths) {
  metdb::FeaturesApi api(*source_, "http://127.0.0.1:1", "test");
  WebRequest post;
  post.method = "POST";
  post.path = kItems;
  EXPECT_EQ(api.answer(post).status, 405);
  EXPECT_EQ(get("/collections/other").status, 404);
  EXPECT_FALSE(metdb::FeaturesApi::isApiPath("/../etc/passwd"));
}

TEST_F(FeaturesApiTest, AnswersInHtmlByAcceptOrF) {
  EXPECT_EQ(get("/collections", {}, "text/html,application/xhtml+xml").contentType,
            "text/html; charset=utf-8");
  WebResponse items = get(kItems, {{"f", "html"}, {"q", "<script>"}});
  EXPECT_EQ(items.body.find("<script>"), std::string::npos);
  WebResponse page = get(kItems, {{"f", "html"}, {"country", "Chile"}});
  EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
  EXPECT_NE(page.body.find("Easter"), std::string::npos);
  EXPECT_EQ(get(kItems, {}, "application/geo+json").contentType, "application/geo+json");
}

TEST_F(FeaturesApiTest, SeesAnotherProcessesChangeOnTheNextRequest) {
  long before = getJson(kItems)["numberMatched"];
  long generation = source_->generation();
  ASSERT_EQ(tooltest::run(*dir_, {"--db", "w.bmt", "add", "--name", "Newplace", "--state", "X",
                                  "--country", "Chile", "--continent", "South America",
                                  "--latitude", "-33", "--longitude", "-70"})
                .status,
            0);
  EXPECT_EQ(getJson(kItems)["numberMatched"], before + 1);
  EXPECT_EQ(source_->generation(), generation + 1);
  EXPECT_EQ(getJson(kItems, {{"q", "newplace"}})["numberMatched"], 1);
  ASSERT_EQ(
      tooltest::run(*dir_, {"--db", "w.bmt", "delete", "South America/Chile/X/Newplace"}).status,
      0);
  EXPECT_EQ(getJson(kItems)["numberMatched"], before);
}

// A database with a station file: its columns as properties, active, and
// identifiers found by q.
class FeaturesApiStationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::writeFile(
        dir.file("s.csv"),
        "name,state,country,continent,latitude,longitude,wmo,icao,elevation,timezone,active_from,"
        "active_to\n"
        "Tromso,Troms,Norway,Europe,69.65,18.96,01026,ENTC,10,Europe/Oslo,1920-01-01,\n"
        "Bergen,Vestland,Norway,Europe,60.39,5.32,01317,ENBR,12,Europe/Oslo,,1990-12-31\n"
        "Lund,Skane,Sweden,Europe,55.70,13.19,,,,,,\n"
        "Entcville,Skane,Sweden,Europe,55.80,13.20,,,0,,,\n");
    ASSERT_EQ(tooltest::run(dir, {"--db", "s.bmt", "create", "s.csv"}).status, 0);
    source = std::make_unique<metdb::SnapshotSource>(dir.file("s.bmt"), 5);
  }
  json items(metdb::QueryParameters params, int status = 200) {
    metdb::FeaturesApi api(*source, "http://127.0.0.1:1", "test");
    WebRequest r;
    r.path = kItems;
    r.params = std::move(params);
    WebResponse answer = api.answer(r);
    EXPECT_EQ(answer.status, status) << answer.body;
    return json::parse(answer.body);
  }
  // The names of a page's features, in order.
  std::vector<std::string> names(metdb::QueryParameters params) {
    std::vector<std::string> out;
    json page = items(std::move(params));
    for (const json& f : page["features"]) out.push_back(f["properties"]["name"]);
    return out;
  }
  testsupport::TempDir dir;
  std::unique_ptr<metdb::SnapshotSource> source;
};

TEST_F(FeaturesApiStationsTest, CarriesTheStationColumnsNullWhereUnknown) {
  std::map<std::string, json> byName;
  json page = items({{"limit", "100"}});
  for (const json& f : page["features"]) byName[f["properties"]["name"]] = f;
  const json& tromso = byName["Tromso"]["properties"];
  EXPECT_EQ(tromso["ids"], json({"wmo:01026", "icao:ENTC"}));
  EXPECT_EQ(tromso["wmo"], "01026");
  EXPECT_EQ(tromso["icao"], "ENTC");
  EXPECT_EQ(tromso["elevation"], 10.0);
  EXPECT_EQ(tromso["timezone"], "Europe/Oslo");
  EXPECT_EQ(tromso["active_from"], "1920-01-01");
  EXPECT_TRUE(tromso["active_to"].is_null());
  const json& lund = byName["Lund"]["properties"];
  EXPECT_EQ(lund["ids"], json::array());
  for (const char* c : {"wmo", "icao", "elevation", "active_from", "active_to"}) {
    EXPECT_TRUE(lund[c].is_null()) << c;
  }
  // A list that gives no time zone has it filled from the position.
  EXPECT_EQ(lund["timezone"], "Europe/Stockholm");
  EXPECT_EQ(byName["Entcville"]["properties"]["elevation"], 0.0);

  metdb::FeaturesApi api(*source, "http://127.0.0.1:1", "test");
  WebRequest one;
  one.path = std::string(kItems) + "/" + byName["Tromso"]["id"].dump();
  EXPECT_EQ(json::parse(api.answer(one).body)["properties"], tromso);
  WebRequest openapi;
  openapi.path = "/api";
  json schema = json::parse(api.answer(openapi).body)["components"]["schemas"]["locationFeature"];
  EXPECT_TRUE(schema["properties"]["properties"]["properties"].contains("elevation"));
}

TEST_F(FeaturesApiStationsTest, FindsAnIdentifierExactlyAndRanksItFirst) {
  EXPECT_EQ(names({{"q", "entc"}}), std::vector<std::string>({"Tromso", "Entcville"}));
  EXPECT_EQ(names({{"q", "wmo:01317"}}), std::vector<std::string>({"Bergen"}));
}

TEST_F(FeaturesApiStationsTest, ActiveKeepsLocationsInOperationOrOfUnknownDates) {
  using Names = std::vector<std::string>;
  const Names operating = {"Tromso", "Lund", "Entcville"};
  auto sorted = [](Names n) {
    std::sort(n.begin(), n.end());
    return n;
  };
  EXPECT_EQ(sorted(names({{"active", "2000-01-01"}})), sorted(operating));
  EXPECT_EQ(sorted(names({{"active", "20000101"}, {"bbox", "0,50,30,80"}})), sorted(operating));
  EXPECT_EQ(sorted(names({{"active", "2000-01-01"}, {"country", "*"}})), sorted(operating));
  EXPECT_EQ(names({{"active", "2000-01-01"}, {"near", "60.39,5.32"}, {"k", "1"}}),
            Names({"Entcville"}));
  EXPECT_EQ(names({{"active", "1900-01-01"}, {"q", "wmo:01026"}}), Names());
  json page = items({{"active", "1950-06-30"}, {"limit", "1"}});
  EXPECT_EQ(page["numberMatched"], 4);
  EXPECT_NE(linkOf(page, "next").find("active=1950-06-30"), std::string::npos);
}

// The station file alone changes (set --elevation): the next request sees it.
TEST_F(FeaturesApiStationsTest, SeesAChangeOfTheStationFileAlone) {
  ASSERT_EQ(
      tooltest::run(dir, {"--db", "s.bmt", "set", "Europe/Sweden/Skane/Lund", "--elevation", "73"})
          .status,
      0);
  EXPECT_EQ(items({{"q", "lund"}})["features"][0]["properties"]["elevation"], 73.0);
}

}  // namespace
