#include "cli/commands/ImportCommand.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/Terminal.h"
#include "cli/ToolDatabase.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/ScratchFolder.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

struct ImportOptions {
  std::string source;
  bool replace = false;
};

int import(const ImportOptions& o, ToolContext& context) {
  std::error_code ec;
  fs::file_status status = fs::status(o.source, ec);
  if (!fs::is_regular_file(status)) {
    context.error("\"" + o.source + "\" is " +
                  (fs::exists(status) ? "not a regular file" : "not there") +
                  ", so it is no data file to import.");
    return kExitFailure;
  }
  ToolDatabase access(context);
  access.checkName();
  if (fs::exists(access.dataFile(), ec) && fs::equivalent(o.source, access.dataFile(), ec)) {
    context.error("\"" + o.source + "\" is this database's own data file.");
    return kExitFailure;
  }
  BMTFile* db = access.open(DatabaseUse::kWrite);
  if (db == nullptr) return kExitFailure;

  // Read-only: the source stays as it is, its directory file included.
  BMTFile source(o.source.c_str(), BMTFile::kReadOnly);
  if (!source.IsValid()) {
    context.error("\"" + o.source + "\" cannot be used as a data file: " +
                  Database::libraryReason() + "; nothing was imported.");
    return kExitFailure;
  }

  long expected = db->directory->locationCount + source.directory->locationCount;
  ProgressInfo info(context.err, isTerminal(context.err), expected);
  db->merge(source, o.replace, info);
  if (!info.completed()) {
    access.discardEdits();
    if (info.reported()) info.writeReport(context.out);
    std::string reason = Database::libraryReason();
    context.error("Cannot write the new data file beside \"" + access.dataFile() +
                  "\": " + (reason.empty() ? std::string("the import stopped") : reason) +
                  "; nothing was imported.");
    return kExitFailure;
  }
  context.markChanged();
  info.writeReport(context.out);
  access.saveDirectory();
  return kExitOk;
}

}  // namespace

void addImportCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command =
      app->add_subcommand("import", "Merge the records of another database into this one");
  auto o = std::make_shared<ImportOptions>();
  command->add_option("SOURCE", o->source, "The data file of the database to import")
      ->required()
      ->type_name("");
  command->add_flag("--replace", o->replace,
                    "Of two equal records (same names, level and position) keep the source's");
  command->footer(
      "Example:\n"
      "  metdb --db stations.bmt import more-stations.bmt --replace");
  context->addCommand(command, [o, context] { return import(*o, *context); });
}

}  // namespace metdb
