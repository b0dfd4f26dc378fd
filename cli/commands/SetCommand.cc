#include "cli/commands/SetCommand.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/ChangeList.h"
#include "cli/FilterOptions.h"
#include "cli/RecordOptions.h"
#include "cli/StationOptions.h"
#include "cli/Terminal.h"
#include "cli/ToolDatabase.h"
#include "tool/database/BulkEdit.h"
#include "tool/database/LocationPath.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/RecordEditor.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/FieldAssignment.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct SetOptions {
  // An index or a full path: the one-location form; empty: the filters
  // select the locations.
  std::string what;
  RecordOptions fields;
  StationOptions station;
  Filters filters;
  std::vector<std::string> sets;  // FIELD=VALUE, checked at parsing
  bool dryRun = false;
  // The options that only select locations.
  std::vector<CLI::Option*> selecting;
};

// The command line's check of WHAT: an index or a full path.
std::string checkWhat(const std::string& what) {
  std::string why = checkIndexOrPath(what, true);
  if (why.empty() || why.find("neither") == std::string::npos) return why;
  return why +
         " (to change every location of a group, select them with --continent, --country "
         "or --state)";
}

// The assignments the command line gives: the field options of the
// one-location form, then --set. Empty, with *usage saying why, when a value
// is wrong or a field is given twice.
std::vector<FieldAssignment> assignmentsOf(const SetOptions& o, bool oneLocation,
                                           std::string* usage) {
  std::vector<FieldAssignment> out;
  if (oneLocation) {
    for (const FieldAssignment& a : o.fields.assignments()) {
      // The names shared with the filters are checked only now.
      LocationData scratch{};
      std::string fault = a.applyTo(&scratch, nullptr);
      if (!fault.empty()) {
        *usage = std::string(a.field->option) + ": " + fault;
        return {};
      }
      out.push_back(a);
    }
  }
  for (const std::string& text : o.sets) {
    FieldAssignment a;
    FieldAssignment::parse(text, &a);  // checked at parsing
    out.push_back(a);
  }
  for (std::size_t i = 0; i < out.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (overlap(out[i], out[j])) {
        *usage = out[i].column() + " is given twice";
        return {};
      }
    }
  }
  return out;
}

// The record index that o.what names; -1 (reported) when it names none, or
// more than one location.
long resolve(const SetOptions& o, Database& access, ToolContext& context) {
  long index = 0;
  if (parseRecordIndex(o.what, &index)) {
    RecordEditor(access).record(index);  // throws when no location refers to it
    return index;
  }
  std::vector<Location*> found = findLocations(*access.db(), o.what);
  if (found.empty()) {
    context.error("No location " + text::quoted(o.what) +
                  " is in the database; nothing was changed.");
    return -1;
  }
  if (found.size() > 1) {
    context.error(text::quoted(o.what) + " names " +
                  text::plural(static_cast<long>(found.size()), "location", "locations") +
                  "; give the record index of the one to change (nothing was changed):");
    for (Location* loc : found) {
      LocationData r;
      access.db()->getLocationData(loc->locationIndex, r);
      context.err << "  " << loc->locationIndex << "  " << recordPath(r) << "  level "
                  << static_cast<int>(r.level) << " at " << text::shortestFloat(r.latitude) << ","
                  << text::shortestFloat(r.longitude) << '\n';
    }
    return -1;
  }
  return found.front()->locationIndex;
}

// The record indices the filters select, in walk order.
std::vector<long> selectedIndices(const Filters& filters, BMTFile* db) {
  SelectedLocations selected;
  selected.build(filters, db);
  std::vector<long> indices;
  for (Location* entry : selected.entries()) indices.push_back(entry->locationIndex);
  return indices;
}

int changeOne(const SetOptions& o, const std::vector<FieldAssignment>& assignments,
              ToolContext& context) {
  ToolDatabase access(context);
  access.open(o.dryRun ? DatabaseUse::kRead : DatabaseUse::kWrite);
  long index = resolve(o, access, context);
  if (index < 0) return kExitFailure;
  BulkEdit edit(access);
  std::vector<std::string> warnings;
  edit.assign({index}, assignments, &warnings);
  for (const std::string& w : warnings) context.warning(w);
  StationInfo before = RecordEditor(access).stationInfo(index);
  StationInfo after = o.station.applyTo(before);
  if (edit.changes().empty()) {
    if (after == before) {
      context.out << "Nothing to change: record " << index << " has these values already.\n";
      return kExitOk;
    }
    if (o.dryRun) {
      context.out << "Would change the station information of record " << index << ".\n";
      return kExitOk;
    }
    LocationData same = RecordEditor(access).record(index);
    RecordEditor(access).replace(index, &same, &after);
    context.out << "Changed record " << index << " (" << recordPath(same) << ").\n";
    return kExitOk;
  }
  const PlannedChange& change = edit.changes().front();
  if (o.dryRun) {
    edit.check();
    context.out << "Would change 1 location:\n";
    writeChangeList(context.out, edit.changes());
    return kExitOk;
  }
  LocationData record = change.after;
  long now = RecordEditor(access).replace(index, &record, &after);
  if (now == index) {
    context.out << "Changed record " << index << " (" << recordPath(record) << ").\n";
    return kExitOk;
  }
  context.out << "Changed record " << index << " (" << recordPath(change.before)
              << "); it is now record " << (now >= 0 ? std::to_string(now) : std::string("?"));
  if (recordPath(change.before) != recordPath(record))
    context.out << " (" << recordPath(record) << ")";
  context.out << ".\n";
  return kExitOk;
}

int changeSelected(const SetOptions& o, const std::vector<FieldAssignment>& assignments,
                   ToolContext& context) {
  ToolDatabase access(context);
  BMTFile* db = access.open(o.dryRun ? DatabaseUse::kRead : DatabaseUse::kWrite);
  std::vector<long> indices = selectedIndices(o.filters, db);
  if (indices.empty()) {
    context.out << "No location is selected by " << o.filters.describe()
                << "; nothing was changed.\n";
    return kExitOk;
  }
  BulkEdit edit(access);
  std::vector<std::string> warnings;
  edit.assign(indices, assignments, &warnings);
  for (const std::string& w : warnings) context.warning(w);
  long changes = static_cast<long>(edit.changes().size());
  if (changes == 0) {
    context.out << "Nothing to change: the "
                << text::plural(edit.considered(), "selected location has",
                                "selected locations have")
                << " these values already.\n";
    return kExitOk;
  }
  std::string ofSelected = changes == edit.considered()
                               ? std::string()
                               : " of the " + std::to_string(edit.considered()) + " selected";
  if (o.dryRun) {
    edit.check();
    context.out << "Would change " << text::plural(changes, "location", "locations") << ofSelected
                << ":\n";
    writeChangeList(context.out, edit.changes());
    return kExitOk;
  }
  long moved = 0;
  for (const PlannedChange& c : edit.changes()) moved += c.moves() ? 1 : 0;
  ProgressInfo info(context.err, isTerminal(context.err), 0);
  edit.apply(info);
  context.out << "Changed " << text::plural(changes, "location", "locations") << ofSelected;
  if (moved > 0) {
    context.out << " (" << moved
                << (moved == 1 ? " moved to its new place)" : " moved to their new places)");
  }
  context.out << "; the database holds "
              << text::plural(access.db()->directory->locationCount, "location", "locations")
              << ".\n";
  return kExitOk;
}

int setFields(const SetOptions& o, ToolContext& context) {
  bool oneLocation = !o.what.empty();
  if (oneLocation) {
    for (CLI::Option* option : o.selecting) {
      if (option->count() > 0) {
        return context.usageError(option->get_name() +
                                  " selects locations to change; give it without INDEX or PATH");
      }
    }
  } else {
    if (const Field* own = o.fields.firstOwnGiven()) {
      return context.usageError(std::string(own->option) +
                                " changes only the location that INDEX or PATH gives; to change "
                                "every selected location write --set " +
                                own->column + "=VALUE");
    }
    if (o.filters.describe().empty() && o.filters.selectionFile.empty()) {
      return context.usageError(
          "give INDEX or PATH, or filters that select the locations to change (--continent '*' "
          "selects them all)");
    }
  }
  std::string usage;
  std::vector<FieldAssignment> assignments = assignmentsOf(o, oneLocation, &usage);
  if (!usage.empty()) return context.usageError(usage);
  if (!oneLocation && o.station.anyGiven()) {
    return context.usageError(
        "--add-id, --remove-id, --elevation, --timezone, --active-from, --active-to and --source "
        "change only the location that INDEX, PATH or an identifier gives");
  }
  if (assignments.empty() && !(oneLocation && o.station.anyGiven())) {
    return context.usageError(
        oneLocation ? "give at least one field to change, such as --level 2 or --set level=2"
                    : "give at least one field to change, such as --set level=2");
  }
  return oneLocation ? changeOne(o, assignments, context) : changeSelected(o, assignments, context);
}

}  // namespace

void addSetCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("set", "Change fields of one location, or of every selected location");
  auto o = std::make_shared<SetOptions>();
  command
      ->add_option(
          "WHAT", o->what,
          "A record index, an identifier SCHEME:VALUE, or a path CONTINENT/COUNTRY/STATE/NAME "
          "(names ignoring case); without it the filters select the locations")
      ->check(checkWhat, "")
      ->type_name("");
  addFilterOptions(command, &o->filters, true);
  // The filters' --continent, --country, --state and --name are shared with
  // the fields of the one-location form.
  const char* shared[][2] = {
      {"--continent",
       "With INDEX or PATH: the new continent; else only this continent (a pattern)"},
      {"--country", "With INDEX or PATH: the new country; else only this country"},
      {"--state", "With INDEX or PATH: the new state (may be empty); else only this state"},
      {"--name", "With INDEX or PATH: the new name; else only locations of this name"},
  };
  for (const auto& s : shared) command->get_option(s[0])->description(s[1])->type_name("NAME");
  for (const char* name : {"--level-limit", "--bbox", "--selection"}) {
    o->selecting.push_back(command->get_option(name));
  }
  o->fields.addOptions(command, false);
  o->station.addOptions(command);
  command
      ->add_option("--set", o->sets,
                   "FIELD=VALUE: a field's new value, FIELD a column of a station list (name, "
                   "state, country, continent, level, latitude, longitude, auxValue, seriesA.."
                   "seriesE whole or one month as seriesC7); repeatable")
      ->type_name("FIELD=VALUE")
      ->allow_extra_args(false)  // one value each time, so that WHAT may follow
      ->check(
          [](const std::string& text) {
            FieldAssignment a;
            return FieldAssignment::parse(text, &a);
          },
          "");
  command->add_flag("--dry-run", o->dryRun,
                    "List what would change (index, path, old -> new per field), and change "
                    "nothing");
  command->footer(
      "With INDEX or PATH one location changes; --name, --state, --country and\n"
      "--continent then give its new names. Without them the filters (as for list)\n"
      "select the locations, and every one of them changes as --set says; all the\n"
      "changes are written in one rewrite of the data file. Fields not given keep\n"
      "their values. A location whose names, level or position change moves to its\n"
      "new group and may get another index. To rename a whole group, or change the\n"
      "letter case of its name, use \"metdb rename\".\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt set 12 --level 3 --series-c 1,2,3,4,5,6,7,8,9,10,11,12\n"
      "  metdb --db stations.bmt set Europe/Switzerland/Bern/Bern --latitude 46.95\n"
      "  metdb --db stations.bmt set wmo:06660 --elevation 556 --add-id icao:LSZB\n"
      "  metdb --db stations.bmt set --country Burma --set country=Myanmar --dry-run\n"
      "  metdb --db stations.bmt set --selection north.sel --set level=2");
  context->addCommand(command, [o, context] { return setFields(*o, *context); });
}

}  // namespace metdb
