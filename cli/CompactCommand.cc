#include "cli/CompactCommand.h"

#include <CLI/CLI.hpp>

#include "cli/DatabaseAccess.h"
#include "cli/DirectoryStats.h"
#include "cli/RecordEditor.h"
#include "cli/Text.h"

namespace {

// Each round joins the split groups of one level (continents, then
// countries, then states), so three rounds after the first always suffice.
constexpr int kMaxRounds = 4;

int compact(ToolContext& context) {
  DatabaseAccess access(context);
  if (access.open(DatabaseUse::kWrite) == nullptr) return kExitFailure;
  long before = access.recordCount();
  std::uintmax_t bytesBefore = access.dataFileSize();
  for (int round = 0; round < kMaxRounds; ++round) {
    RecordEditor editor(access, context);
    if (!editor.compact()) return kExitFailure;
    if (DirectoryStats::of(access.db()->directory).duplicateGroups.empty()) break;
    // The data file now keeps each group's records together, but the
    // directory still splits them: read it afresh from the records.
    if (access.reopenRebuilt() == nullptr) return kExitFailure;
  }
  if (!access.saveDirectory()) return kExitFailure;
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
