#include "cli/commands/ListCommand.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include "cli/FilterOptions.h"

#include "cli/LocationTable.h"
#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/LocationOrder.h"
#include "tool/database/SelectedLocations.h"
#include "tool/record/RecordColumns.h"
#include "tool/record/RecordListing.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct ListOptions {
  Filters filters;
  std::string format = "table";
  std::string columns;  // empty: the table's columns
  std::string sort;     // empty: walk order
  bool reverse = false;
};

// A check of an option's value by the tool's own parser, so that a wrong
// value is a wrong command line: the parser's sentence becomes CLI11's
// reason (CLI11 puts the option's name before it).
CLI::Validator parsedBy(std::function<void(const std::string&)> parse) {
  return CLI::Validator(
      [parse](std::string& value) -> std::string {
        try {
          parse(value);
          return "";
        } catch (const Error& e) {
          std::string why = e.what();
          if (!why.empty() && why.back() == '.') why.pop_back();
          return why;
        }
      },
      "");
}

int list(const ListOptions& o, ToolContext& context) {
  std::vector<RecordColumn> columns = o.columns.empty() ? tableColumns() : parseColumns(o.columns);
  ToolDatabase access(context);
  SelectedLocations selected;
  selected.openAndBuild(o.filters, access);
  if (!o.sort.empty()) {
    selected.reorder(sortedRecordIndices(selected, parseSortKey(o.sort), o.reverse));
  }
  if (o.format != "table") {
    // For programs: the rows alone, with nothing after them.
    RecordListing listing(context.out,
                          o.format == "csv" ? ListingFormat::kCsv : ListingFormat::kJson, columns);
    listing.begin();
    bool stations = anyStationColumn(columns);
    selected.forEach([&](const LocationData& r, long index) {
      listing.write(r, index, stations ? selected.station(index) : nullptr);
    });
    listing.end();
    return kExitOk;
  }
  if (selected.count() == 0) {
    context.out << "No location is selected.\n";
    return kExitOk;
  }
  // Two passes over the records: the widths first, so that only one record
  // is ever held, however long the list.
  LocationTable table({}, columns);
  if (anyStationColumn(columns)) {
    table.setStations([&selected](long index) { return selected.station(index); });
  }
  selected.forEach([&](const LocationData& r, long index) { table.measure(r, index); });
  table.writeHeadings(context.out);
  selected.forEach(
      [&](const LocationData& r, long index) { table.writeRow(context.out, r, index); });
  context.out << text::plural(selected.count(), "location", "locations") << ".\n";
  return kExitOk;
}

}  // namespace

void addListCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "list", "List locations as a table, CSV or JSON, in walk order or sorted");
  auto o = std::make_shared<ListOptions>();
  command
      ->add_option("--format", o->format,
                   "table (default: aligned, for reading, with the count last), csv or json (the "
                   "rows alone, for programs)")
      ->check(CLI::IsMember({"table", "csv", "json"}))
      ->type_name("table|csv|json");
  command
      ->add_option("--columns", o->columns,
                   "The columns to show, separated by commas: index and the station list's "
                   "column names (default: index,continent,country,state,name,level,latitude,"
                   "longitude)")
      ->type_name("A,B,C")
      ->check(parsedBy([](const std::string& v) { parseColumns(v); }));
  CLI::Option* sort =
      command
          ->add_option("--sort", o->sort,
                       "Order by one key instead of the walk: name, latitude, longitude, level, "
                       "index, country, state or continent (ascending; equal keys keep walk "
                       "order)")
          ->type_name("KEY")
          ->check(parsedBy([](const std::string& v) { parseSortKey(v); }));
  command->add_flag("--reverse", o->reverse, "Sort in descending order")->needs(sort);
  addFilterOptions(command, &o->filters, true);
  command->footer(
      "Without filters every location is listed. Names sort ignoring case, accents\n"
      "and script; a sort holds one key per location in memory, not the records.\n"
      "The columns are index, name, state, country, continent, level, latitude,\n"
      "longitude, auxValue and seriesA1..seriesA12 (likewise B to E).\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt list --continent Europe --bbox 50,-180,90,180\n"
      "  metdb --db stations.bmt list --name 'san*'\n"
      "  metdb --db stations.bmt list --country Norway --sort latitude --reverse\n"
      "  metdb --db stations.bmt list --columns name,latitude,longitude --format csv\n"
      "  metdb --db stations.bmt list --continent Africa --format json --columns index,name");
  context->addCommand(command, [o, context] { return list(*o, *context); });
}

}  // namespace metdb
