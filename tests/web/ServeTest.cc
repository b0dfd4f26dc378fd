// metdb serve as clients reach it: hostile requests, each answered with its
// 4xx while the server goes on answering; GDAL's OGC API - Features driver
// reading a 10^4-location database with the values of export.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>

#include "tests/cli/ToolRun.h"
#include "tests/support/Shell.h"
#include "tests/web/ServerProcess.h"
#include "tool/record/StationFields.h"

namespace {

using nlohmann::json;
using webtest::get;
using webtest::ServerProcess;

class ServeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::writeFile(dir.file("w.csv"), testsupport::readFile(std::string(METDB_SOURCE_DIR) +
                                                                    "/data/stations.csv"));
    ASSERT_EQ(tooltest::run(dir, {"--db", "w.bmt", "create", "w.csv"}).status, 0);
  }
  testsupport::TempDir dir;
};

const char kItems[] = "/collections/locations/items";

// A connection to port that sends prefix and then nothing; -1 on failure.
// nowait: the connection is begun and left to complete on its own.
int openIdle(int port, const std::string& prefix, bool nowait = false) {
  int s = socket(AF_INET, SOCK_STREAM | (nowait ? SOCK_NONBLOCK : 0), 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (s >= 0 && nowait) {
    int rc = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return rc == 0 || errno == EINPROGRESS ? s : (close(s), -1);
  }
  if (s < 0 || connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (s >= 0) close(s);
    return -1;
  }
  if (!prefix.empty()) send(s, prefix.data(), prefix.size(), MSG_NOSIGNAL);
  return s;
}

TEST_F(ServeTest, AnswersHostileRequestsWithTheir4xxAndGoesOn) {
  ServerProcess server(dir, {"--db", "w.bmt"});
  ASSERT_NE(server.port(), 0) << "the server did not start";
  const int port = server.port();
  const std::string huge(100 * 1024, 'a');
  const std::pair<std::string, int> requests[] = {
      {"GET /collections/locations/items?bbox=1e999,0,1,1 HTTP/1.1\r\n\r\n", 400},
      {"GET /collections/locations/items?bbox=" + huge + " HTTP/1.1\r\n\r\n", 414},
      {"GET /collections/locations/items?limit=100000000000 HTTP/1.1\r\n\r\n", 400},
      {"GET /collections/locations/items?limit=-5 HTTP/1.1\r\n\r\n", 400},
      {"GET /collections/locations/items?q=%FF%FE%80 HTTP/1.1\r\n\r\n", 400},
      {"GET /collections/locations/items?q=" + huge + " HTTP/1.1\r\n\r\n", 414},
      {"GET /../../../../etc/passwd HTTP/1.1\r\n\r\n", 404},
      {"GET /map/..%2F..%2F..%2Fetc%2Fpasswd HTTP/1.1\r\n\r\n", 404},
      {"GET /map/../../CMakeLists.txt HTTP/1.1\r\n\r\n", 404},
      {"GET /collections/locations/items/..%2F1 HTTP/1.1\r\n\r\n", 404},
      {"DELETE /collections/locations/items/1 HTTP/1.1\r\n\r\n", 405},
      {"POST /collections/locations/items HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", 405},
      {"POST / HTTP/1.1\r\nContent-Length: 10000000\r\n\r\n", 413},
      {"BREW /coffee HTTP/1.1\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nX-Big: " + std::string(20000, 'b') + "\r\n\r\n", 400},
      {"NONSENSE\r\n\r\n", 400},
  };
  for (const auto& [request, expected] : requests) {
    std::string answer;
    int status = webtest::exchange(port, request, &answer);
    EXPECT_EQ(status, expected) << request.substr(0, 80) << "\n" << answer.substr(0, 300);
    std::string body;
    ASSERT_EQ(get(port, "/conformance", &body), 200) << "after " << request.substr(0, 80);
  }

  // A client that sends half a request and stalls holds only its own
  // connection.
  int slow = openIdle(port, "GET /collections HTTP/1.1\r\nHost: 127");
  ASSERT_GE(slow, 0);
  EXPECT_EQ(get(port, "/collections"), 200);
  close(slow);

  // A thousand connections that send nothing leave the server answering:
  // they are opened all at once, without waiting for each to be accepted.
  rlimit files;
  getrlimit(RLIMIT_NOFILE, &files);
  if (files.rlim_cur < 1100 && files.rlim_max >= 1100) {
    files.rlim_cur = 1100;
    setrlimit(RLIMIT_NOFILE, &files);
  }
  std::vector<int> idle;
  for (int i = 0; i < 1000; ++i) {
    int s = openIdle(port, "", true);
    if (s < 0) break;
    idle.push_back(s);
  }
  EXPECT_EQ(idle.size(), 1000u);
  std::string body;
  EXPECT_EQ(get(port, std::string(kItems) + "?limit=1", &body), 200);
  EXPECT_EQ(json::parse(body)["numberReturned"], 1);
  for (int s : idle) close(s);
  EXPECT_TRUE(server.alive());
}

TEST_F(ServeTest, MapPageFindsAsOneTypesAndShowsTheNearestOnAClick) {
  if (!testsupport::haveProgram("/usr/bin/python3 --version")) {
    GTEST_SKIP() << "/usr/bin/python3 is not installed";
  }
  // The record panel shows the station file's identifiers and elevation.
  ASSERT_EQ(tooltest::run(dir, {"--db", "w.bmt", "set", "Pacific Ocean/Ecuador/Ecuador/Galapagos",
                                "--add-id", "wmo:84008", "--elevation", "6"})
                .status,
            0);
  ServerProcess server(dir, {"--db", "w.bmt"});
  ASSERT_NE(server.port(), 0);
  std::string out;
  int status = testsupport::shell(std::string("/usr/bin/python3 ") + METDB_SOURCE_DIR +
                                      "/tests/web/map_page.py " + server.url(),
                                  &out);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << out;
  EXPECT_EQ(status, 0) << out;
}

// Writes a list of n locations spread over the globe.
std::string manyLocations(int n) {
  std::string csv = "name,state,country,continent,level,latitude,longitude,seriesA1,seriesE12\n";
  const char* const countries[][2] = {{"Norway", "Europe"},
                                      {"Chile", "South America"},
                                      {"Fiji", "Pacific Ocean"},
                                      {"Japan", "Asia"}};
  for (int i = 0; i < n; ++i) {
    double lat = -80 + std::fmod(i * 0.7919, 160.0);
    double lon = -180 + std::fmod(i * 3.1417, 360.0);
    const auto& c = countries[i % 4];
    csv += "P" + std::to_string(i) + ",S" + std::to_string(i % 50) + "," + c[0] + "," + c[1] +
           ",1," + std::to_string(lat) + "," + std::to_string(lon) + "," +
           std::to_string(i % 97 - 40.5) + ",0.25\n";
  }
  return csv;
}

TEST_F(ServeTest, GdalReadsEveryFeatureWithTheValuesOfExport) {
  if (!testsupport::haveProgram("ogr2ogr --version")) {
    GTEST_SKIP() << "GDAL's ogr2ogr (gdal-bin) is not installed";
  }
  testsupport::writeFile(dir.file("big.csv"), manyLocations(10000));
  ASSERT_EQ(tooltest::run(dir, {"--db", "big.bmt", "create", "big.csv"}).status, 0);
  tooltest::Outcome exported =
      tooltest::run(dir, {"--db", "big.bmt", "export", "--format", "geojson"});
  ASSERT_EQ(exported.status, 0);
  std::map<long, json> expected;
  json exportedDoc = json::parse(exported.out);
  for (json& f : exportedDoc["features"]) {
    expected[f["properties"]["index"].get<long>()] = f;
  }
  ServerProcess server(dir, {"--db", "big.bmt"});
  ASSERT_NE(server.port(), 0);
  std::string out;
  ASSERT_EQ(testsupport::shell("ogrinfo -ro -so OAPIF:" + server.url() + " locations", &out), 0)
      << out;
  EXPECT_NE(out.find("Feature Count: 10000"), std::string::npos) << out;
  out.clear();
  ASSERT_EQ(testsupport::shell("ogr2ogr -oo PAGE_SIZE=1000 -f GeoJSON " + dir.file("gdal.geojson") +
                                   " OAPIF:" + server.url() + " locations",
                               &out),
            0)
      << out;
  json read = json::parse(testsupport::readFile(dir.file("gdal.geojson")));
  ASSERT_EQ(read["features"].size(), 10000u);
  long differing = 0;
  for (const json& f : read["features"]) {
    const json& p = f["properties"];
    auto e = expected.find(p["index"].get<long>());
    ASSERT_NE(e, expected.end());
    const json& want = e->second["properties"];
    for (auto& [key, value] : want.items()) {
      // The served features carry the record's fields; the station file's
      // (identifiers, time zone...) only export writes.
      if (metdb::isStationColumn(key)) continue;
      bool same = value.is_number() ? p.contains(key) && p[key].is_number() &&
                                          p[key].get<double>() == value.get<double>()
                                    : p.value(key, json()) == value;
      if (!same && ++differing < 5)
        ADD_FAILURE() << key << ": " << p.value(key, json()) << " vs " << value;
    }
    EXPECT_EQ(f["geometry"]["coordinates"], e->second["geometry"]["coordinates"]);
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
