#include "cli/commands/MapCommand.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <filesystem>
#include <memory>
#include "cli/FilterOptions.h"

#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/SelectedLocations.h"
#include "tool/geo/DataFolderOutlines.h"
#include "tool/geo/LocationMap.h"
#include "tool/geo/WorldMap.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct MapOptions {
  Filters filters;
  MapRequest request;
  std::string extent;
  std::string around;
  std::string colourBy = "continent";
  std::string projection;
};

bool endsWithIgnoringCase(const std::string& name, const std::string& suffix) {
  return name.size() > suffix.size() &&
         text::equalIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

// "LAT,LON" into the two numbers; false with *why set when it is not.
bool parsePoint(const std::string& value, double* latitude, double* longitude, std::string* why) {
  std::vector<std::string> parts = text::split(value, ',');
  if (parts.size() != 2 || !text::parseNumber(parts[0], latitude) ||
      !text::parseNumber(parts[1], longitude)) {
    *why = text::quoted(value) + " is not LAT,LON";
    return false;
  }
  if (!(std::fabs(*latitude) <= 90.0) || !(std::fabs(*longitude) <= 180.0)) {
    *why = text::quoted(value) + " is not a position (latitude -90..90, longitude -180..180)";
    return false;
  }
  return true;
}

ProjectionKind projectionKind(const std::string& name) {
  if (name == "north-polar") return ProjectionKind::kNorthPolar;
  if (name == "south-polar") return ProjectionKind::kSouthPolar;
  return ProjectionKind::kEquirectangular;
}

MapColouring colouring(const std::string& name) {
  if (name == "country") return MapColouring::kCountry;
  if (name == "level") return MapColouring::kLevel;
  return MapColouring::kContinent;
}

int drawMap(MapOptions& o, ToolContext& context) {
  MapRequest& request = o.request;
  request.colouring = colouring(o.colourBy);
  if (!o.projection.empty()) {
    request.projectionGiven = true;
    request.projection = projectionKind(o.projection);
  }
  if (!o.extent.empty()) {
    request.framing = MapFraming::kExtent;
    request.extent = MapExtent::parse(o.extent);
  } else if (!o.around.empty()) {
    request.framing = MapFraming::kAround;
    std::string why;
    if (!parsePoint(o.around, &request.latitude, &request.longitude, &why)) {
      throw Error("--around: " + why + ".");
    }
  }

  ToolDatabase access(context);
  SelectedLocations selected;
  selected.openAndBuild(o.filters, access);
  request.databaseName = std::filesystem::path(access.dataFile()).filename().string();
  request.filters = o.filters.describe();
  DataFolderOutlines outlines;
  MapOutcome outcome = drawLocationMap(selected, request, &outlines);

  context.markChanged();
  if (!outlines.missing().empty()) {
    context.warning("The map has no land: " + text::quoted(outlines.missing()) +
                    " is missing (METDB_DATA_DIR names the data folder).");
  }
  if (outcome.unplaced > 0) {
    context.warning(
        text::plural(outcome.unplaced, "selected location has", "selected locations have") +
        " no position on the globe and " + (outcome.unplaced == 1 ? "is" : "are") + " not shown.");
  }
  context.err << "metdb: " << text::plural(outcome.drawn, "location", "locations") << " drawn";
  if (outcome.outside > 0) context.err << " (" << outcome.outside << " outside the map)";
  context.err << " in " << request.output << " (" << projectionName(outcome.projection) << ", "
              << outcome.width << " x " << outcome.height << " pixels).\n";
  return kExitOk;
}

}  // namespace

void addMapCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("map", "Draw the selected locations on a map, as an SVG or PNG picture");
  auto o = std::make_shared<MapOptions>();
  command
      ->add_option("-o,--output", o->request.output, "The picture to write: FILE.svg or FILE.png")
      ->required()
      ->type_name("FILE")
      ->check(CLI::Validator(
          [](std::string& value) -> std::string {
            if (endsWithIgnoringCase(value, ".svg") || endsWithIgnoringCase(value, ".png")) {
              return "";
            }
            return text::quoted(value) + " ends in neither .svg nor .png";
          },
          ""));
  command
      ->add_option("--width", o->request.width,
                   "Width of the picture in pixels (default 1200); the height follows")
      ->type_name("PX")
      ->check(CLI::Range(WorldMap::kMinWidth, WorldMap::kMaxWidth));
  CLI::Option* extent =
      command
          ->add_option("--extent", o->extent,
                       "Show this region, in degrees (WEST > EAST crosses the 180th meridian)")
          ->type_name("WEST,SOUTH,EAST,NORTH")
          ->check(CLI::Validator(
              [](std::string& value) -> std::string {
                try {
                  MapExtent::parse(value);
                } catch (const Error& e) {
                  std::string why = e.what();
                  return why.substr(std::string("--extent: ").size(),
                                    why.size() - std::string("--extent: ").size() - 1);
                }
                return "";
              },
              ""));
  CLI::Option* world = command->add_flag(
      "--world", [o](std::int64_t) { o->request.framing = MapFraming::kWorld; },
      "Show the whole globe");
  CLI::Option* projection =
      command
          ->add_option("--projection", o->projection,
                       "equirectangular (default), north-polar or south-polar (polar "
                       "stereographic); without it a region near a pole is drawn polar")
          ->type_name("NAME")
          ->check(CLI::IsMember({"equirectangular", "north-polar", "south-polar"}));
  CLI::Option* around =
      command
          ->add_option("--around", o->around,
                       "Azimuthal equidistant map round this point, with rings of distance "
                       "(needs --radius-km)")
          ->type_name("LAT,LON")
          ->check(CLI::Validator(
              [](std::string& value) -> std::string {
                double latitude, longitude;
                std::string why;
                return parsePoint(value, &latitude, &longitude, &why) ? "" : why;
              },
              ""));
  CLI::Option* radius =
      command
          ->add_option("--radius-km", o->request.radiusKm,
                       "How far the --around map reaches, in kilometres (at most 10000)")
          ->type_name("R")
          ->check(CLI::Range(0.001, kMaxRadiusKm));
  around->needs(radius);
  radius->needs(around);
  around->excludes(extent)->excludes(world)->excludes(projection);
  extent->excludes(world);
  // The whole globe is drawn equirectangular: a polar projection of it has
  // no bounds.
  world->excludes(projection);
  command
      ->add_option("--dot-size", o->request.dotSize,
                   "Diameter of the dots in pixels (default: smaller and fainter the more "
                   "locations are drawn)")
      ->type_name("PX")
      ->check(CLI::Range(0.5, 100.0));
  command
      ->add_option("--color-by", o->colourBy,
                   "What the dots' colours tell apart: continent (default), country or level")
      ->type_name("WHAT")
      ->check(CLI::IsMember({"continent", "country", "level"}));
  addFilterOptions(command, &o->filters, true);
  command->footer(
      "The map frames the selected locations with a margin (a selection across the\n"
      "180th meridian is centred on it); --extent chooses the region, --world the\n"
      "whole globe. It is equirectangular, or polar stereographic for a region\n"
      "near a pole, and draws the land, country borders and coastlines (Natural\n"
      "Earth, finer when zoomed in), a grid whose step follows the region, a scale\n"
      "bar and a legend. Each location is a dot coloured by its continent, country\n"
      "or level (the ten largest groups get a colour each, the others share grey);\n"
      "dots on one pixel add up. When at most 200 locations are drawn their names\n"
      "are written beside the dots, each where it overlaps no other name or dot\n"
      "(names with no such place are left out). The picture's format follows the\n"
      "file's extension; an SVG holds a circle per dot up to 20000 dotted pixels and\n"
      "one embedded image of the dots beyond.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt map --continent Europe -o europe.png\n"
      "  metdb --db stations.bmt map --world -o world.svg --width 2000\n"
      "  metdb --db stations.bmt map --extent 170,-25,-170,0 --color-by country -o fiji.png\n"
      "  metdb --db stations.bmt map --around 60.17,24.94 --radius-km 800 -o helsinki.png");
  context->addCommand(command, [o, context] { return drawMap(*o, *context); });
}

}  // namespace metdb
