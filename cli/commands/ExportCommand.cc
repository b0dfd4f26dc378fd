#include "cli/commands/ExportCommand.h"

#include <CLI/CLI.hpp>

#include <memory>
#include "cli/FilterOptions.h"

#include "cli/ToolDatabase.h"
#include "tool/database/FileReplacement.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/GeoJsonFeature.h"
#include "tool/record/JsonArrayWriter.h"
#include "tool/record/RecordJson.h"
#include "tool/record/StationCsv.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct ExportOptions {
  Filters filters;
  std::string format = "csv";
  std::string output;
};

// Writes the selected records to out in format. Returns the number of
// records that a GeoJSON export could not place (always 0 for the others).
long write(SelectedLocations& selected, const std::string& format, std::ostream& out) {
  if (format == "csv") {
    StationCsv::writeHeader(out);
    selected.forEach([&](const LocationData& r, long) { StationCsv::writeRecord(out, r); });
    return 0;
  }
  // One object per line inside the array: readable, and never the whole
  // list in memory.
  long unplaced = 0;
  const bool geojson = format == "geojson";
  JsonArrayWriter array(out, geojson ? "{\"type\": \"FeatureCollection\", \"features\": [" : "[");
  selected.forEach([&](const LocationData& r, long index) {
    bool placed = true;
    array.add(geojson ? geoJsonFeature(r, index, &placed) : recordToJson(r, index));
    if (!placed) ++unplaced;
  });
  array.end(geojson ? "]}" : "]");
  return unplaced;
}

void warnUnplaced(long unplaced, ToolContext& context) {
  if (unplaced == 0) return;
  context.warning(text::plural(unplaced, "record has", "records have") +
                  " no position on the globe and " + (unplaced == 1 ? "was" : "were") +
                  " written with \"geometry\": null.");
}

int exportRecords(const ExportOptions& o, ToolContext& context) {
  ToolDatabase access(context);
  SelectedLocations selected;
  selected.openAndBuild(o.filters, access);
  if (o.output.empty() || o.output == "-") {
    warnUnplaced(write(selected, o.format, context.out), context);
    return kExitOk;
  }
  // The text goes to a new file beside the old one and replaces it durably
  // only when complete.
  FileReplacement replacement(o.output);
  long unplaced = write(selected, o.format, replacement.out());
  replacement.commit();
  context.markChanged();
  warnUnplaced(unplaced, context);
  context.err << "metdb: " << text::plural(selected.count(), "record", "records") << " written to "
              << o.output << ".\n";
  return kExitOk;
}

}  // namespace

void addExportCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "export", "Write every field of the selected records as CSV, JSON or GeoJSON");
  auto o = std::make_shared<ExportOptions>();
  command
      ->add_option("--format", o->format,
                   "csv (a station list that create reads), json, or geojson (a FeatureCollection "
                   "of points for GIS tools)")
      ->check(CLI::IsMember({"csv", "json", "geojson"}))
      ->type_name("csv|json|geojson");
  command
      ->add_option("--output", o->output,
                   "Write to FILE instead of standard output (\"-\": standard output)")
      ->type_name("FILE");
  addFilterOptions(command, &o->filters, true);
  command->footer(
      "GeoJSON gives each record as a Point feature at [longitude, latitude] with\n"
      "every field among its properties (a series as twelve numbers, seriesA1 ..\n"
      "seriesA12, as in the CSV); a record whose position is not on the\n"
      "globe gets a null geometry and a warning.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt export --country Norway --format json\n"
      "  metdb --db stations.bmt export --output backup.csv\n"
      "  metdb --db stations.bmt export --format geojson --output stations.geojson");
  context->addCommand(command, [o, context] { return exportRecords(*o, *context); });
}

}  // namespace metdb
