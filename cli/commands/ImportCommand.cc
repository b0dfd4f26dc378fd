#include "cli/commands/ImportCommand.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <system_error>

#include "cli/Terminal.h"
#include "cli/ToolDatabase.h"
#include "tool/Error.h"
#include "tool/database/ProgressInfo.h"
#include "tool/database/RecordEditor.h"
#include "tool/database/ScratchFolder.h"
#include "tool/text/Text.h"

namespace metdb {

namespace fs = std::filesystem;

namespace {

struct ImportOptions {
  std::string source;
  bool replace = false;
  bool force = false;
};

int import(const ImportOptions& o, ToolContext& context) {
  ToolDatabase access(context);
  access.open(DatabaseUse::kWrite);
  RecordEditor editor(access);
  ProgressInfo info(context.err, isTerminal(context.err), 0);
  try {
    editor.importFrom(o.source, o.replace, info, o.force);
  } catch (const Error&) {
    if (info.reported()) info.writeReport(context.out);
    throw;
  }
  info.writeReport(context.out);
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
  command->add_flag("--force", o->force,
                    "Import records whose positions cannot be real or whose names run past their "
                    "fields (names holding control bytes are refused all the same)");
  command->footer(
      "A source whose records cannot be real (a text file, say) is refused before\n"
      "anything is written.\n"
      "\n"
      "Example:\n"
      "  metdb --db stations.bmt import more-stations.bmt --replace");
  context->addCommand(command, [o, context] { return import(*o, *context); });
}

}  // namespace metdb
