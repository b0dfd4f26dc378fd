#ifndef METDB_TOOL_WEB_FEATURESAPI_H_
#define METDB_TOOL_WEB_FEATURESAPI_H_

#include <string>

#include "tool/web/SnapshotSource.h"
#include "tool/web/WebExchange.h"

namespace metdb {

// OGC API - Features (Part 1: Core, GeoJSON, HTML, OpenAPI 3.0) over one
// collection, "locations": the landing page, /conformance, /api,
// /collections, /collections/locations, its items (a page of features with
// numberMatched, numberReturned and next/prev links) and /items/{id} (the
// record index). Every answer comes from one snapshot of the database. A
// request is answered without a socket, so that it can be tested as it is.
class FeaturesApi {
 public:
  // source must outlive this object. baseUrl prefixes every link
  // ("http://127.0.0.1:8765"); title names the service.
  FeaturesApi(SnapshotSource& source, std::string baseUrl, std::string title);

  // The answer to request: JSON (GeoJSON for features) or HTML as the
  // request's f or Accept asks; 400 with a JSON message naming the
  // parameter for a bad query, 404 for a path or feature that is not there,
  // 405 for a method other than GET or HEAD. Never throws.
  WebResponse answer(const WebRequest& request) const;

  // The map page's dots: {"points": [lon, lat, id, lon, lat, id, ...]}, every
  // location with a position on the globe, rounded to 4 decimals.
  WebResponse mapPoints() const;

  // Whether path is one of the API's (the server serves its page files
  // under others).
  static bool isApiPath(const std::string& path);

 private:
  WebResponse route(const WebRequest& request, const std::string& format) const;
  WebResponse items(const WebRequest& request) const;
  WebResponse item(const std::string& id, const std::string& format) const;

  SnapshotSource& source_;
  std::string base_;
  std::string title_;
};

}  // namespace metdb

#endif  // METDB_TOOL_WEB_FEATURESAPI_H_
