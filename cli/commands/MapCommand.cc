#include "cli/commands/MapCommand.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include "cli/FilterOptions.h"

#include "cli/ToolDatabase.h"
#include "tool/database/FileReplacement.h"
#include "tool/database/SelectedLocations.h"
#include "tool/geo/WorldMap.h"
#include "tool/record/RecordPosition.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct MapOptions {
  Filters filters;
  std::string output;
  int width = 1200;
};

bool endsWithIgnoringCase(const std::string& name, const std::string& suffix) {
  return name.size() > suffix.size() &&
         text::equalIgnoringCase(name.substr(name.size() - suffix.size()), suffix);
}

int drawMap(const MapOptions& o, ToolContext& context) {
  ToolDatabase access(context);
  SelectedLocations selected;
  selected.openAndBuild(o.filters, access);

  WorldMap map(o.width);
  long unplaced = 0;
  selected.forEach([&](const LocationData& r, long) {
    RecordPosition position(r);
    if (position.onGlobe()) {
      map.add(fieldText(r.continent), position.latitude, position.longitude);
    } else {
      ++unplaced;
    }
  });
  std::string filters = o.filters.describe();
  std::string subtitle = filters.empty() ? "All locations" : "Selected by " + filters;
  if (unplaced > 0) {
    subtitle += "; " + text::plural(unplaced, "location", "locations") +
                " without a position on the globe not shown";
    context.warning(text::plural(unplaced, "selected location has", "selected locations have") +
                    " no position on the globe and " + (unplaced == 1 ? "is" : "are") +
                    " not shown.");
  }
  map.setTitle(std::filesystem::path(access.dataFile()).filename().string() + ": " +
                   text::plural(map.count(), "location", "locations"),
               subtitle);
  if (selected.count() == 0) {
    map.setNotice("No location is selected");
  } else if (map.count() == 0) {
    map.setNotice("No selected location has a position on the globe");
  }

  FileReplacement replacement(o.output);
  if (endsWithIgnoringCase(o.output, ".png")) {
    map.writePng(replacement.path(), o.output);
  } else {
    map.writeSvg(replacement.path(), o.output);
  }
  replacement.commit();
  context.markChanged();
  context.err << "metdb: " << text::plural(map.count(), "location", "locations") << " drawn in "
              << o.output << " (" << map.width() << " x " << map.height() << " pixels).\n";
  return kExitOk;
}

}  // namespace

void addMapCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "map", "Draw the selected locations on a world map, as an SVG or PNG picture");
  auto o = std::make_shared<MapOptions>();
  command->add_option("-o,--output", o->output, "The picture to write: FILE.svg or FILE.png")
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
      ->add_option("--width", o->width,
                   "Width of the picture in pixels (default 1200); the height follows")
      ->type_name("PX")
      ->check(CLI::Range(WorldMap::kMinWidth, WorldMap::kMaxWidth));
  addFilterOptions(command, &o->filters, true);
  command->footer(
      "The world is drawn equirectangular (longitude across, latitude up, a degree\n"
      "as long either way) with lines every 30 degrees. Each location is a dot\n"
      "coloured by its continent; the legend counts them, and the title names the\n"
      "database, the number of locations and the filters. The picture's format\n"
      "follows the file's extension. An SVG holds a shape for every dot that\n"
      "shows (dots on one pixel in one colour count once): for a selection of\n"
      "tens of thousands of locations, PNG is the far smaller file.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt map -o world.png\n"
      "  metdb --db stations.bmt map --continent Europe -o europe.svg --width 2000");
  context->addCommand(command, [o, context] { return drawMap(*o, *context); });
}

}  // namespace metdb
