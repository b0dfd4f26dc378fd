#include "cli/commands/AddCommand.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <memory>

#include "cli/RecordOptions.h"
#include "cli/StationOptions.h"
#include "cli/ToolDatabase.h"
#include "tool/database/LocationPath.h"
#include "tool/database/RecordEditor.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

int add(const RecordOptions& options, const StationOptions& station, ToolContext& context) {
  LocationData base;
  base.level = 1;
  LocationData record;
  std::vector<std::string> warnings;
  std::string error;
  if (!options.apply(base, &record, &warnings, &error)) {
    return context.usageError(error);
  }
  for (const std::string& w : warnings) context.warning(w);

  ToolDatabase access(context);
  access.open(DatabaseUse::kWrite);
  RecordEditor editor(access);
  long index = editor.add(&record, station.applyTo(StationInfo()));
  context.out << "Added " << recordPath(record) << " as record "
              << (index >= 0 ? std::to_string(index) : std::string("?")) << "; the database holds "
              << text::plural(access.db()->directory->locationCount, "location", "locations")
              << ".\n";
  return kExitOk;
}

}  // namespace

void addAddCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("add", "Add a location to its group (its record appended)");
  auto options = std::make_shared<RecordOptions>();
  options->addOptions(command, true);
  auto station = std::make_shared<StationOptions>();
  station->addOptions(command);
  command->footer(
      "The level is 1 unless --level is given; the state may be left out (empty); the\n"
      "series and the application value are 0 unless given.\n"
      "\n"
      "Example:\n"
      "  metdb --db stations.bmt add --name Tromso --state Troms --country Norway \\\n"
      "        --continent Europe --level 2 --latitude 69.65 --longitude 18.96 \\\n"
      "        --add-id wmo:01026 --add-id icao:ENTC --elevation 10 --timezone Europe/Oslo");
  context->addCommand(command,
                      [options, station, context] { return add(*options, *station, *context); });
}

}  // namespace metdb
