#include "cli/commands/SelectionCommand.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <system_error>
#include "cli/FilterOptions.h"

#include "cli/ToolDatabase.h"
#include "tool/database/Filters.h"
#include "tool/database/SavedSelection.h"
#include "tool/database/SelectionCheck.h"
#include "tool/record/NameLevels.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

struct NewOptions {
  std::string file;
  std::string title;
  bool titleGiven = false;
  bool force = false;
  Filters filters;
};

int create(const NewOptions& o, ToolContext& context) {
  std::error_code ec;
  if (fs::exists(o.file, ec) && !o.force) {
    context.error("The file \"" + o.file + "\" exists already; give --force to replace it.");
    return kExitFailure;
  }
  std::string title = o.titleGiven ? o.title : defaultSelectionTitle(o.file);
  ToolDatabase access(context);
  SavedSelection saved = saveSelection(o.filters, title, o.file, access.open(DatabaseUse::kRead));
  context.markChanged();
  if (saved.title.size() < title.size()) {
    context.warning((o.titleGiven ? "--title: " : "The title from the file name, ") +
                    text::quoted(title) + " is longer than " +
                    std::to_string(kSelectionTitleBytes) + " bytes and is cut to " +
                    text::quoted(saved.title) + ".");
  }
  context.out << "Saved the selection " << text::quoted(saved.title)
              << (o.titleGiven ? "" : " (titled after the file; --title gives another)") << " to "
              << o.file << ": " << text::plural(saved.locations, "location", "locations")
              << " of this database.\n";
  return kExitOk;
}

void writeTree(std::ostream& out, TLocList* entry, int depth) {
  for (; entry != nullptr; entry = entry->nextEntry) {
    out << std::string(2 * depth + 2, ' ') << entry->name;
    if (depth < 3) {
      out << "  [" << nameLevels()[depth].noun
          << (entry->selectAll ? ", all of it]"
              : entry->subList ? "]"
                               : ", nothing below]");
    }
    out << '\n';
    if (depth < 3 && !entry->selectAll) writeTree(out, entry->subList, depth + 1);
  }
}

int show(const std::string& file, ToolContext& context) {
  TLocationSelection selection;
  readSelectionFile(file, &selection);
  context.out << "Selection " << text::quoted(selection.name) << " (" << file << ")\n";
  if (selection.continentList == nullptr) {
    context.out << "  (no entries: it selects nothing)\n";
  } else {
    writeTree(context.out, selection.continentList, 0);
  }
  context.out << selection.getLevelLimitString() << '\n'
              << selection.getLatitudeString() << '\n'
              << selection.getLongitudeString() << '\n'
              << "Latitude and longitude limits are "
              << (selection.useLatLonLimits ? "applied" : "not applied") << ".\n";
  return kExitOk;
}

int check(const std::string& file, ToolContext& context) {
  TLocationSelection selection;
  readSelectionFile(file, &selection);
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;
  SelectionCheck result = SelectionCheck::of(&selection, db->directory);
  if (result.allInDatabase) {
    context.out << "Every entry of the selection is in the database.\n";
  } else {
    context.out << "Not every entry is in the database: " << text::quoted(result.firstMissing)
                << " is missing (or stands out of the directory's order).\n";
  }
  if (result.selectsNothing) {
    context.out << "The selection selects no location of the database.\n";
  } else {
    context.out << "The selection selects "
                << text::plural(result.locations, "location", "locations") << ".\n";
  }
  return result.allInDatabase && !result.selectsNothing ? kExitOk : kExitFailure;
}

}  // namespace

void addSelectionCommand(CLI::App* app, ToolContext* context) {
  CLI::App* group = app->add_subcommand("selection", "Save, show and check selection files");
  group->require_subcommand(1);
  group->footer(
      "Examples:\n"
      "  metdb --db stations.bmt selection new north.sel --title North --continent Europe \\\n"
      "        --bbox 50,-180,90,180\n"
      "  metdb selection show north.sel\n"
      "  metdb --db stations.bmt selection check north.sel");

  CLI::App* make = group->add_subcommand("new", "Save the locations that filters pick");
  auto o = std::make_shared<NewOptions>();
  make->add_option("FILE", o->file, "The selection file to write")->required()->type_name("");
  make->add_option("--title", o->title,
                   "The selection's title (at most 29 bytes; default: the file name without its "
                   "extension)")
      ->type_name("TEXT")
      ->each([o](const std::string&) { o->titleGiven = true; });
  make->add_flag("--force", o->force, "Replace an existing file");
  addFilterOptions(make, &o->filters, false);
  make->footer(
      "The filters are list's: \"metdb list\" with the same filters shows the\n"
      "locations the selection holds (of two of one name in one state, a selection\n"
      "names only the first). Without filters it holds every location.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt selection new north.sel --title North --continent Europe \\\n"
      "        --bbox 50,-180,90,180\n"
      "  metdb --db stations.bmt selection new berg.sel --name '*berg*'");
  context->addCommand(make, [o, context] { return create(*o, *context); });

  CLI::App* view = group->add_subcommand("show", "Show a selection file's entries and limits");
  auto viewFile = std::make_shared<std::string>();
  view->add_option("FILE", *viewFile, "The selection file")->required()->type_name("");
  view->footer(
      "Example:\n"
      "  metdb selection show north.sel");
  context->addCommand(view, [viewFile, context] { return show(*viewFile, *context); });

  CLI::App* test = group->add_subcommand("check", "Check a selection against the database");
  auto testFile = std::make_shared<std::string>();
  test->add_option("FILE", *testFile, "The selection file")->required()->type_name("");
  test->footer(
      "Exit status 0 when every entry is in the database and something is selected.\n"
      "\n"
      "Example:\n"
      "  metdb --db stations.bmt selection check north.sel");
  context->addCommand(test, [testFile, context] { return check(*testFile, *context); });
}

}  // namespace metdb
