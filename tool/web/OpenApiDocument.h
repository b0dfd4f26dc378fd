#ifndef METDB_TOOL_WEB_OPENAPIDOCUMENT_H_
#define METDB_TOOL_WEB_OPENAPIDOCUMENT_H_

#include <nlohmann/json.hpp>
#include <string>

namespace metdb {

// The server's OpenAPI 3.0 definition: every path it answers, the items'
// query parameters with their ranges, and the responses' media types.
// baseUrl is the server's address, "http://127.0.0.1:8765".
nlohmann::ordered_json openApiDocument(const std::string& baseUrl, const std::string& title);

}  // namespace metdb

#endif  // METDB_TOOL_WEB_OPENAPIDOCUMENT_H_
