#include "cli/commands/ListCommand.h"

#include <CLI/CLI.hpp>

#include <memory>
#include "cli/FilterOptions.h"

#include "cli/LocationTable.h"
#include "cli/ToolDatabase.h"
#include "tool/database/SelectedLocations.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

int list(const Filters& filters, ToolContext& context) {
  ToolDatabase access(context);
  SelectedLocations selected;
  selected.openAndBuild(filters, access);
  if (selected.count() == 0) {
    context.out << "No location is selected.\n";
    return kExitOk;
  }
  // Two passes over the iterator: the widths first, so that only one record
  // is ever held, however long the list.
  LocationTable table;
  selected.forEach([&](const LocationData& r, long index) { table.measure(r, index); });
  table.writeHeadings(context.out);
  selected.forEach(
      [&](const LocationData& r, long index) { table.writeRow(context.out, r, index); });
  context.out << text::plural(selected.count(), "location", "locations") << ".\n";
  return kExitOk;
}

}  // namespace

void addListCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand("list", "List locations as a table, in walk order");
  auto filters = std::make_shared<Filters>();
  addFilterOptions(command, filters.get(), true);
  command->footer(
      "Without filters every location is listed.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt list --continent Europe --bbox 50,-180,90,180\n"
      "  metdb --db stations.bmt list --name 'san*'");
  context->addCommand(command, [filters, context] { return list(*filters, *context); });
}

}  // namespace metdb
