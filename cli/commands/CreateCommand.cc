#include "cli/commands/CreateCommand.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/ContentWarnings.h"
#include "cli/StationListOptions.h"
#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/DatabaseBuilder.h"
#include "tool/record/StationCsv.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

struct CreateOptions {
  StationListOptions stations;
  bool skipBad = false;
  bool force = false;
};

int create(const CreateOptions& o, ToolContext& context) {
  ToolDatabase access(context);
  access.checkName();
  const std::string& target = access.dataFile();
  std::string targetDir = access.directoryFile();
  std::error_code ec;
  fs::file_status status = fs::status(target, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    context.error("\"" + target + "\" is not a regular file; nothing was written.");
    return kExitFailure;
  }
  if (fs::exists(status) && !o.force) {
    context.error("The data file \"" + target +
                  "\" exists already; give --force to replace it (nothing was written).");
    return kExitFailure;
  }

  StationCsvResult list;
  if (!readStationsReporting(o.stations, o.skipBad, "nothing was written", context, &list)) {
    return kExitFailure;
  }
  sortIntoHierarchyOrder(&list.rows);
  DirectoryStats stats =
      createDatabase(access, list.rows, o.force, [&](const std::string& w) { context.warning(w); });

  std::string summary = "Created " + target + ": " +
                        text::plural(stats.locations, "location", "locations") + " in " +
                        text::plural(stats.continents, "continent", "continents") + ", " +
                        text::plural(stats.countries, "country", "countries") + " and " +
                        text::plural(stats.states, "state", "states");
  if (!list.errors.empty()) {
    summary +=
        "; " + text::plural(static_cast<long>(list.errors.size()), "row", "rows") + " skipped";
  }
  if (list.duplicateRows > 0) {
    summary +=
        "; " + text::plural(list.duplicateRows, "repeated row", "repeated rows") + " left out";
  }
  context.out << summary << ".\n";
  access.open(DatabaseUse::kRead);
  warnAboutContent(access, context, o.stations.reading.csv.keepDuplicates);
  return kExitOk;
}

}  // namespace

void addCreateCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand("create",
                                          "Make a new database from a station list (CSV, "
                                          "GHCN-Daily, ISD, OurAirports, GeoNames, GeoJSON)");
  auto o = std::make_shared<CreateOptions>();
  addStationListOptions(command, &o->stations);
  command->add_flag("--skip-bad", o->skipBad,
                    "Skip faulty rows (each is reported) instead of "
                    "stopping at the first");
  command->add_flag("--force", o->force, "Replace an existing data file");
  command->footer(
      "The list's format is told from its start, or named with --from: csv (the tool's\n"
      "own columns, or any CSV with --columns FIELD=COLUMN,...), ghcnd-stations (NOAA\n"
      "GHCN-Daily), isd-history (NOAA ISD), ourairports (--type large,medium keeps those),\n"
      "geonames (GeoNames' cities files), geojson (points) or gpkg (a GeoPackage's point\n"
      "layer, as export --format gpkg writes it). Countries given as ISO 3166\n"
      "or FIPS 10-4 codes get their names and continents from the tool's table; each\n"
      "format's rule gives the level unless --level N does. The database is checked as\n"
      "\"check --content\" checks it at the end, and what it finds is said as warnings.\n"
      "\n"
      "The tool's own CSV has a header row naming the columns name, state, country,\n"
      "continent, latitude, longitude and optionally level (1 when left out), auxValue and\n"
      "seriesA1..seriesA12 (likewise B, C, D, E). Fields are separated by commas, semicolons\n"
      "or tabs, whichever the header uses (or as --delimiter says). Every list is UTF-8\n"
      "unless --encoding names its character set; bytes that are not text in it are\n"
      "reported with their line.\n"
      "A row that repeats an earlier one (the same names ignoring case, level and\n"
      "position) is left out with a warning, unless --keep-duplicates is given.\n"
      "The database is the data file given with --db (or the configured one) and its\n"
      "directory file beside it.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt create data/stations.csv\n"
      "  metdb --db old.bmt create --encoding windows-1252 --delimiter ';' old-stations.csv\n"
      "  gunzip -c stations.csv.gz | metdb --db stations.bmt create -\n"
      "  metdb --db ghcn.bmt create ghcnd-stations.txt\n"
      "  metdb --db airports.bmt create airports.csv --type large,medium\n"
      "  metdb --db wmo.bmt create wmo.csv --columns name=STATION,latitude=LAT,longitude=LON,"
      "country-iso=CC");
  context->addCommand(command, [o, context] { return create(*o, *context); });
}

}  // namespace metdb
