#include "cli/commands/DeleteCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "cli/ToolDatabase.h"
#include "tool/database/LocationPath.h"
#include "tool/database/RecordEditor.h"
#include "tool/database/SelectedLocations.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct DeleteOptions {
  std::string what;
  std::string selectionFile;
  bool dryRun = false;
};

using Target = std::pair<long, std::string>;  // record index, path

// The locations that the options name, in walk order; false (reported)
// when they cannot be found.
bool collect(const DeleteOptions& o, Database& access, ToolContext& context,
             std::vector<Target>* targets) {
  BMTFile* db = access.db();
  if (!o.selectionFile.empty()) {
    Filters filters;
    filters.selectionFile = o.selectionFile;
    SelectedLocations selected;
    selected.build(filters, db);
    selected.forEach(
        [&](const LocationData& r, long index) { targets->emplace_back(index, recordPath(r)); });
    return true;
  }
  long index = 0;
  if (parseRecordIndex(o.what, &index)) {
    RecordEditor editor(access);
    if (index >= access.recordCount() || !editor.moveCursorTo(index)) {
      context.error("No location refers to record " + o.what + "; nothing was deleted.");
      return false;
    }
    LocationData r;
    db->getLocationData(index, r);
    targets->emplace_back(index, recordPath(r));
    return true;
  }
  for (Location* loc : findLocations(*db, o.what)) {
    LocationData r;
    db->getLocationData(loc->locationIndex, r);
    targets->emplace_back(loc->locationIndex, recordPath(r));
  }
  if (targets->empty()) {
    context.error("No location is under " + text::quoted(o.what) + "; nothing was deleted.");
    return false;
  }
  return true;
}

int remove(const DeleteOptions& o, ToolContext& context) {
  if (o.what.empty() == o.selectionFile.empty()) {
    return context.usageError("give either INDEX or PATH, or --selection FILE");
  }
  ToolDatabase access(context);
  access.open(o.dryRun ? DatabaseUse::kRead : DatabaseUse::kWrite);
  std::vector<Target> targets;
  if (!collect(o, access, context, &targets)) return kExitFailure;
  if (o.dryRun || targets.empty()) {
    context.out << (o.dryRun ? "Would delete " : "Nothing to delete: ")
                << text::plural(static_cast<long>(targets.size()), "location", "locations")
                << (targets.empty() ? ".\n" : ":\n");
    std::size_t indexWidth = 0;
    for (const Target& t : targets) {
      indexWidth = std::max(indexWidth, std::to_string(t.first).size());
    }
    for (const Target& t : targets) {
      context.out << "  " << text::padLeft(std::to_string(t.first), indexWidth) << "  " << t.second
                  << '\n';
    }
    return kExitOk;
  }
  std::set<long> indices;
  for (const Target& t : targets) indices.insert(t.first);
  RecordEditor editor(access);
  long removed = editor.remove(indices);
  context.out << "Deleted " << text::plural(removed, "location", "locations")
              << "; the database holds "
              << text::plural(access.db()->directory->locationCount, "location", "locations")
              << ".\n";
  return kExitOk;
}

}  // namespace

void addDeleteCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("delete", "Delete locations; their records go at the next compaction");
  auto o = std::make_shared<DeleteOptions>();
  CLI::Option* what =
      command
          ->add_option("WHAT", o->what,
                       "A record index, or a path: CONTINENT, CONTINENT/COUNTRY, "
                       "CONTINENT/COUNTRY/STATE or CONTINENT/COUNTRY/STATE/NAME")
          ->check([](const std::string& what) { return checkIndexOrPath(what, false); }, "")
          ->type_name("");
  command->add_option("--selection", o->selectionFile, "Delete the locations of a saved selection")
      ->type_name("FILE")
      ->excludes(what);
  command->add_flag("--dry-run", o->dryRun, "List what would be deleted, and change nothing");
  command->footer(
      "Examples:\n"
      "  metdb --db stations.bmt delete Europe/Finland/Finland/Helsinki --dry-run\n"
      "  metdb --db stations.bmt delete --selection north.sel");
  context->addCommand(command, [o, context] { return remove(*o, *context); });
}

}  // namespace metdb
