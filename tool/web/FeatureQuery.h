#ifndef METDB_TOOL_WEB_FEATUREQUERY_H_
#define METDB_TOOL_WEB_FEATUREQUERY_H_

#include <string>
#include <utility>
#include <vector>

#include "tool/database/Filters.h"

namespace metdb {

// A request's query parameters, decoded, in the order given.
using QueryParameters = std::vector<std::pair<std::string, std::string>>;

// The most features one page may hold, and how many it holds unless asked.
constexpr long kMaxPageSize = 10000;
constexpr long kDefaultPageSize = 10;

// What a request for the locations' features asks, from its query
// parameters: OGC API - Features' bbox (CRS84: west,south,east,north; a west
// east of the east crosses the 180th meridian) and limit, the paging offset,
// and the tool's own: q (find), near=LAT,LON with k and within_km, country,
// continent (patterns as the tool's filters take them), level (the level
// limit) and active (a day, YYYY-MM-DD: the locations operating then, those
// of unknown dates included).
struct FeatureQuery {
  Filters filters;  // country, continent, level limit, box, active
  long limit = kDefaultPageSize;
  long offset = 0;
  std::string text;  // q; empty: no search
  bool near = false;
  double latitude = 0, longitude = 0;
  long k = kDefaultPageSize;
  double withinKm = -1;  // < 0: not given
  // "json" or "html": from f, else from the Accept header.
  std::string format = "json";

  // The parameters that a page's links carry over (all but offset and f),
  // encoded for a URL, each followed by '&'.
  std::string carried;
};

// The query parameters that the items accept.
const std::vector<std::string>& featureQueryParameters();

// Reads params into *query. Returns "" or what is wrong as one sentence
// naming the parameter and why (an unknown or repeated parameter, a value
// that is not valid UTF-8, out of range, or not of its form).
std::string parseFeatureQuery(const QueryParameters& params, FeatureQuery* query);

// The output format that f (when given) or else an Accept header asks for:
// "json" or "html"; "" when f names neither.
std::string outputFormat(const QueryParameters& params, const std::string& accept);

// value encoded for a URL's query.
std::string urlEncode(const std::string& value);

}  // namespace metdb

#endif  // METDB_TOOL_WEB_FEATUREQUERY_H_
