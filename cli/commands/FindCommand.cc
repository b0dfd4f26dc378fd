#include "cli/commands/FindCommand.h"

#include <CLI/CLI.hpp>

#include <limits>
#include <memory>

#include "cli/FilterOptions.h"
#include "cli/LocationTable.h"
#include "cli/ToolDatabase.h"
#include "tool/record/CsvWriter.h"
#include "tool/record/JsonArrayWriter.h"
#include "tool/record/RecordJson.h"
#include "tool/search/LocationSearch.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct FindOptions {
  std::string text;
  Filters filters;
  std::size_t limit = 20;
  std::string format = "table";
};

std::string howMatched(const SearchHit& hit) {
  std::string how = matchKindName(hit.match.kind);
  if (hit.match.kind == MatchKind::kNearMiss) how += " " + std::to_string(hit.match.errors);
  return how;
}

int find(const FindOptions& o, ToolContext& context) {
  ToolDatabase access(context);
  BMTFile* db = access.open(DatabaseUse::kRead);
  const std::size_t all = std::numeric_limits<std::size_t>::max();
  const std::size_t limit = o.limit == 0 ? all : o.limit;
  const bool stations = o.filters.narrowsStations();
  SearchResult result = searchLocations(db->directory, o.text, o.filters, stations ? all : limit,
                                        identifiedLocations(*db, o.text));
  if (stations) keepStationFiltered(&result, o.filters, db, limit);
  std::vector<LocationData> records(result.hits.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    db->getLocationData(result.hits[i].location->locationIndex, records[i]);
  }

  if (o.format == "csv") {
    writeCsvLine(context.out, {"match", "matchedIn", "index", "continent", "country", "state",
                               "name", "level", "latitude", "longitude"});
    for (std::size_t i = 0; i < records.size(); ++i) {
      const LocationData& r = records[i];
      writeCsvLine(
          context.out,
          {howMatched(result.hits[i]), matchedLevelName(result.hits[i].matchedLevel),
           std::to_string(result.hits[i].location->locationIndex), fieldText(r.continent),
           fieldText(r.country), fieldText(r.state), fieldText(r.name), std::to_string(r.level),
           text::shortestFloat(r.latitude), text::shortestFloat(r.longitude)});
    }
    return kExitOk;
  }
  if (o.format == "json") {
    JsonArrayWriter array(context.out);
    for (std::size_t i = 0; i < records.size(); ++i) {
      nlohmann::ordered_json item =
          recordToJson(records[i], result.hits[i].location->locationIndex);
      item["match"] = matchKindName(result.hits[i].match.kind);
      item["errors"] = result.hits[i].match.errors;
      item["matchedIn"] = matchedLevelName(result.hits[i].matchedLevel);
      array.add(item);
    }
    array.end();
    return kExitOk;
  }

  if (records.empty()) {
    context.out << "Nothing matches " << text::quoted(o.text) << ".\n";
    return kExitOk;
  }
  LocationTable table({"MATCH", "IN"});
  auto leading = [&](std::size_t i) {
    return std::vector<std::string>{howMatched(result.hits[i]),
                                    matchedLevelName(result.hits[i].matchedLevel)};
  };
  for (std::size_t i = 0; i < records.size(); ++i) {
    table.measure(records[i], result.hits[i].location->locationIndex, leading(i));
  }
  table.writeHeadings(context.out);
  for (std::size_t i = 0; i < records.size(); ++i) {
    table.writeRow(context.out, records[i], result.hits[i].location->locationIndex, leading(i));
  }
  if (records.size() < result.total) {
    context.out << records.size() << " of " << result.total
                << " matches, best first (--limit N shows more, --limit 0 all).\n";
  } else {
    context.out << text::plural(static_cast<long>(result.total), "match", "matches")
                << ", best first.\n";
  }
  return kExitOk;
}

}  // namespace

void addFindCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "find", "Find locations by name as people type them, ignoring case and accents");
  auto o = std::make_shared<FindOptions>();
  command->add_option("TEXT", o->text, "What to look for")->required()->type_name("");
  command->add_option("--limit", o->limit, "Show at most N matches (default 20; 0: all)")
      ->type_name("N");
  command
      ->add_option("--format", o->format,
                   "table (default), csv, or json (the records, each with match, errors and "
                   "matchedIn last)")
      ->check(CLI::IsMember({"table", "csv", "json"}))
      ->type_name("table|csv|json");
  addFilterOptions(command, &o->filters, false);
  command->footer(
      "TEXT is compared with each location's name, state, country and continent,\n"
      "with case, accents and script set aside: \"zurich\" finds Zürich, \"tromso\"\n"
      "Tromsø, \"lodz\" Łódź, \"moskva\" Москва. Matches are ranked: exact, then\n"
      "the name begins with TEXT (prefix), then a later word does (word), then\n"
      "TEXT lies inside it (substring), then near misses of one typing error (TEXT\n"
      "of 4 to 7 letters) or two (8 or more). A location ranks by its best match;\n"
      "IN says where that was. Ties go to the location's own name, then to lower\n"
      "levels, then to walk order. A location that holds TEXT as an identifier\n"
      "(icao:ENTC, or just ENTC, in any scheme) ranks before all of them (IN:\n"
      "identifier).\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt find zurich\n"
      "  metdb --db stations.bmt find helsinky --continent Europe --limit 5\n"
      "  metdb --db stations.bmt find 'sao paulo' --format json\n"
      "  metdb --db airports.bmt find ENTC");
  context->addCommand(command, [o, context] { return find(*o, *context); });
}

}  // namespace metdb
