#include "cli/commands/SetCommand.h"

#include <CLI/CLI.hpp>
#include <cstring>
#include <memory>

#include "cli/RecordOptions.h"
#include "cli/ToolDatabase.h"
#include "tool/database/LocationPath.h"
#include "tool/database/RecordEditor.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct SetOptions {
  long index = 0;
  RecordOptions fields;
};

// Whether a and b are the same location for the directory: the same names
// (ignoring case), level and position.
bool sameKeys(const LocationData& a, const LocationData& b) {
  float alat = a.latitude, blat = b.latitude, alon = a.longitude, blon = b.longitude;
  return text::equalIgnoringCase(fieldText(a.continent), fieldText(b.continent)) &&
         text::equalIgnoringCase(fieldText(a.country), fieldText(b.country)) &&
         text::equalIgnoringCase(fieldText(a.state), fieldText(b.state)) &&
         text::equalIgnoringCase(fieldText(a.name), fieldText(b.name)) && a.level == b.level &&
         std::memcmp(&alat, &blat, sizeof alat) == 0 && std::memcmp(&alon, &blon, sizeof alon) == 0;
}

int setRecord(const SetOptions& o, ToolContext& context) {
  if (!o.fields.anyGiven()) {
    return context.usageError("give at least one field to change, such as --level 2");
  }
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kWrite);
  if (db == nullptr) return kExitFailure;
  RecordEditor editor(access);
  if (o.index >= access.recordCount() || !editor.moveCursorTo(o.index)) {
    context.error("No location refers to record " + std::to_string(o.index) +
                  " (the database holds " +
                  text::plural(access.recordCount(), "record", "records") + ").");
    return kExitFailure;
  }
  LocationData old;
  db->getLocationData(o.index, old);
  LocationData record;
  std::vector<std::string> warnings;
  std::string error;
  if (!o.fields.apply(old, &record, &warnings, &error)) {
    context.error(error + ".");
    return kExitFailure;
  }
  for (const std::string& w : warnings) context.warning(w);
  editor.adoptGroupNames(&record);

  if (sameKeys(old, record)) {
    db->setLocationData(o.index, record);
    LocationData check;
    db->getLocationData(o.index, check);
    if (std::memcmp(&check, &record, sizeof record) != 0) {
      context.error("Cannot write record " + std::to_string(o.index) + " of \"" +
                    access.dataFile() + "\".");
      return kExitFailure;
    }
    context.markChanged();
    access.saveDirectory();
    context.out << "Changed record " << o.index << " (" << recordPath(record) << ").\n";
    return kExitOk;
  }

  Location* current = (*db->directory->curLocations)[db->directory->locationPos];
  if (Location* same = editor.findEqual(record, current)) {
    context.error("Another location, record " + std::to_string(same->locationIndex) +
                  ", has the names, level and position " + recordPath(record) + " " +
                  std::to_string(record.level) + " " + text::shortestFloat(record.latitude) + "," +
                  text::shortestFloat(record.longitude) + " already; nothing was changed.");
    return kExitFailure;
  }
  editor.insert(record, true);
  Location* moved = editor.findEqual(record, nullptr);
  context.out << "Changed record " << o.index << " (" << recordPath(old) << "); it is now record "
              << (moved ? std::to_string(moved->locationIndex) : std::string("?"));
  if (recordPath(old) != recordPath(record)) context.out << " (" << recordPath(record) << ")";
  context.out << ".\n";
  return kExitOk;
}

}  // namespace

void addSetCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand("set", "Change fields of one record");
  auto o = std::make_shared<SetOptions>();
  command->add_option("INDEX", o->index, "The record's index (see \"metdb list\")")
      ->required()
      ->check(CLI::NonNegativeNumber)
      ->type_name("");
  o->fields.addOptions(command, false);
  command->footer(
      "Fields not given keep their values. A record whose names, level or position change\n"
      "moves to its new group and may get another index.\n"
      "\n"
      "Example:\n"
      "  metdb --db stations.bmt set 12 --level 3 --series-c 1,2,3,4,5,6,7,8,9,10,11,12");
  context->addCommand(command, [o, context] { return setRecord(*o, *context); });
}

}  // namespace metdb
