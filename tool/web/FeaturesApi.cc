#include "tool/web/FeaturesApi.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "tool/CheckPoint.h"
#include "tool/Error.h"
#include "tool/database/LocationFilter.h"
#include "tool/record/GeoJsonFeature.h"
#include "tool/record/RecordJson.h"
#include "tool/record/StationFields.h"
#include "tool/search/LocationSearch.h"
#include "tool/web/OpenApiDocument.h"

namespace metdb {

namespace {

using nlohmann::ordered_json;

const char kCollection[] = "locations";
const char kItemsPath[] = "/collections/locations/items";
const char kGeoJson[] = "application/geo+json";
const char kOpenApi[] = "application/vnd.oai.openapi+json;version=3.0";

ordered_json link(const std::string& href, const char* rel, const char* type,
                  const std::string& title) {
  return {{"href", href}, {"rel", rel}, {"type", type}, {"title", title}};
}

std::string escapeHtml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A page for a person: the links of a document, then the document itself.
WebResponse htmlPage(const std::string& title, const ordered_json& document) {
  std::string body = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" +
                     escapeHtml(title) +
                     "</title><style>body{font-family:sans-serif;margin:2em}pre{background:#f4f4f4;"
                     "padding:1em;overflow:auto}</style></head><body><h1>" +
                     escapeHtml(title) + "</h1><p><a href=\"/\">Map</a></p><ul>\n";
  auto addLinks = [&](const ordered_json& links) {
    if (!links.is_array()) return;
    for (const ordered_json& l : links) {
      if (!l.contains("href") || !l["href"].is_string()) continue;
      std::string text = l.value("title", l.value("rel", std::string("link")));
      body += "<li><a href=\"" + escapeHtml(l["href"].get<std::string>()) + "\">" +
              escapeHtml(text) + "</a></li>\n";
    }
  };
  if (document.is_object() && document.contains("links")) addLinks(document["links"]);
  if (document.is_object() && document.contains("features")) {
    body += "</ul><ul>\n";
    for (const ordered_json& f : document["features"]) {
      std::string id = f.contains("id") ? f["id"].dump() : "";
      std::string name = f.contains("properties") && f["properties"].contains("name") &&
                                 f["properties"]["name"].is_string()
                             ? f["properties"]["name"].get<std::string>()
                             : id;
      body += "<li><a href=\"" + std::string(kItemsPath) + "/" + id + "?f=html\">" +
              escapeHtml(name) + "</a></li>\n";
    }
  }
  body += "</ul><pre>" + escapeHtml(dumpJson(document, 2)) + "</pre></body></html>\n";
  WebResponse r;
  r.contentType = "text/html; charset=utf-8";
  r.body = std::move(body);
  return r;
}

WebResponse jsonOrHtml(const ordered_json& document, const std::string& format,
                       const std::string& title, const char* type = "application/json") {
  if (format == "html") return htmlPage(title, document);
  WebResponse r;
  r.contentType = type;
  r.body = dumpJson(document, -1);
  return r;
}

// Appends the feature text of a record: every field of the record and,
// where the database has a station file, the station columns (ids, the
// first identifier of each known scheme, elevation, timezone, active_from,
// active_to and source, null where unknown), then the distance and bearing
// when metres >= 0. Written directly, as the GeoJSON export does: building
// JSON objects took a fifth of the server's time under load.
void appendFeature(std::string* out, const LocationSnapshot& snapshot, const LocationData& record,
                   long index, double metres = -1, double bearing = 0) {
  ordered_json more = ordered_json::object();
  if (snapshot.hasStations()) {
    const StationInfo* info = snapshot.station(index);
    addStationMembers(more, info);
    for (const std::string& scheme : knownIdSchemes()) {
      std::string value = info != nullptr ? info->idOf(scheme) : "";
      more[scheme] = value.empty() ? ordered_json(nullptr) : ordered_json(value);
    }
  }
  if (metres >= 0) {
    more["distanceKm"] = metres / 1000.0;
    more["bearing"] = bearing;
  }
  // appendGeoJsonFeature's text, with the id after the type.
  static const char kStart[] = "{\"type\":\"Feature\",";
  std::string text;
  bool placed = true;
  appendGeoJsonFeature(&text, record, index, &more, &placed);
  out->append(kStart).append("\"id\":").append(std::to_string(index)).push_back(',');
  out->append(text, sizeof kStart - 1, std::string::npos);
}

bool filtersSomething(const Filters& f) { return f.narrowsTree() || f.bbox || f.levelGiven; }

// One location of a page, with its distance when near asked.
struct PageEntry {
  long recordIndex;
  double metres = -1;
  double bearing = 0;
};

}  // namespace

FeaturesApi::FeaturesApi(SnapshotSource& source, std::string baseUrl, std::string title)
    : source_(source), base_(std::move(baseUrl)), title_(std::move(title)) {}

bool FeaturesApi::isApiPath(const std::string& path) {
  static const char* const kPaths[] = {
      "/", "/conformance", "/api", "/collections", "/collections/locations", kItemsPath};
  for (const char* p : kPaths) {
    if (path == p) return true;
  }
  return path.rfind(std::string(kItemsPath) + "/", 0) == 0;
}

WebResponse FeaturesApi::answer(const WebRequest& request) const {
  if (request.method != "GET" && request.method != "HEAD") {
    WebResponse r = errorResponse(405, "MethodNotAllowed",
                                  "The server is read-only: only GET and HEAD are answered.");
    return r;
  }
  std::string format = outputFormat(request.params, request.accept);
  if (format.empty()) {
    return errorResponse(400, "InvalidParameterValue", "The parameter f must be json or html.");
  }
  try {
    return route(request, format);
  } catch (const TimeLimitExceeded&) {
    throw;  // the server answers it
  } catch (const Error& e) {
    return errorResponse(400, "InvalidParameterValue", e.what());
  } catch (const std::exception& e) {
    return errorResponse(500, "ServerError", std::string("The request failed: ") + e.what());
  } catch (...) {
    // The program's interruption unwinds the work: the server is stopping.
    return errorResponse(503, "ServiceUnavailable", "The server is stopping.");
  }
}

WebResponse FeaturesApi::route(const WebRequest& request, const std::string& format) const {
  const std::string& path = request.path;
  if (path == kItemsPath) return items(request);
  // Only the items take parameters beyond f.
  for (const auto& [name, value] : request.params) {
    if (name != "f") {
      return errorResponse(400, "InvalidParameterValue",
                           "The parameter " + name + " is not known at " + path + ".");
    }
  }
  if (path.rfind(std::string(kItemsPath) + "/", 0) == 0) {
    return item(path.substr(sizeof kItemsPath), format);
  }
  if (path == "/") {
    ordered_json links = ordered_json::array(
        {link(base_ + "/?f=json", "self", "application/json", "This document"),
         link(base_ + "/?f=html", "alternate", "text/html", "The map"),
         link(base_ + "/api", "service-desc", kOpenApi, "The API definition (OpenAPI 3.0)"),
         link(base_ + "/conformance", "conformance", "application/json", "The conformance classes"),
         link(base_ + "/collections", "data", "application/json", "The collections")});
    return jsonOrHtml({{"title", title_},
                       {"description", "The locations of a metdb database, read-only"},
                       {"links", links}},
                      format, title_);
  }
  if (path == "/conformance") {
    const std::string c = "http://www.opengis.net/spec/ogcapi-features-1/1.0/conf/";
    return jsonOrHtml({{"conformsTo", {c + "core", c + "geojson", c + "html", c + "oas30"}}},
                      format, "Conformance");
  }
  if (path == "/api") {
    return jsonOrHtml(openApiDocument(base_, title_), format, "API definition", kOpenApi);
  }
  ordered_json collection = {
      {"id", kCollection},
      {"title", "Locations"},
      {"description", "Every location of the database, as a point with every field of its record"},
      {"extent",
       {{"spatial",
         {{"bbox", {{-180, -90, 180, 90}}},
          {"crs", "http://www.opengis.net/def/crs/OGC/1.3/CRS84"}}}}},
      {"itemType", "feature"},
      {"crs", {"http://www.opengis.net/def/crs/OGC/1.3/CRS84"}},
      {"links",
       {link(base_ + "/collections/locations", "self", "application/json", "This collection"),
        link(base_ + kItemsPath, "items", kGeoJson, "The locations"),
        link(base_ + kItemsPath + "?f=html", "items", "text/html", "The locations as HTML")}}};
  if (path == "/collections/locations") return jsonOrHtml(collection, format, "Locations");
  if (path == "/collections") {
    return jsonOrHtml(
        {{"links", {link(base_ + "/collections", "self", "application/json", "The collections")}},
         {"collections", {collection}}},
        format, "Collections");
  }
  return errorResponse(404, "NotFound", "There is no page " + path + " here.");
}

WebResponse FeaturesApi::mapPoints() const {
  std::shared_ptr<const LocationSnapshot> snapshot = source_.current();
  WebResponse r;
  r.body = "{\"points\":[";
  bool first = true;
  std::size_t points = 0;
  char buffer[96];
  for (const GeoPoint& p : snapshot->geoIndex().points()) {
    if (++points % 4096 == 0) checkPoint();
    if (std::fabs(p.longitude) > 180) continue;
    std::snprintf(buffer, sizeof buffer, "%s%.4f,%.4f,%ld", first ? "" : ",", p.longitude,
                  p.latitude, p.recordIndex);
    r.body += buffer;
    first = false;
  }
  r.body += "]}";
  return r;
}

WebResponse FeaturesApi::item(const std::string& id, const std::string& format) const {
  long index = -1;
  if (!id.empty() && id.size() <= 12 &&
      std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    index = std::stol(id);
  }
  std::shared_ptr<const LocationSnapshot> snapshot = source_.current();
  const LocationData* record = index >= 0 ? snapshot->record(index) : nullptr;
  if (record == nullptr) {
    return errorResponse(404, "NotFound", "There is no location of record index " + id + ".");
  }
  std::string text;
  appendFeature(&text, *snapshot, *record, index);
  ordered_json f = ordered_json::parse(text);
  std::string self = base_ + kItemsPath + "/" + id;
  f["links"] = {
      link(self, "self", kGeoJson, "This location"),
      link(self + "?f=html", "alternate", "text/html", "This location as HTML"),
      link(base_ + "/collections/locations", "collection", "application/json", "The collection")};
  return jsonOrHtml(f, format, "Location " + id, kGeoJson);
}

WebResponse FeaturesApi::items(const WebRequest& request) const {
  FeatureQuery q;
  std::string why = parseFeatureQuery(request.params, &q);
  if (!why.empty()) return errorResponse(400, "InvalidParameterValue", why);
  std::string format = outputFormat(request.params, request.accept);
  std::shared_ptr<const LocationSnapshot> snapshot = source_.current();
  Directory* directory = snapshot->directory();

  // active: the station file's dates, which no directory walk knows, are
  // checked on each location the other parameters select.
  const std::string& day = q.filters.active;
  auto operating = [&](long index) { return day.empty() || snapshot->activeOn(index, day); };

  std::vector<PageEntry> page;
  long matched = 0;
  const std::size_t first = static_cast<std::size_t>(q.offset);
  const std::size_t end = first + static_cast<std::size_t>(q.limit);
  if (!q.text.empty()) {
    SearchResult found = snapshot->searchIndex().search(
        q.text, q.filters, day.empty() ? end : std::numeric_limits<std::size_t>::max(),
        snapshot->identified(q.text));
    if (!day.empty()) {
      found.hits.erase(
          std::remove_if(found.hits.begin(), found.hits.end(),
                         [&](const SearchHit& h) { return !operating(h.location->locationIndex); }),
          found.hits.end());
      found.total = found.hits.size();
      if (found.hits.size() > end) found.hits.resize(end);
    }
    matched = static_cast<long>(found.total);
    for (std::size_t i = first; i < found.hits.size(); ++i) {
      page.push_back({found.hits[i].location->locationIndex});
    }
  } else if (q.near) {
    const GeoIndex* index = &snapshot->geoIndex();
    std::unique_ptr<GeoIndex> own;
    if (filtersSomething(q.filters) || !day.empty()) {
      std::vector<GeoPoint> points;
      std::vector<Location*> selected;
      if (filtersSomething(q.filters)) selected = selectLocations(q.filters, directory);
      std::size_t seen = 0;
      for (Location* l : filtersSomething(q.filters) ? selected : snapshot->entries()) {
        if (++seen % 4096 == 0) checkPoint();
        if (!operating(l->locationIndex)) continue;
        double lat = l->latitude, lon = l->longitude;
        if (GeoIndex::searchable(lat, lon)) points.push_back({lat, lon, l->locationIndex});
      }
      own = std::make_unique<GeoIndex>(std::move(points));
      index = own.get();
    }
    const bool within = q.withinKm >= 0;
    std::vector<GeoNeighbour> near = index->nearest(
        q.latitude, q.longitude, static_cast<std::size_t>(within ? kMaxPageSize : q.k),
        within ? q.withinKm * 1000.0 : std::numeric_limits<double>::infinity());
    matched = static_cast<long>(near.size());
    for (std::size_t i = first; i < near.size() && i < end; ++i) {
      page.push_back({index->points()[near[i].point].recordIndex, near[i].metres, near[i].bearing});
    }
  } else if (!q.filters.narrowsTree()) {
    // A box or a level limit alone: the packed positions, with
    // LocationFilter::admitsPosition's test, in one pass or, for a small
    // box, those of the cells it overlaps.
    const Box limits = q.filters.bbox.value_or(Box());
    const float south = limits.south, west = limits.west, north = limits.north, east = limits.east;
    const bool box = q.filters.bbox.has_value();
    const std::vector<LocationSnapshot::Spot>& spots = snapshot->spots();
    std::vector<std::uint32_t> places;
    const bool some = box && snapshot->spotsInBox(south, west, north, east, &places);
    const std::size_t count = some ? places.size() : spots.size();
    std::vector<std::uint32_t> inside;  // of places, those that pass, in no order
    for (std::size_t at = 0; at < count; ++at) {
      if (at % 4096 == 0) checkPoint();
      const std::size_t i = some ? places[at] : at;
      const LocationSnapshot::Spot& s = spots[i];
      if (s.level > q.filters.levelLimit) continue;
      if (box) {
        if (!(s.latitude >= south && s.latitude <= north)) continue;
        bool inside = west <= east ? s.longitude >= west && s.longitude <= east
                                   : s.longitude >= west || s.longitude <= east;
        if (!inside) continue;
      }
      if (!day.empty() && !operating(snapshot->entries()[i]->locationIndex)) continue;
      if (some) {
        inside.push_back(static_cast<std::uint32_t>(i));
        continue;
      }
      if (static_cast<std::size_t>(matched) >= first && static_cast<std::size_t>(matched) < end) {
        page.push_back({snapshot->entries()[i]->locationIndex});
      }
      ++matched;
    }
    if (some) {
      // The page in walk order: only the first end of those inside sorted.
      matched = static_cast<long>(inside.size());
      const auto pageEnd =
          inside.begin() + static_cast<std::ptrdiff_t>(std::min(end, inside.size()));
      std::partial_sort(inside.begin(), pageEnd, inside.end());
      for (auto p = inside.begin() + static_cast<std::ptrdiff_t>(std::min(first, inside.size()));
           p < pageEnd; ++p) {
        page.push_back({snapshot->entries()[*p]->locationIndex});
      }
    }
  } else {
    std::vector<Location*> selected;
    const std::vector<Location*>* entries = &snapshot->entries();
    if (filtersSomething(q.filters)) {
      selected = selectLocations(q.filters, directory);
      if (!day.empty()) {
        selected.erase(std::remove_if(selected.begin(), selected.end(),
                                      [&](Location* l) { return !operating(l->locationIndex); }),
                       selected.end());
      }
      entries = &selected;
    }
    matched = static_cast<long>(entries->size());
    for (std::size_t i = first; i < entries->size() && i < end; ++i) {
      page.push_back({(*entries)[i]->locationIndex});
    }
  }

  std::string features;
  long returned = 0;
  for (const PageEntry& e : page) {
    const LocationData* record = snapshot->record(e.recordIndex);
    if (record == nullptr) continue;
    if (returned++ > 0) features.push_back(',');
    appendFeature(&features, *snapshot, *record, e.recordIndex, e.metres, e.bearing);
  }
  auto pageUrl = [&](long offset, const char* f) {
    return base_ + kItemsPath + "?" + q.carried + "limit=" + std::to_string(q.limit) +
           "&offset=" + std::to_string(offset) + (f != nullptr ? std::string("&f=") + f : "");
  };
  ordered_json links = ordered_json::array(
      {link(pageUrl(q.offset, nullptr), "self", kGeoJson, "This page"),
       link(pageUrl(q.offset, "html"), "alternate", "text/html", "This page as HTML")});
  if (q.offset + returned < matched) {
    links.push_back(link(pageUrl(q.offset + q.limit, nullptr), "next", kGeoJson, "Next page"));
  }
  if (q.offset > 0) {
    links.push_back(link(pageUrl(std::max(0L, q.offset - q.limit), nullptr), "prev", kGeoJson,
                         "Previous page"));
  }
  // The collection's text as dumpJson would write it, around the features'.
  std::string body =
      "{\"type\":\"FeatureCollection\",\"numberMatched\":" + std::to_string(matched) +
      ",\"numberReturned\":" + std::to_string(returned) + ",\"links\":" + dumpJson(links, -1) +
      ",\"features\":[";
  body.append(features).append("]}");
  if (format == "html") return htmlPage("Locations", ordered_json::parse(body));
  WebResponse r;
  r.contentType = kGeoJson;
  r.body = std::move(body);
  return r;
}

}  // namespace metdb
