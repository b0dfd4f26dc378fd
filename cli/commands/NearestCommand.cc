#include "cli/commands/NearestCommand.h"

#include <CLI/CLI.hpp>

#include <cstring>
#include <filesystem>
#include <memory>
#include "cli/FilterOptions.h"

#include "cli/LocationTable.h"
#include "cli/ToolDatabase.h"
#include "tool/database/SelectedLocations.h"
#include "tool/geo/DataFolderOutlines.h"
#include "tool/geo/LocationMap.h"
#include "tool/geo/NearestLocations.h"
#include "tool/geo/NearestQuery.h"
#include "tool/geo/WorldMap.h"
#include "tool/record/JsonArrayWriter.h"
#include "tool/record/RecordJson.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct NearestOptions {
  Filters filters;
  double latitude = 0.0;
  double longitude = 0.0;
  int count = 5;
  double maxKm = std::numeric_limits<double>::infinity();
  double withinKm = -1.0;  // --within: negative when not given
  std::string format = "table";
  std::string map;  // --map FILE: also draw the answer
  int mapWidth = 1200;
};

// The command line's check of a number that must lie within -limit..limit
// (limit infinite: at least 0).
CLI::Validator numberWithin(double limit) {
  return CLI::Validator(
      [limit](std::string& value) -> std::string {
        double v;
        if (!text::parseNumber(value, &v)) return text::quoted(value) + " is not a number";
        if (limit == std::numeric_limits<double>::infinity() && v < 0.0) {
          return text::quoted(value) + " is negative";
        }
        if (v < -limit || v > limit) {
          return text::quoted(value) + " is outside " + text::shortestFloat(-limit) + ".." +
                 text::shortestFloat(limit);
        }
        return "";
      },
      "");
}

std::string kilometres(double metres) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", metres / 1000.0);
  return buffer;
}

std::string degrees(double bearing) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", bearing);
  // 359.96 rounds to 360.0, which is north.
  return std::strcmp(buffer, "360.0") == 0 ? "0.0" : buffer;
}

int nearest(const NearestOptions& o, ToolContext& context) {
  ToolDatabase access(context);
  SelectedLocations selected;
  selected.openAndBuild(o.filters, access);
  NearestQuery query;
  query.latitude = o.latitude;
  query.longitude = o.longitude;
  query.count = static_cast<std::size_t>(o.count);
  query.maxKm = o.maxKm;
  query.withinKm = o.withinKm;
  NearestAnswer answer = answerNearest(query, selected.entries(), access.db());
  if (!answer.warning.empty()) context.warning(answer.warning);
  const std::vector<NearLocation>& found = answer.found;

  if (!o.map.empty()) {
    MapRequest request;
    request.output = o.map;
    request.width = o.mapWidth;
    request.latitude = o.latitude;
    request.longitude = o.longitude;
    request.databaseName = std::filesystem::path(access.dataFile()).filename().string();
    request.filters = o.filters.describe();
    DataFolderOutlines outlines;
    MapOutcome outcome = drawNearestMap(found, request, &outlines);
    context.markChanged();
    if (!outlines.missing().empty()) {
      context.warning("The map has no land: " + text::quoted(outlines.missing()) +
                      " is missing (METDB_DATA_DIR names the data folder).");
    }
    context.err << "metdb: " << text::plural(outcome.drawn, "location", "locations") << " drawn in "
                << o.map << " (" << outcome.width << " x " << outcome.height << " pixels).\n";
  }

  if (o.format == "json") {
    JsonArrayWriter array(context.out);
    for (const NearLocation& n : found) {
      nlohmann::ordered_json item = recordToJson(n.record, n.recordIndex);
      item["distanceKm"] = n.metres / 1000.0;
      item["bearing"] = n.bearing;
      array.add(item);
    }
    array.end();
    return kExitOk;
  }

  if (found.empty()) {
    context.out << (answer.searched == 0
                        ? std::string("No location is selected.\n")
                        : "No location lies within " +
                              text::shortestFloat(static_cast<float>(query.limitKm())) + " km.\n");
    return kExitOk;
  }
  LocationTable table({"KM", "BEARING"});
  auto leading = [](const NearLocation& n) {
    return std::vector<std::string>{kilometres(n.metres), degrees(n.bearing)};
  };
  for (const NearLocation& n : found) table.measure(n.record, n.recordIndex, leading(n));
  table.writeHeadings(context.out);
  for (const NearLocation& n : found) {
    table.writeRow(context.out, n.record, n.recordIndex, leading(n));
  }
  context.out << text::plural(static_cast<long>(found.size()), "location", "locations") << " of "
              << answer.searched << ", nearest first.\n";
  return kExitOk;
}

}  // namespace

void addNearestCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "nearest", "The locations nearest to a point, by geodesic distance on the WGS84 ellipsoid");
  auto o = std::make_shared<NearestOptions>();
  command
      ->add_option("LAT", o->latitude, "Latitude of the point in degrees, -90..90 (north positive)")
      ->required()
      ->check(numberWithin(90.0))
      ->type_name("");
  command
      ->add_option("LON", o->longitude,
                   "Longitude of the point in degrees, -180..180 (east positive)")
      ->required()
      ->check(numberWithin(180.0))
      ->type_name("");
  CLI::Option* k = command->add_option("-k", o->count, "How many locations to show (default 5)")
                       ->type_name("N")
                       ->check(CLI::Range(1, std::numeric_limits<int>::max()));
  CLI::Option* maxKm =
      command->add_option("--max-km", o->maxKm, "Only locations at most D kilometres away")
          ->type_name("D")
          ->check(numberWithin(std::numeric_limits<double>::infinity()));
  command
      ->add_option("--within", o->withinKm,
                   "Every location at most D kilometres away, however many (instead of -k)")
      ->type_name("D")
      ->check(numberWithin(std::numeric_limits<double>::infinity()))
      ->excludes(k)
      ->excludes(maxKm);
  command
      ->add_option("--format", o->format,
                   "table (default) or json (an array of the records, each with distanceKm and "
                   "bearing last)")
      ->check(CLI::IsMember({"table", "json"}))
      ->type_name("table|json");
  command
      ->add_option("--map", o->map,
                   "Also draw the answer: a map round the point with rings of distance, each "
                   "location labelled with its name and distance")
      ->type_name("FILE.png|FILE.svg")
      ->check(CLI::Validator(
          [](std::string& value) -> std::string {
            auto endsWith = [&value](const char* suffix) {
              std::size_t n = std::strlen(suffix);
              return value.size() > n &&
                     text::equalIgnoringCase(value.substr(value.size() - n), suffix);
            };
            if (endsWith(".svg") || endsWith(".png")) return "";
            return text::quoted(value) + " ends in neither .svg nor .png";
          },
          ""));
  command
      ->add_option("--map-width", o->mapWidth,
                   "Width of the --map picture in pixels (default 1200)")
      ->type_name("PX")
      ->check(CLI::Range(WorldMap::kMinWidth, WorldMap::kMaxWidth));
  addFilterOptions(command, &o->filters, true);
  command->footer(
      "Distances are in kilometres along the geodesic; the bearing is the initial\n"
      "direction from the point, in degrees clockwise from north. Equally distant\n"
      "locations come in walk order. A negative latitude or longitude is written\n"
      "as it is (nearest -33.9 18.4). --map draws the point, the locations found and\n"
      "rings of distance on an azimuthal equidistant map (every distance from the\n"
      "point true) that reaches a little past the farthest of them.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt nearest 60.17 24.94\n"
      "  metdb --db stations.bmt nearest 60.17 24.94 -k 8 --map helsinki.png\n"
      "  metdb --db stations.bmt nearest -33.92 18.42 -k 3 --max-km 2000 --continent Africa\n"
      "  metdb --db stations.bmt nearest 47.37 8.54 --within 50");
  context->addCommand(command, [o, context] { return nearest(*o, *context); });
}

}  // namespace metdb
