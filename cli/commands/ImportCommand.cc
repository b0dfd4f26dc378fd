#include "cli/commands/ImportCommand.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/ContentWarnings.h"
#include "cli/StationListOptions.h"
#include "cli/Terminal.h"
#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/ImportSource.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/ScratchFolder.h"
#include "tool/lists/StationListReading.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

struct ImportOptions {
  StationListOptions list;  // list.file is SOURCE
  bool replace = false;
  bool force = false;
  bool skipBad = false;
};

int import(const ImportOptions& o, ToolContext& context) {
  ImportSource source(o.list.file, o.list.reading, o.list.formatGiven, o.skipBad);
  StationListFindings findings = source.read();
  for (const std::string& w : findings.warnings) context.warning(w);
  for (const std::string& e : findings.errors) context.error(e);
  if (findings.stops) return kExitFailure;
  ToolDatabase access(context);
  access.open(DatabaseUse::kWrite);
  ProgressInfo info(context.err, isTerminal(context.err), 0);
  try {
    source.importInto(access, o.replace, o.force, info);
  } catch (const Error&) {
    if (info.reported()) info.writeReport(context.out);
    throw;
  }
  info.writeReport(context.out);
  warnAboutContent(access, context, o.list.reading.csv.keepDuplicates);
  return kExitOk;
}

}  // namespace

void addImportCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("import", "Merge another database, or a station list, into this one");
  auto o = std::make_shared<ImportOptions>();
  command
      ->add_option("SOURCE", o->list.file,
                   "The data file of the database to import, or a station list (any format of "
                   "--from; - reads one from standard input)")
      ->required()
      ->type_name("");
  addStationListReadingOptions(command, &o->list);
  command->add_flag("--skip-bad", o->skipBad,
                    "Of a station list, skip faulty rows (each is reported) instead of stopping at "
                    "the first");
  command->add_flag("--replace", o->replace,
                    "Of two equal records (same names, level and position) keep the source's");
  command->add_flag("--force", o->force,
                    "Import records whose positions cannot be real or whose names run past their "
                    "fields (names holding control bytes are refused all the same)");
  command->footer(
      "SOURCE is a station list when --from names its format or it is text, else a\n"
      "data file of locations. A data file whose records cannot be real is refused\n"
      "before anything is written. A list's rows are read as \"create\" reads them.\n"
      "\n"
      "Examples:\n"
      "  metdb --db stations.bmt import more-stations.bmt --replace\n"
      "  metdb --db stations.bmt import ghcnd-stations.txt --skip-bad\n"
      "  metdb --db airports.bmt import airports.csv --from ourairports --type large,medium");
  context->addCommand(command, [o, context] { return import(*o, *context); });
}

}  // namespace metdb
