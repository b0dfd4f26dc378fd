#include "cli/commands/ValidateCommand.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/StationListOptions.h"
#include "tool/record/StationCsv.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct ValidateOptions : StationListOptions {
  bool repeats = false;
};

int validate(const ValidateOptions& o, ToolContext& context) {
  std::string source = stationListName(o);
  StationCsvResult result = readStationList(o, StationCsv::Mode::kSkipBadRows);
  if (o.repeats) {
    for (const auto& [line, first] : result.repeatedLines) {
      context.out << "line " << line << " repeats line " << first << '\n';
    }
    return result.ok() ? kExitOk : kExitFailure;
  }
  for (const StationCsvIssue& w : result.warnings) context.warning(w.describe(source));
  for (const StationCsvIssue& e : result.errors) context.error(e.describe(source));

  std::string summary =
      source + ": " + text::plural(static_cast<long>(result.rows.size()), "good row", "good rows");
  if (result.fatal) {
    summary += ", then a fault that ends the list";
  } else if (!result.errors.empty()) {
    summary +=
        ", " + text::plural(static_cast<long>(result.errors.size()), "faulty row", "faulty rows");
  }
  summary +=
      ", " + text::plural(static_cast<long>(result.warnings.size()), "warning", "warnings") + ".";
  context.out << summary << '\n';
  return result.ok() ? kExitOk : kExitFailure;
}

}  // namespace

void addValidateCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("validate", "Check a station list without writing anything");
  auto o = std::make_shared<ValidateOptions>();
  addStationListOptions(command, o.get());
  command->add_flag("--repeats", o->repeats,
                    "List only the rows that repeat earlier ones and are left out, one a line: "
                    "\"line 9 repeats line 4\"");
  command->footer(
      "Reads the list as \"create\" would and reports every faulty row with its line and\n"
      "column, and every warning (such as a name cut to fit its field, or a row that\n"
      "repeats an earlier one: one warning tells them all, with the first). Exit\n"
      "status 0 when the list can be used, 1 when it cannot. The options read the\n"
      "list as they do for \"create\". --repeats lists every repeated row instead.\n"
      "\n"
      "Examples:\n"
      "  metdb validate data/stations.csv\n"
      "  metdb validate --encoding latin1 --delimiter tab export.tsv\n"
      "  metdb validate --repeats data/stations.csv\n"
      "  gunzip -c stations.csv.gz | metdb validate -");
  context->addCommand(command, [o, context] { return validate(*o, *context); });
}

}  // namespace metdb
