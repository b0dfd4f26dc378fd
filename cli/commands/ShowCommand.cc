#include "cli/commands/ShowCommand.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/ToolDatabase.h"
#include "datafile/StationFile.h"
#include "tool/database/LocationPath.h"
#include "tool/record/RecordView.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

int show(const std::string& what, ToolContext& context) {
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;

  long index = 0;
  if (parseRecordIndex(what, &index)) {
    long records = access.recordCount();
    if (index >= records) {
      context.error("There is no record " + what + ": the data file holds " +
                    text::plural(records, "record", "records") + ", numbered from 0.");
      return kExitFailure;
    }
    LocationData record;
    db->getLocationData(index, record);
    writeRecordView(context.out, record, index, StationFile(*db).find(index));
    return kExitOk;
  }

  std::vector<Location*> found = findLocations(*db, what);
  StationFile stations(*db);
  if (found.empty()) {
    context.error("No location " + text::quoted(what) + " is in the database.");
    return kExitFailure;
  }
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (i > 0) context.out << '\n';
    LocationData record;
    db->getLocationData(found[i]->locationIndex, record);
    writeRecordView(context.out, record, found[i]->locationIndex,
                    stations.find(found[i]->locationIndex));
  }
  return kExitOk;
}

}  // namespace

void addShowCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand("show", "Show every field of one record");
  auto what = std::make_shared<std::string>();
  command
      ->add_option(
          "WHAT", *what,
          "A record index, an identifier SCHEME:VALUE (wmo:01026, icao:ENTC, ...), or a path "
          "CONTINENT/COUNTRY/STATE/NAME (names ignoring case)")
      ->required()
      ->check([](const std::string& what) { return checkIndexOrPath(what, true); }, "")
      ->type_name("");
  command->footer(
      "Examples:\n"
      "  metdb --db stations.bmt show 12\n"
      "  metdb --db stations.bmt show Europe/Finland/Finland/Helsinki\n"
      "  metdb --db ghcn.bmt show wmo:02974");
  context->addCommand(command, [what, context] { return show(*what, *context); });
}

}  // namespace metdb
