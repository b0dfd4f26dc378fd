#include "cli/commands/RenameCommand.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/ChangeList.h"
#include "cli/Terminal.h"
#include "cli/ToolDatabase.h"
#include "tool/database/BulkEdit.h"
#include "tool/database/LocationPath.h"
#include "tool/database/ProgressInfo.h"
#include "tool/record/NameLevels.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct RenameOptions {
  std::string path;
  std::string newName;
  bool dryRun = false;
};

std::string checkPath(const std::string& value) {
  LocationPath path;
  std::string why;
  return LocationPath::tryParse(value, &path, &why) ? "" : why;
}

// "3 locations, joining the 2 there" and the like.
std::string howMany(const BulkEdit& edit) {
  std::string out = text::plural(static_cast<long>(edit.changes().size()), "location", "locations");
  if (edit.joining() > 0) {
    out += (edit.changes().size() == 1 ? ", which joins the " : ", which join the ") +
           text::plural(edit.joining(), "location", "locations") + " there";
  }
  return out;
}

int renameUnder(const RenameOptions& o, ToolContext& context) {
  LocationPath path = LocationPath::parse(o.path);
  std::size_t level = path.parts.size() - 1;
  ToolDatabase access(context);
  access.open(o.dryRun ? DatabaseUse::kRead : DatabaseUse::kWrite);
  BulkEdit edit(access);
  std::vector<std::string> warnings;
  edit.rename(path, o.newName, &warnings);
  for (const std::string& w : warnings) context.warning(w);
  if (edit.changes().empty()) {
    context.out << "Nothing to rename: the " << nameLevels()[level].noun << " " << path.toString()
                << " is named " << text::quoted(o.newName) << " already.\n";
    return kExitOk;
  }
  std::string to = recordPath(edit.changes().front().after, path.parts.size());
  long count = static_cast<long>(edit.changes().size());
  // A full path names every location of that name in its state.
  std::string what = level == 3 && count > 1
                         ? text::plural(count, "location", "locations") + " " + path.toString() +
                               " (every one the path names)"
                         : std::string(nameLevels()[level].noun) + " " + path.toString();
  if (o.dryRun) {
    edit.check();
    context.out << "Would rename " << what << " to " << to << " (" << howMany(edit) << "):\n";
    writeChangeList(context.out, edit.changes());
    return kExitOk;
  }
  ProgressInfo info(context.err, isTerminal(context.err), 0);
  edit.apply(info);
  context.out << "Renamed " << what << " to " << to;
  if (level < 3) context.out << ": " << howMany(edit);
  context.out << ".\n";
  return kExitOk;
}

}  // namespace

void addRenameCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("rename", "Rename a continent, country, state or location");
  auto o = std::make_shared<RenameOptions>();
  command
      ->add_option("PATH", o->path,
                   "What to rename: CONTINENT, CONTINENT/COUNTRY, CONTINENT/COUNTRY/STATE or "
                   "CONTINENT/COUNTRY/STATE/NAME (names ignoring case)")
      ->required()
      ->check(checkPath, "")
      ->type_name("");
  command->add_option("NEWNAME", o->newName, "Its new name")->required()->type_name("");
  command->add_flag("--dry-run", o->dryRun,
                    "List what would change (index, path, old -> new), and change nothing");
  command->footer(
      "Every location under PATH gets the new name in its record, and the data file\n"
      "is rewritten once, still grouped. A group renamed to the name of another group\n"
      "under the same parent joins it; a new name that differs only in letter case\n"
      "is written as given. A full path names every location of that name in its\n"
      "state, and renames them all.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt rename Europe/Germany/Baden \"Baden-Württemberg\"\n"
      "  metdb --db stations.bmt rename Asia/Burma Myanmar --dry-run");
  context->addCommand(command, [o, context] { return renameUnder(*o, *context); });
}

}  // namespace metdb
