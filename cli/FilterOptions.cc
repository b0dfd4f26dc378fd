#include "cli/FilterOptions.h"

#include <CLI/CLI.hpp>
#include <vector>

#include "tool/database/LocationPath.h"
#include "tool/record/NameLevels.h"
#include "tool/record/StationFields.h"
#include "tool/text/Text.h"

namespace metdb {

void addFilterOptions(CLI::App* command, Filters* filters, bool withSelectionFile) {
  std::vector<CLI::Option*> tree;
  for (const PatternFilter& f : patternFilters()) {
    tree.push_back(
        command->add_option("--" + std::string(f.level.field->column), filters->*f.pattern, f.help)
            ->type_name("PATTERN"));
  }
  CLI::Option* levelOption =
      command
          ->add_option("--level-limit", filters->levelLimit,
                       "Leave out locations whose level is greater than N")
          ->type_name("N")
          ->check(
              CLI::Range(static_cast<int>(levelField().min), static_cast<int>(levelField().max)))
          ->each([filters](const std::string&) { filters->levelGiven = true; });
  tree.push_back(levelOption);
  tree.push_back(command
                     ->add_option_function<std::string>(
                         "--bbox",
                         [filters](const std::string& value) { filters->bbox = parseBox(value); },
                         "Only locations inside this box, in degrees (bounds included)")
                     ->type_name("SOUTH,WEST,NORTH,EAST")
                     ->check(
                         [](const std::string& value) {
                           Box box;
                           std::string why;
                           return tryParseBox(value, &box, &why) ? std::string() : why;
                         },
                         ""));
  command
      ->add_option("--id", filters->ids,
                   "Only the location holding this identifier (wmo:01026, icao:ENTC, ...; the "
                   "scheme ignoring case); may be given more than once")
      ->type_name("SCHEME:VALUE")
      ->check(
          [](const std::string& value) {
            return isIdentifierText(value) ? std::string()
                                           : text::quoted(value) + " is no identifier SCHEME:VALUE";
          },
          "");
  command
      ->add_option("--active", filters->active,
                   "Only locations in operation on this day (those whose years of operation are "
                   "unknown count as in operation)")
      ->type_name("YYYY-MM-DD")
      ->transform(CLI::Validator(
          [](std::string& value) {
            std::string day = normalizedDate(value);
            if (day.empty()) return text::quoted(value) + " is no date YYYY-MM-DD";
            value = day;
            return std::string();
          },
          "", ""));
  if (withSelectionFile) {
    CLI::Option* file = command
                            ->add_option("--selection", filters->selectionFile,
                                         "The locations of a saved selection")
                            ->type_name("FILE");
    for (CLI::Option* o : tree) file->excludes(o);
  }
}

}  // namespace metdb
