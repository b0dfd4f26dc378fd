#include "cli/commands/CreateCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "cli/Interrupted.h"
#include "cli/ToolDatabase.h"
#include "datafile/BMTFile.h"
#include "tool/database/DirectoryStats.h"
#include "tool/database/ScratchFolder.h"
#include "tool/record/StationCsv.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

struct CreateOptions {
  std::string stations;
  bool skipBad = false;
  bool force = false;
};

// Hierarchy order: continent, country and state by name ignoring case, then
// the order of locations within a state (name, higher level first, then
// latitude and longitude).
bool hierarchyLess(const StationRow& x, const StationRow& y) {
  const LocationData& a = x.record;
  const LocationData& b = y.record;
  if (int c = text::compareIgnoringCase(fieldText(a.continent), fieldText(b.continent)))
    return c < 0;
  if (int c = text::compareIgnoringCase(fieldText(a.country), fieldText(b.country))) return c < 0;
  if (int c = text::compareIgnoringCase(fieldText(a.state), fieldText(b.state))) return c < 0;
  if (int c = text::compareIgnoringCase(fieldText(a.name), fieldText(b.name))) return c < 0;
  if (a.level != b.level) return a.level > b.level;
  float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
  if (alat != blat) return alat < blat;
  return alon < blon;
}

std::string withoutPeriod(std::string s) {
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

// Reads the station list; reports and returns false when it cannot be used.
bool readStations(const CreateOptions& o, ToolContext& context, StationCsvResult* result) {
  std::error_code ec;
  if (fs::is_directory(o.stations, ec)) {
    context.error("\"" + o.stations + "\" is a folder, not a station list; nothing was written.");
    return false;
  }
  std::ifstream in(o.stations, std::ios::binary);
  if (!in) {
    context.error("Cannot open \"" + o.stations + "\": " + std::strerror(errno) +
                  "; nothing was written.");
    return false;
  }
  *result = StationCsv::parse(
      in, o.skipBad ? StationCsv::Mode::kSkipBadRows : StationCsv::Mode::kStopAtFirstError);
  for (const StationCsvIssue& w : result->warnings) context.warning(w.describe(o.stations));
  if (result->fatal) {
    for (const StationCsvIssue& e : result->errors) {
      context.error(withoutPeriod(e.describe(o.stations)) + "; nothing was written.");
    }
    return false;
  }
  if (!result->ok() && !o.skipBad) {
    context.error(withoutPeriod(result->errors.front().describe(o.stations)) +
                  "; nothing was written.");
    return false;
  }
  for (const StationCsvIssue& e : result->errors) {
    context.warning(withoutPeriod(e.describe(o.stations)) + "; the row is skipped.");
  }
  return true;
}

// Writes the rows, in their order, into a new database new.bmt with its
// directory file new.dir in folder. Each row is a check point.
bool buildDatabase(const ScratchFolder& folder, std::vector<StationRow>& rows, ToolContext& context,
                   DirectoryStats* stats) {
  BMTFile db(folder.file("new.bmt").c_str());
  if (!db.IsValid()) {
    context.error("Cannot make a new data file in \"" + folder.path() + "\".");
    return false;
  }
  LocationData previous;
  for (StationRow& row : rows) {
    stopIfInterrupted();
    long index = db.addLocationData(row.record);
    if (index < 0) {
      context.error("Cannot write the new data file in \"" + folder.path() +
                    "\" (is the disk full?); nothing was written.");
      return false;
    }
    db.directory->addOrderedEntry(row.record, previous, index);
  }
  if (!db.directory->write()) {
    context.error("Cannot write the new directory file in \"" + folder.path() +
                  "\"; nothing was written.");
    return false;
  }
  *stats = DirectoryStats::of(db.directory);
  return true;
}

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
  if (!readStations(o, context, &list)) return kExitFailure;
  std::stable_sort(list.rows.begin(), list.rows.end(), hierarchyLess);

  ScratchFolder folder(fs::path(target).parent_path().string());
  if (!folder.ok()) {
    context.error(folder.error() + "; nothing was written.");
    return kExitFailure;
  }
  DirectoryStats stats;
  if (!buildDatabase(folder, list.rows, context, &stats)) return kExitFailure;

  // The swap runs under the database lock, so that no other process opens
  // the database between the two renames or changes it meanwhile.
  access.lock(MetDatabaseLock::kExclusive);
  if (fs::exists(target, ec) && !o.force) {
    context.error("The data file \"" + target +
                  "\" was made by another process meanwhile; give --force to replace it "
                  "(nothing was written).");
    return kExitFailure;
  }
  // The data file goes first, and is newer than the old directory file:
  // should the process end between the two renames, the next opening finds
  // the old directory file out of date and rebuilds it.
  std::string newData = folder.file("new.bmt");
  fs::file_time_type oldDirTime = fs::last_write_time(targetDir, ec);
  if (!ec && fs::last_write_time(newData, ec) <= oldDirTime) {
    fs::last_write_time(newData, oldDirTime + std::chrono::nanoseconds(1), ec);
  }
  fs::rename(newData, target, ec);
  if (ec) {
    context.error("Cannot move the new data file to \"" + target + "\": " + ec.message() +
                  "; nothing was written.");
    return kExitFailure;
  }
  context.markChanged();
  fs::rename(folder.file("new.dir"), targetDir, ec);
  if (ec) {
    fs::remove(targetDir, ec);
    context.warning("Cannot move the new directory file to \"" + targetDir + "\": " + ec.message() +
                    "; it will be rebuilt when the database is first opened.");
  }

  std::string summary = "Created " + target + ": " +
                        text::plural(stats.locations, "location", "locations") + " in " +
                        text::plural(stats.continents, "continent", "continents") + ", " +
                        text::plural(stats.countries, "country", "countries") + " and " +
                        text::plural(stats.states, "state", "states");
  if (!list.errors.empty()) {
    summary +=
        "; " + text::plural(static_cast<long>(list.errors.size()), "row", "rows") + " skipped";
  }
  context.out << summary << ".\n";
  return kExitOk;
}

}  // namespace

void addCreateCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand("create", "Make a new database from a CSV station list");
  auto o = std::make_shared<CreateOptions>();
  command->add_option("STATIONS.csv", o->stations, "The station list (CSV with a header row)")
      ->required()
      ->type_name("");
  command->add_flag("--skip-bad", o->skipBad,
                    "Skip faulty rows (each is reported) instead of "
                    "stopping at the first");
  command->add_flag("--force", o->force, "Replace an existing data file");
  command->footer(
      "The header row names the columns name, state, country, continent, level, latitude,\n"
      "longitude and optionally auxValue and seriesA1..seriesA12 (likewise B, C, D, E).\n"
      "The database is the data file given with --db (or the configured one) and its\n"
      "directory file beside it.\n"
      "\n"
      "Example:\n"
      "  metdb --db stations.bmt create data/stations.csv");
  context->addCommand(command, [o, context] { return create(*o, *context); });
}

}  // namespace metdb
