#include "cli/commands/ImportCommand.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/ContentWarnings.h"
#include "cli/StationListOptions.h"
#include "cli/Terminal.h"
#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/DatabaseImport.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/ScratchFolder.h"
#include "tool/lists/StationListReading.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

struct ImportOptions {
  StationListOptions list;  // list.file is SOURCE
  bool replace = false;
  bool force = false;
  bool skipBad = false;
};

// Whether SOURCE is to be read as a station list: --from says so, or its
// start is text.
bool isStationList(const ImportOptions& o, std::string* whyNot) {
  return o.list.formatGiven || o.list.file == "-" || fileLooksLikeStationList(o.list.file, whyNot);
}

int import(const ImportOptions& o, ToolContext& context) {
  std::string whyNotList;
  bool fromList = isStationList(o, &whyNotList);
  std::error_code ec;
  std::uintmax_t size = fs::file_size(o.list.file, ec);
  if (!fromList && !ec && size > 0 && size < sizeof(LocationData)) {
    // Too short for a record: text that holds a NUL byte, not a data file.
    context.error("\"" + o.list.file + "\" is neither a station list (" + whyNotList +
                  ") nor a data file of locations (its " + std::to_string(size) +
                  " bytes are less than one record); nothing was imported.");
    return kExitFailure;
  }
  StationCsvResult rows;
  if (fromList &&
      !readStationsReporting(o.list, o.skipBad, "nothing was imported", context, &rows)) {
    return kExitFailure;
  }
  ToolDatabase access(context);
  access.open(DatabaseUse::kWrite);
  DatabaseImport editor(access);
  ProgressInfo info(context.err, isTerminal(context.err), 0);
  try {
    if (fromList) {
      editor.importRows(std::move(rows.rows), o.replace, info);
    } else {
      editor.importFrom(o.list.file, o.replace, info, o.force);
    }
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
