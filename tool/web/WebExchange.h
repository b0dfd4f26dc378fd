#ifndef METDB_TOOL_WEB_WEBEXCHANGE_H_
#define METDB_TOOL_WEB_WEBEXCHANGE_H_

#include <string>

#include "tool/web/FeatureQuery.h"

namespace metdb {

// A request as the server's pages see it, decoded, without the socket.
struct WebRequest {
  std::string method = "GET";
  std::string path;  // "/collections/locations/items", decoded
  QueryParameters params;
  std::string accept;  // the Accept header, or ""
};

// What a page answers.
struct WebResponse {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
};

// A 4xx or 5xx answer in JSON, as OGC API - Features' exceptions:
// {"code": CODE, "description": DESCRIPTION}.
WebResponse errorResponse(int status, const std::string& code, const std::string& description);

}  // namespace metdb

#endif  // METDB_TOOL_WEB_WEBEXCHANGE_H_
