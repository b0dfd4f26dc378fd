#include "cli/ImportCommand.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/DatabaseAccess.h"
#include "cli/ProgressInfo.h"
#include "cli/ScratchFolder.h"
#include "cli/Terminal.h"
#include "cli/Text.h"

namespace fs = std::filesystem;

namespace {

struct ImportOptions {
  std::string source;
  bool replace = false;
};

// Copies file to copy with its modification time, so that the copy of a
// directory file is as fresh, or as stale, as the original.
bool copyWithTime(const std::string& file, const std::string& copy, std::error_code& ec) {
  fs::copy_file(file, copy, fs::copy_options::overwrite_existing, ec);
  if (ec) return false;
  fs::last_write_time(copy, fs::last_write_time(file, ec), ec);
  return !ec;
}

int import(const ImportOptions& o, ToolContext& context) {
  std::error_code ec;
  fs::file_status status = fs::status(o.source, ec);
  if (!fs::is_regular_file(status)) {
    context.error("\"" + o.source + "\" is " +
                  (fs::exists(status) ? "not a regular file" : "not there") +
                  ", so it is no data file to import.");
    return kExitFailure;
  }
  DatabaseAccess access(context);
  if (!access.checkName()) return kExitFailure;
  if (fs::exists(access.dataFile(), ec) && fs::equivalent(o.source, access.dataFile(), ec)) {
    context.error("\"" + o.source + "\" is this database's own data file.");
    return kExitFailure;
  }
  BMTFile* db = access.open(DatabaseUse::kWrite);
  if (db == nullptr) return kExitFailure;

  // The source is opened on a copy: opening a database may write its
  // directory file, and the source must stay as it is.
  ScratchFolder scratch(fs::temp_directory_path(ec).string());
  if (!scratch.ok()) {
    context.error(scratch.error() + "; nothing was imported.");
    return kExitFailure;
  }
  std::string copy = scratch.file("source.bmt");
  std::string sourceDir = MetDatabase::directoryFileName(o.source);
  if (!copyWithTime(o.source, copy, ec) ||
      (fs::exists(sourceDir) && !copyWithTime(sourceDir, scratch.file("source.dir"), ec))) {
    context.error("Cannot read \"" + o.source + "\": " + ec.message() + "; nothing was imported.");
    return kExitFailure;
  }
  BMTFile source(copy.c_str());
  if (!source.IsValid()) {
    context.error("\"" + o.source +
                  "\" is not a data file that can be used (it is shorter than "
                  "one record); nothing was imported.");
    return kExitFailure;
  }

  long expected = db->directory->locationCount + source.directory->locationCount;
  ProgressInfo info(context.err, isTerminal(context.err), expected);
  db->merge(source, o.replace, info);
  if (!info.completed()) {
    access.discardEdits();
    if (info.reported()) info.writeReport(context.out);
    context.error("Cannot write the new data file beside \"" + access.dataFile() +
                  "\" (is the disk full?); nothing was imported.");
    return kExitFailure;
  }
  info.writeReport(context.out);
  return access.saveDirectory() ? kExitOk : kExitFailure;
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
