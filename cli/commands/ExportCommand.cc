#include "cli/commands/ExportCommand.h"

#include <CLI/CLI.hpp>

#include <memory>
#include "cli/FilterOptions.h"

#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/FileReplacement.h"
#include "tool/database/ScratchFolder.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/GeoJsonFeature.h"
#include "tool/record/GeoPackageWriter.h"
#include "tool/record/JsonArrayWriter.h"
#include "tool/record/RecordJson.h"
#include "tool/record/StationCsv.h"
#include "tool/record/StationFields.h"
#include "tool/text/InputFile.h"
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
  // A database with a station file exports its columns too.
  bool stations = selected.hasStations();
  if (format == "csv") {
    StationCsv::writeHeader(out, stations);
    selected.forEach([&](const LocationData& r, long index) {
      if (stations) {
        StationCsv::writeRecord(out, r, selected.station(index));
      } else {
        StationCsv::writeRecord(out, r);
      }
    });
    return 0;
  }
  // One object per line inside the array: readable, and never the whole
  // list in memory.
  long unplaced = 0;
  const bool geojson = format == "geojson";
  JsonArrayWriter array(out, geojson ? "{\"type\": \"FeatureCollection\", \"features\": [" : "[");
  std::string feature;
  selected.forEach([&](const LocationData& r, long index) {
    if (geojson) {
      bool placed = true;
      nlohmann::ordered_json members = nlohmann::ordered_json::object();
      if (stations) addStationMembers(members, selected.station(index), true);
      feature.clear();
      appendGeoJsonFeature(&feature, r, index, &members, &placed);
      array.addText(feature);
      if (!placed) ++unplaced;
      return;
    }
    nlohmann::ordered_json object = recordToJson(r, index);
    if (stations) addStationMembers(object, selected.station(index), false);
    array.add(object);
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

// Writes the selected records into a GeoPackage at path; returns the
// number it could not place.
long writeGeoPackage(SelectedLocations& selected, const std::string& path) {
  const bool stations = selected.hasStations();
  GeoPackageWriter writer(path, stations);
  long unplaced = 0;
  selected.forEach([&](const LocationData& r, long index) {
    if (!writer.add(r, index, stations ? selected.station(index) : nullptr)) ++unplaced;
  });
  writer.finish();
  return unplaced;
}

int exportRecords(const ExportOptions& o, ToolContext& context) {
  const bool toStandardOutput = o.output.empty() || o.output == "-";
  if (o.format == "gpkg" && toStandardOutput) {
    throw Error("--format gpkg writes a database file, not a stream: give --output FILE.gpkg.");
  }
  ToolDatabase access(context);
  SelectedLocations selected;
  selected.openAndBuild(o.filters, access);
  if (toStandardOutput) {
    warnUnplaced(write(selected, o.format, context.out), context);
    return kExitOk;
  }
  // The text goes to a new file beside the old one and replaces it durably
  // only when complete.
  FileReplacement replacement(o.output);
  long unplaced = 0;
  if (o.format == "gpkg") {
    // SQLite writes the GeoPackage's file itself, in a work folder beside
    // the target; its bytes then go into the replacement.
    std::string::size_type slash = o.output.rfind('/');
    ScratchFolder work(slash == std::string::npos ? "" : o.output.substr(0, slash + 1));
    if (!work.ok()) replacement.fail(work.error());
    std::string path = work.file("new.gpkg");
    unplaced = writeGeoPackage(selected, path);
    InputFile written(path);
    replacement.out() << &written;
    if (!written.fault().empty()) throw Error(written.fault());
  } else {
    unplaced = write(selected, o.format, replacement.out());
  }
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
                   "csv (a station list that create reads), json, geojson (a FeatureCollection "
                   "of points for GIS tools) or gpkg (an OGC GeoPackage; needs --output)")
      ->check(CLI::IsMember({"csv", "json", "geojson", "gpkg"}))
      ->type_name("csv|json|geojson|gpkg");
  command
      ->add_option("--output", o->output,
                   "Write to FILE instead of standard output (\"-\": standard output)")
      ->type_name("FILE");
  addFilterOptions(command, &o->filters, true);
  command->footer(
      "GeoJSON gives each record as a Point feature at [longitude, latitude] with\n"
      "every field among its properties (a series as twelve numbers, seriesA1 ..\n"
      "seriesA12, as in the CSV); a record whose position is not on the\n"
      "globe gets a null geometry and a warning. A GeoPackage holds the same as one\n"
      "point layer, \"locations\", in WGS 84 with its R-tree spatial index, which QGIS\n"
      "and GDAL open directly and create --from gpkg reads back.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt export --country Norway --format json\n"
      "  metdb --db stations.bmt export --output backup.csv\n"
      "  metdb --db stations.bmt export --format geojson --output stations.geojson\n"
      "  metdb --db stations.bmt export --format gpkg --output stations.gpkg");
  context->addCommand(command, [o, context] { return exportRecords(*o, *context); });
}

}  // namespace metdb
