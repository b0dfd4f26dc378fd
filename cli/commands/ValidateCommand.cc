#include "cli/commands/ValidateCommand.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "tool/record/StationCsv.h"

namespace metdb {

namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

int validate(const std::string& file, ToolContext& context) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    context.error("\"" + file + "\" is a folder, not a station list.");
    return kExitFailure;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    context.error("Cannot open \"" + file + "\": " + std::strerror(errno) + ".");
    return kExitFailure;
  }
  StationCsvResult result = StationCsv::parse(in, StationCsv::Mode::kSkipBadRows);
  for (const StationCsvIssue& w : result.warnings) context.warning(w.describe(file));
  for (const StationCsvIssue& e : result.errors) context.error(e.describe(file));

  std::string summary = file + ": " + plural(result.rows.size(), "good row", "good rows");
  if (result.fatal) {
    summary += ", then a fault that ends the list";
  } else if (!result.errors.empty()) {
    summary += ", " + plural(result.errors.size(), "faulty row", "faulty rows");
  }
  summary += ", " + plural(result.warnings.size(), "warning", "warnings") + ".";
  context.out << summary << '\n';
  return result.ok() ? kExitOk : kExitFailure;
}

}  // namespace

void addValidateCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("validate", "Check a CSV station list without writing anything");
  auto file = std::make_shared<std::string>();
  command->add_option("STATIONS.csv", *file, "The station list (CSV with a header row)")
      ->required()
      ->type_name("");
  command->footer(
      "Reads the list as \"create\" would and reports every faulty row with its line and\n"
      "column, and every warning (such as a name cut to fit its field). Exit status 0 when\n"
      "the list can be used, 1 when it cannot.\n"
      "\n"
      "Example:\n"
      "  metdb validate data/stations.csv");
  context->addCommand(command, [file, context] { return validate(*file, *context); });
}

}  // namespace metdb
