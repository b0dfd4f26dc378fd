#include "cli/commands/SelectionCommand.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <system_error>
#include <type_traits>
#include "cli/FilterOptions.h"

#include "cli/ToolDatabase.h"
#include "selection/TLocationIterator.h"
#include "tool/database/Filters.h"
#include "tool/record/NameField.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

struct NewOptions {
  std::string file;
  std::string name;
  bool force = false;
  Filters filters;
};

int create(const NewOptions& o, ToolContext& context) {
  std::error_code ec;
  if (fs::exists(o.file, ec) && !o.force) {
    context.error("The file \"" + o.file + "\" exists already; give --force to replace it.");
    return kExitFailure;
  }
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;
  TLocationSelection selection;
  o.filters.toSelection(db->directory, &selection);
  std::string name = setNameField(selection.name, o.name);
  if (name.size() < o.name.size()) {
    context.warning("--name: " + text::quoted(o.name) + " is longer than " +
                    std::to_string(sizeof selection.name - 1) + " bytes and is cut to " +
                    text::quoted(name) + ".");
  }
  if (selection.write(o.file.c_str()) != 1) {
    context.error("Cannot write the selection file \"" + o.file + "\".");
    return kExitFailure;
  }
  context.markChanged();
  TLocationIterator iterator(&selection);
  context.out << "Saved the selection " << text::quoted(name) << " to " << o.file << ": "
              << text::plural(iterator.getNumLocations(), "location", "locations")
              << " of this database.\n";
  return kExitOk;
}

void writeTree(std::ostream& out, TLocList* entry, int depth) {
  static const char* const kLevels[] = {"continent", "country", "state", "location"};
  for (; entry != nullptr; entry = entry->nextEntry) {
    out << std::string(2 * depth + 2, ' ') << entry->name;
    if (depth < 3) {
      out << "  [" << kLevels[depth]
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

TISArrayAsVector<Country>* childrenOf(Continent* c) { return c->getCountries(); }
TISArrayAsVector<State>* childrenOf(Country* k) { return k->getStates(); }
TISArrayAsVector<Location>* childrenOf(State* s) { return s->getLocations(); }

// The first entry of chain that the check does not find in array, matching
// as it does: a cursor that only moves forward and past every match.
template <class T>
bool findMissing(TISArrayAsVector<T>* array, TLocList* chain, const std::string& path,
                 std::string* missing) {
  unsigned cursor = 0;
  for (TLocList* e = chain; e != nullptr; e = e->nextEntry) {
    while (cursor < array->count() && !text::equalIgnoringCase(*(*array)[cursor], e->name)) {
      ++cursor;
    }
    if (cursor == array->count()) {
      *missing = path + e->name;
      return true;
    }
    T* element = (*array)[cursor++];
    // Locations have no level below them to check.
    if constexpr (!std::is_same_v<T, Location>) {
      if (!e->selectAll &&
          findMissing(childrenOf(element), e->subList, path + e->name + "/", missing)) {
        return true;
      }
    }
  }
  return false;
}

int check(const std::string& file, ToolContext& context) {
  TLocationSelection selection;
  readSelectionFile(file, &selection);
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  if (db == nullptr) return kExitFailure;
  bool all = selection.allSelectionInMetDB();
  bool none = selection.noSelection();
  if (all) {
    context.out << "Every entry of the selection is in the database.\n";
  } else {
    std::string missing;
    findMissing(db->directory->getContinents(), selection.continentList, "", &missing);
    context.out << "Not every entry is in the database: " << text::quoted(missing)
                << " is missing (or stands out of the directory's order).\n";
  }
  if (none) {
    context.out << "The selection selects no location of the database.\n";
  } else {
    TLocationIterator iterator(&selection);
    context.out << "The selection selects "
                << text::plural(iterator.getNumLocations(), "location", "locations") << ".\n";
  }
  return all && !none ? kExitOk : kExitFailure;
}

}  // namespace

void addSelectionCommand(CLI::App* app, ToolContext* context) {
  CLI::App* group = app->add_subcommand("selection", "Save, show and check selection files");
  group->require_subcommand(1);
  group->footer(
      "Examples:\n"
      "  metdb --db stations.bmt selection new north.sel --name North --continent Europe \\\n"
      "        --bbox 50,-180,90,180\n"
      "  metdb selection show north.sel\n"
      "  metdb --db stations.bmt selection check north.sel");

  CLI::App* make = group->add_subcommand("new", "Save the locations that filters pick");
  auto o = std::make_shared<NewOptions>();
  make->add_option("FILE", o->file, "The selection file to write")->required()->type_name("");
  make->add_option("--name", o->name, "The selection's name (at most 29 bytes)")->type_name("NAME");
  make->add_flag("--force", o->force, "Replace an existing file");
  addFilterOptions(make, &o->filters, "--location", false);
  make->footer(
      "Example:\n"
      "  metdb --db stations.bmt selection new north.sel --name North --continent Europe \\\n"
      "        --bbox 50,-180,90,180");
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
