#include "tool/web/PageFiles.h"

#include <iterator>
#include <nlohmann/json.hpp>

#include "tool/Error.h"
#include "tool/places/OutlineFile.h"
#include "tool/text/InputFile.h"

namespace metdb {

namespace {

struct PageFile {
  const char* name;  // in the folder, and under /map/ (index.html at /)
  const char* type;
};
const PageFile kFiles[] = {
    {"index.html", "text/html; charset=utf-8"},
    {"app.js", "text/javascript; charset=utf-8"},
    {"app.css", "text/css; charset=utf-8"},
    {"leaflet.js", "text/javascript; charset=utf-8"},
    {"leaflet.css", "text/css; charset=utf-8"},
    {"LICENSE-leaflet.txt", "text/plain; charset=utf-8"},
};

// The countries' outlines as a GeoJSON FeatureCollection of polygons,
// rounded to 0.01 degree, which the page draws at any zoom it offers.
std::string outlinesGeoJson() {
  nlohmann::json features = nlohmann::json::array();
  for (const Outline& outline : readOutlines(countryOutlinesPath(OutlineScale::k110m))) {
    nlohmann::json polygons = nlohmann::json::array();
    for (const OutlineRing& ring : outline.rings) {
      nlohmann::json points = nlohmann::json::array();
      for (const LonLat& p : ring.points) {
        points.push_back({std::round(p.longitude * 100) / 100, std::round(p.latitude * 100) / 100});
      }
      if (!ring.points.empty()) points.push_back(points.front());
      if (!ring.hole || polygons.empty()) {
        polygons.push_back(nlohmann::json::array({points}));
      } else {
        polygons.back().push_back(points);
      }
    }
    features.push_back({{"type", "Feature"},
                        {"properties", {{"name", outline.name}}},
                        {"geometry", {{"type", "MultiPolygon"}, {"coordinates", polygons}}}});
  }
  nlohmann::json collection = {{"type", "FeatureCollection"}, {"features", features}};
  return collection.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

PageFiles::PageFiles(const std::string& folder) {
  for (const PageFile& f : kFiles) {
    WebResponse r;
    r.contentType = f.type;
    try {
      InputFile in(folder + "/" + f.name);
      r.body.assign(std::istreambuf_iterator<char>(&in), std::istreambuf_iterator<char>());
      if (!in.fault().empty()) continue;
    } catch (const Error&) {
      continue;  // a page that is not installed is not served
    }
    std::string name = f.name;
    files_[name == "index.html" ? "/" : "/map/" + name] = std::move(r);
  }
  try {
    WebResponse outlines;
    outlines.contentType = "application/geo+json";
    outlines.body = outlinesGeoJson();
    files_["/map/outlines.json"] = std::move(outlines);
  } catch (const Error&) {
    // Without its outlines the page still shows the locations.
  }
}

bool PageFiles::find(const std::string& path, WebResponse* response) const {
  auto found = files_.find(path);
  if (found == files_.end()) return false;
  *response = found->second;
  return true;
}

}  // namespace metdb
