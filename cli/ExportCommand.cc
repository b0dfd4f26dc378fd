#include "cli/ExportCommand.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <memory>

#include "cli/DatabaseAccess.h"
#include "cli/FileReplacement.h"
#include "cli/RecordJson.h"
#include "cli/SelectedLocations.h"
#include "cli/StationCsv.h"

namespace {

struct ExportOptions {
  Filters filters;
  std::string format = "csv";
  std::string output;
};

void write(SelectedLocations& selected, const std::string& format, std::ostream& out) {
  if (format == "csv") {
    StationCsv::writeHeader(out);
    selected.forEach([&](const LocationData& r, long) { StationCsv::writeRecord(out, r); });
    return;
  }
  // One object per line inside the array: readable, and never the whole
  // list in memory.
  out << "[";
  const char* separator = "\n";
  selected.forEach([&](const LocationData& r, long index) {
    out << separator << "  " << dumpJson(recordToJson(r, index), -1);
    separator = ",\n";
  });
  out << (selected.count() > 0 ? "\n]\n" : "]\n");
}

int exportRecords(const ExportOptions& o, ToolContext& context) {
  DatabaseAccess access(context);
  SelectedLocations selected;
  if (!selected.openAndBuild(o.filters, access, context)) return kExitFailure;
  if (o.output.empty()) {
    write(selected, o.format, context.out);
    return kExitOk;
  }
  // The text goes to a work folder beside the file and replaces it only
  // when complete.
  FileReplacement replacement(o.output);
  if (!replacement.ok()) {
    context.error("Cannot write \"" + o.output + "\": " + replacement.error() + ".");
    return kExitFailure;
  }
  {
    std::ofstream file(replacement.path(), std::ios::binary | std::ios::trunc);
    if (file) write(selected, o.format, file);
    file.flush();
    if (!file) {
      context.error("Cannot write \"" + o.output + "\".");
      return kExitFailure;
    }
  }
  std::string error;
  if (!replacement.commit(&error)) {
    context.error("Cannot write \"" + o.output + "\": " + error + ".");
    return kExitFailure;
  }
  context.err << "metdb: " << selected.count() << (selected.count() == 1 ? " record" : " records")
              << " written to " << o.output << ".\n";
  return kExitOk;
}

}  // namespace

void addExportCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("export", "Write every field of the selected records as CSV or JSON");
  auto o = std::make_shared<ExportOptions>();
  command->add_option("--format", o->format, "csv (a station list that create reads) or json")
      ->check(CLI::IsMember({"csv", "json"}))
      ->type_name("csv|json");
  command->add_option("--output", o->output, "Write to FILE instead of standard output")
      ->type_name("FILE");
  o->filters.addOptions(command, "--name", true);
  command->footer(
      "Examples:\n"
      "  metdb --db stations.bmt export --country Norway --format json\n"
      "  metdb --db stations.bmt export --output backup.csv");
  context->addCommand(command, [o, context] { return exportRecords(*o, *context); });
}
