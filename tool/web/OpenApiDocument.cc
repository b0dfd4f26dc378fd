#include "tool/web/OpenApiDocument.h"

#include "tool/record/StationFields.h"
#include "tool/web/FeatureQuery.h"

namespace metdb {

namespace {

using nlohmann::ordered_json;

ordered_json parameter(const char* name, const char* description, ordered_json schema,
                       const char* in = "query") {
  ordered_json p = {{"name", name},
                    {"in", in},
                    {"description", description},
                    {"required", std::string(in) == "path"},
                    {"schema", std::move(schema)}};
  if (std::string(in) == "query") {
    p["style"] = "form";
    p["explode"] = false;
  }
  return p;
}

ordered_json response(const char* description, const char* mediaType,
                      ordered_json schema = {{"type", "object"}}) {
  return {{"description", description},
          {"content",
           {{mediaType, {{"schema", std::move(schema)}}},
            {"text/html", {{"schema", {{"type", "string"}}}}}}}};
}

ordered_json get(const char* summary, const char* id, ordered_json parameters,
                 const char* mediaType, ordered_json schema = {{"type", "object"}}) {
  ordered_json f =
      parameter("f", "The output format", {{"type", "string"}, {"enum", {"json", "html"}}});
  parameters.push_back(f);
  return {{"get",
           {{"summary", summary},
            {"operationId", id},
            {"parameters", std::move(parameters)},
            {"responses",
             {{"200", response("The answer", mediaType, std::move(schema))},
              {"400", response("A parameter is wrong; the description says which and why",
                               "application/json")}}}}}};
}

// A feature's properties: the record's main fields, and the station
// columns, present where the database has a station file and null where
// unknown.
ordered_json featureSchemas() {
  auto typed = [](const char* type, bool nullable = false) {
    ordered_json t = {{"type", type}};
    if (nullable) t["nullable"] = true;
    return t;
  };
  ordered_json properties = {{"index", typed("integer")},
                             {"name", typed("string")},
                             {"state", typed("string")},
                             {"country", typed("string")},
                             {"continent", typed("string")},
                             {"level", typed("integer")},
                             {"latitude", typed("number")},
                             {"longitude", typed("number")},
                             {"ids", {{"type", "array"}, {"items", typed("string")}}}};
  for (const std::string& scheme : knownIdSchemes()) properties[scheme] = typed("string", true);
  properties["elevation"] = typed("number", true);
  for (const char* c : {"timezone", "active_from", "active_to", "source"}) {
    properties[c] = typed("string", true);
  }
  properties["distanceKm"] = typed("number");
  properties["bearing"] = typed("number");
  ordered_json feature = {
      {"type", "object"},
      {"required", {"type", "id", "geometry", "properties"}},
      {"properties",
       {{"type", {{"type", "string"}, {"enum", {"Feature"}}}},
        {"id", typed("integer")},
        {"geometry", {{"type", "object"}, {"nullable", true}}},
        {"properties",
         {{"type", "object"},
          {"description",
           "Every field of the record (each monthly series as seriesA1..seriesE12); the station "
           "columns where the database has a station file, null where unknown; distanceKm and "
           "bearing with near"},
          {"properties", std::move(properties)}}}}}};
  ordered_json collection = {
      {"type", "object"},
      {"required", {"type", "features"}},
      {"properties",
       {{"type", {{"type", "string"}, {"enum", {"FeatureCollection"}}}},
        {"numberMatched", {{"type", "integer"}, {"minimum", 0}}},
        {"numberReturned", {{"type", "integer"}, {"minimum", 0}}},
        {"links", {{"type", "array"}, {"items", {{"type", "object"}}}}},
        {"features",
         {{"type", "array"}, {"items", {{"$ref", "#/components/schemas/locationFeature"}}}}}}}};
  return {{"locationFeature", std::move(feature)}, {"locationCollection", std::move(collection)}};
}

}  // namespace

ordered_json openApiDocument(const std::string& baseUrl, const std::string& title) {
  ordered_json items = ordered_json::array({
      parameter(
          "bbox",
          "Only features within west,south,east,north (CRS84); a west greater than the "
          "east crosses the 180th meridian",
          {{"type", "array"}, {"minItems", 4}, {"maxItems", 6}, {"items", {{"type", "number"}}}}),
      parameter("limit", "The most features on one page",
                {{"type", "integer"},
                 {"minimum", 1},
                 {"maximum", kMaxPageSize},
                 {"default", kDefaultPageSize}}),
      parameter("offset", "How many matching features come before the page",
                {{"type", "integer"}, {"minimum", 0}, {"default", 0}}),
      parameter("datetime", "Accepted and ignored: the locations have no time",
                {{"type", "string"}}),
      parameter("q", "Locations whose name or group matches the text (case and accents aside)",
                {{"type", "string"}}),
      parameter("near", "The locations nearest to LAT,LON, nearest first",
                {{"type", "string"}, {"pattern", "^-?[0-9.]+,-?[0-9.]+$"}}),
      parameter("k", "With near: how many",
                {{"type", "integer"}, {"minimum", 1}, {"maximum", kMaxPageSize}}),
      parameter("within_km", "With near: every location this near",
                {{"type", "number"}, {"minimum", 0}}),
      parameter("country", "Only this country (a pattern; * and ? are wildcards)",
                {{"type", "string"}}),
      parameter("continent", "Only this continent (a pattern)", {{"type", "string"}}),
      parameter("level", "Only locations of this level or lower",
                {{"type", "integer"}, {"minimum", 0}, {"maximum", 127}}),
      parameter("active",
                "Only locations in operation on this day (those of unknown dates count as in "
                "operation)",
                {{"type", "string"}, {"format", "date"}}),
  });
  ordered_json paths = {
      {"/", get("The landing page", "getLandingPage", ordered_json::array(), "application/json")},
      {"/conformance", get("The conformance classes", "getConformanceDeclaration",
                           ordered_json::array(), "application/json")},
      {"/api", get("This document", "getAPI", ordered_json::array(),
                   "application/vnd.oai.openapi+json;version=3.0")},
      {"/collections",
       get("The collections", "getCollections", ordered_json::array(), "application/json")},
      {"/collections/locations", get("The locations collection", "describeCollection",
                                     ordered_json::array(), "application/json")},
      {"/collections/locations/items",
       get("The locations as GeoJSON features", "getFeatures", items, "application/geo+json",
           {{"$ref", "#/components/schemas/locationCollection"}})},
      {"/collections/locations/items/{featureId}",
       get("One location by its record index", "getFeature",
           ordered_json::array({parameter("featureId", "The record index",
                                          {{"type", "integer"}, {"minimum", 0}}, "path")}),
           "application/geo+json", {{"$ref", "#/components/schemas/locationFeature"}})},
  };
  return {{"openapi", "3.0.3"},
          {"info",
           {{"title", title},
            {"version", "1.0.0"},
            {"description", "The locations of a metdb database, read-only"}}},
          {"servers", {{{"url", baseUrl}}}},
          {"paths", std::move(paths)},
          {"components", {{"schemas", featureSchemas()}}}};
}

}  // namespace metdb
