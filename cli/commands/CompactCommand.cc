#include "cli/commands/CompactCommand.h"

#include <CLI/CLI.hpp>

#include "cli/ToolDatabase.h"
#include "tool/database/Compaction.h"
#include "tool/text/Text.h"

namespace metdb {

namespace {

int compact(ToolContext& context) {
  ToolDatabase access(context);
  access.open(DatabaseUse::kWrite);
  long before = access.recordCount();
  std::uintmax_t bytesBefore = access.dataFileSize();
  Compaction(access).compactAndRegroup();
  long after = access.recordCount();
  context.out << "Compacted " << access.dataFile() << ": "
              << text::plural(before, "record", "records") << " before, " << after << " after";
  if (before > after) {
    context.out << " (" << text::plural(before - after, "record", "records")
                << " that no location referred to dropped)";
  }
  if (bytesBefore % static_cast<std::uintmax_t>(kLocationDataSize) != 0) {
    context.out << "; the bytes after the last whole record are gone";
  }
  context.out << ".\n";
  return kExitOk;
}

}  // namespace

void addCompactCommand(CLI::App* app, ToolContext* context) {
  CLI::App* command = app->add_subcommand(
      "compact", "Rewrite the data file in directory order, dropping unused records");
  command->footer(
      "Example:\n"
      "  metdb --db stations.bmt compact");
  context->addCommand(command, [context] { return compact(*context); });
}

}  // namespace metdb
